#!/usr/bin/env bash
# "Redraw", 50, Enter: the picture is repainted with a span of 50 dB.
source "$(dirname "$0")/lib.sh"

"$RENDERER" --png "$WORK/range100.png" "$EXAMPLES/room.mls"
"$RENDERER" --range 50 --png "$WORK/range50.png" "$EXAMPLES/room.mls"
python3 "$HERE/pixels.py" differ "$WORK/range100.png" "$WORK/range50.png" ||
  fail "the two spans give the same picture; the test would prove nothing"

start_viewer "$EXAMPLES/room.mls"
wait_picture "$WORK/range100.png"
click_at 157 $((40 + MENU_BAR))  # Command2, "Redraw"
answer_dialog "Redraw" "50"
wait_picture "$WORK/range50.png"
echo "PASS: Redraw repaints with the new span"
