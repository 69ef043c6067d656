#!/usr/bin/env bash
# Shift+F fits the map to the screen's free area (no window manager: the whole screen) with square
# cells, less the room the window needs around the picture. A small map grows to the largest zoom factor that fits,
# every cell a square of its grey; a 64 x 131072 map shrinks to the smallest 1:out whose blocks
# fit, every pixel the loudest cell of its out x out block, and the window no longer scrolls.
source "$(dirname "$0")/lib.sh"

readonly SCREEN_W=1280 SCREEN_H=1024
# The narrowest window: both buttons whole.
readonly NARROWEST=$((112 + 91 + 2))
# Around the picture's interior: its border, the scale's room at the right and its left margin;
# its border and the controls above it.
readonly AREA_W=$((SCREEN_W - 4 - 35 - 2)) AREA_H=$((SCREEN_H - 4 - 90 - CHROME))
park_pointer

# The largest factor of 1, 2, 3, 4, 6, 8, 12, 16, 24, 32 at which $1 x $2 cells fit the area.
fit_in() {
  local best=1 k
  for k in 1 2 3 4 6 8 12 16 24 32; do
    if (($1 * k <= AREA_W && $2 * k <= AREA_H)); then best=$k; fi
  done
  echo "$best"
}
# The smallest out at which $1 x $2 cells, out x out to a pixel, fit the area.
fit_out() {
  local out=1
  while ((($1 + out - 1) / out > AREA_W || ($2 + out - 1) / out > AREA_H)); do
    out=$((out + 1))
  done
  echo "$out"
}

write_mls "$WORK/small.mls" 40 30 2
IN=$(fit_in 40 30)
readonly IN
((IN > 1)) || fail "the small map fits only at 1:1; the check would prove nothing"
"$RENDERER" --png "$WORK/small.png" "$WORK/small.mls"
"$RENDERER" --zoom "$IN" --png "$WORK/small_fit.png" "$WORK/small.mls"
start_viewer "$WORK/small.mls"
wait_picture "$WORK/small.png"
press shift+f
wait_picture "$WORK/small_fit.png"
kill "$VIEWER_PID" && wait "$VIEWER_PID" 2>/dev/null || true

readonly ROWS=131072
write_mls "$WORK/tall.mls" 64 $ROWS
OUT=$(fit_out 64 $ROWS)
readonly OUT
"$RENDERER" --png "$WORK/tall.png" "$WORK/tall.mls"
start_viewer "$WORK/tall.mls"
# One pixel per cell at first: the window is capped at the screen and scrolls.
wait_part "$WORK/tall.png" 0 0 64 $AREA_H
window_origin
((WIN_W > NARROWEST)) || fail "the tall map's window has no room for its scroll bar"
press shift+f
wait_loudest "$WORK/tall.png" "$OUT"
# Sized for the fitted picture, without a scroll bar.
window_origin
((WIN_H == (ROWS + OUT - 1) / OUT + 4 + 90 + CHROME)) || fail "the fitted window is $WIN_H high"
# As narrow as the buttons allow, but for row numbers wider than the scale's designed room.
((WIN_W >= NARROWEST && WIN_W < NARROWEST + 40)) ||
  fail "the fitted window is $WIN_W wide; is the scroll bar left?"
echo "PASS: Shift+F fits a small map up and a 64 x $ROWS map down to the screen"
