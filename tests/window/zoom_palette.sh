#!/usr/bin/env bash
# Zoom and palettes of a small map, by their keys. Ctrl+= makes every cell 2 x 2 pixels of its
# grey, Ctrl++ 3 x 3, Ctrl+- steps back, Ctrl+0 returns to one pixel per cell; Ctrl+- at 1:1
# shows every 2 x 2 block's loudest cell; Ctrl+wheel zooms in. The window follows each zoom. C
# shows the next palette's colours exactly, and the palette is remembered for the next start; C
# and Shift+C step through the palettes in both directions, back to the designed greys.
source "$(dirname "$0")/lib.sh"

readonly MICS=40 ROWS=30
park_pointer
write_mls "$WORK/small map.mls" $MICS $ROWS 2
"$RENDERER" --png "$WORK/plain.png" "$WORK/small map.mls"
for k in 2 3; do "$RENDERER" --zoom $k --png "$WORK/zoom$k.png" "$WORK/small map.mls"; done
for palette in viridis magma cividis; do
  "$RENDERER" --palette $palette --png "$WORK/$palette.png" "$WORK/small map.mls"
done
python3 "$HERE/pixels.py" differ "$WORK/viridis.png" "$WORK/magma.png" ||
  fail "viridis and magma look alike; the palette checks would prove nothing"

# Waits until the window is as high as a map of $1 view pixels high needs (no window manager: no
# frame): the picture, its border and the controls above it.
expect_height() {
  local want=$(($1 + 4 + 90 + CHROME)) tries=0
  while window_origin && ((WIN_H != want)); do
    ((tries++ < 50)) || fail "the window is $WIN_H high for a map $1 pixels high, not $want"
    sleep 0.1
  done
}

start_viewer "$WORK/small map.mls"
wait_picture "$WORK/plain.png"
press ctrl+equal
wait_picture "$WORK/zoom2.png"
expect_height $((2 * ROWS))
press ctrl+plus
wait_picture "$WORK/zoom3.png"
expect_height $((3 * ROWS))
press ctrl+minus
wait_picture "$WORK/zoom2.png"
press ctrl+0
wait_picture "$WORK/plain.png"
expect_height $ROWS
press ctrl+minus
wait_loudest "$WORK/plain.png" 2
expect_height $((ROWS / 2))
# Ctrl+wheel up over the picture: 1:2 to 1:1 to 2:1. The pointer leaves again, taking any
# read-out with it.
window_origin
xdotool mousemove --sync $((WIN_X + INTERIOR_X + 5)) $((WIN_Y + INTERIOR_Y + 5))
xdotool keydown ctrl click 4 sleep 0.3 click 4 keyup ctrl
park_pointer
wait_picture "$WORK/zoom2.png"
press ctrl+0
wait_picture "$WORK/plain.png"

! grep -qs '^palette=' "$SETTINGS" || fail "a palette was remembered before any was chosen"
press c
wait_picture "$WORK/viridis.png"
grep -qx 'palette=viridis' "$SETTINGS" || fail "viridis was not remembered in $SETTINGS"
kill "$VIEWER_PID" && wait "$VIEWER_PID" 2>/dev/null || true

# The next start shows the remembered palette; C goes on from it, Shift+C back.
start_viewer "$WORK/small map.mls"
wait_picture "$WORK/viridis.png"
press c
wait_picture "$WORK/magma.png"
press c c c
wait_picture "$WORK/plain.png"
press shift+c
wait_picture "$WORK/cividis.png"
press c
wait_picture "$WORK/plain.png"
grep -qx 'palette=grey' "$SETTINGS" || fail "grey was not remembered in $SETTINGS"
echo "PASS: the zoom keys and the palettes show the renderer's pixels"
