#!/usr/bin/env bash
# "Browse", a path typed into the file dialog, Enter: the chosen file (in a folder whose name
# holds a ".") is loaded and painted, and the window's title names it.
source "$(dirname "$0")/lib.sh"

write_mls "$WORK/second.mls" 90 120
# The peak carries over from the first file, as in the window.
"$RENDERER" --png "$WORK/first.png" "$EXAMPLES/room.mls"
"$RENDERER" --png "$WORK/second.png" "$EXAMPLES/room.mls" "$WORK/second.mls"

start_viewer "$EXAMPLES/room.mls"
wait_picture "$WORK/first.png"
wait_title "room.mls — MLS Vexal"
click_at 47 $((40 + MENU_BAR))  # Command1, "Browse"
answer_dialog "Load a MLS Vexal File" "$WORK/second.mls"
wait_picture "$WORK/second.png"
wait_title "second.mls — MLS Vexal"
echo "PASS: Browse loads and paints the chosen file"
