#!/usr/bin/env bash
# L shows the legend beside the scale: the window grows to make room for it, and its colour bar
# (under the peak and the unit) runs from black (the peak) at its top to white (the span's end) at
# its bottom. The choice is
# remembered; L again hides it and the window returns to the map's own width.
source "$(dirname "$0")/lib.sh"

readonly MICS=60 ROWS=200
park_pointer
write_mls "$WORK/legend.mls" $MICS $ROWS 2
"$RENDERER" --png "$WORK/plain.png" "$WORK/legend.mls"

# Grey levels down the middle of the colour bar, one per line.
bar_greys() {
  window_origin
  shot
  # The bar starts 8 pixels right of the scale's room (35 pixels beside the picture's border).
  local x=$((WIN_X + 2 + MICS + 4 + 35 + 8 + 7)) y=$((WIN_Y + INTERIOR_Y))
  python3 "$HERE/pixels.py" rgb "$WORK/shot.png" $x $y 1 $ROWS "$WORK/bar.rgb"
  python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
for i in range(0, len(data), 3):
    r, g, b = data[i:i + 3]
    print(r if r == g == b else -1)' "$WORK/bar.rgb"
}

start_viewer "$WORK/legend.mls"
wait_picture "$WORK/plain.png"
press_to_widen l "the legend"
readonly PLAIN_WIDTH=$WIDTH_BEFORE
wait_picture "$WORK/plain.png"  # the cells themselves do not move
tries=0
# The bar stands under the peak and the unit: its rows run from the first black to the first white.
until bar_greys | awk '$1 == 0 { on = 1 } on { print } on && $1 == 255 { exit }' >"$WORK/greys" &&
    [[ $(head -1 "$WORK/greys") == 0 ]] && [[ $(tail -1 "$WORK/greys") == 255 ]]; do
  ((tries++ < 50)) || fail "no colour bar from black to white: $(tr '\n' ' ' <"$WORK/greys")"
  sleep 0.1
done
sort -n -c "$WORK/greys" || fail "the colour bar does not brighten downwards"
grep -qx 'legend=true' "$SETTINGS" || fail "the legend was not remembered in $SETTINGS"

press l
tries=0
while window_origin && ((WIN_W != PLAIN_WIDTH)); do
  ((tries++ < 50)) || fail "the window is $WIN_W wide without the legend, not $PLAIN_WIDTH"
  sleep 0.1
done
grep -qx 'legend=false' "$SETTINGS" || fail "hiding the legend was not remembered"
echo "PASS: L shows the legend's colour bar beside the scale and hides it again"
