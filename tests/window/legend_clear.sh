#!/usr/bin/env bash
# With the legend on at one pixel per cell, nothing of it or of the time scale is drawn over the
# designed buttons: for each example the buttons' rectangles look exactly as with the legend off.
source "$(dirname "$0")/lib.sh"

park_pointer
# The buttons' rectangles in the client area, with a pixel of their surroundings.
readonly BUTTONS=("1 28 93 25" "111 28 93 25")

# The colours of both rectangles into $1.
buttons_into() {
  window_origin
  shot
  : >"$1"
  local rect x y w h
  for rect in "${BUTTONS[@]}"; do
    read -r x y w h <<<"$rect"
    python3 "$HERE/pixels.py" rgb "$WORK/shot.png" $((WIN_X + x)) $((WIN_Y + y)) $w $h \
      "$WORK/part.rgb"
    cat "$WORK/part.rgb" >>"$1"
  done
}

for example in room.mls hall.__lev; do
  "$RENDERER" --png "$WORK/$example.png" "$EXAMPLES/$example"
  start_viewer "$EXAMPLES/$example"
  wait_picture "$WORK/$example.png"
  buttons_into "$WORK/plain.rgb"
  window_origin
  readonly_width=$WIN_W
  press l
  tries=0
  while window_origin && ((WIN_W <= readonly_width)); do
    ((tries++ < 50)) || fail "the legend of $example did not show"
    sleep 0.1
  done
  sleep 0.5
  buttons_into "$WORK/legend.rgb"
  cmp -s "$WORK/plain.rgb" "$WORK/legend.rgb" ||
    fail "the legend of $example draws over the buttons"
  press l
  kill "$VIEWER_PID" && wait "$VIEWER_PID" 2>/dev/null || true
done
echo "PASS: the legend and the scale keep clear of the buttons for every example"
