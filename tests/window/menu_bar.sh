#!/usr/bin/env bash
# The menu bar: File › Browse… opens a file through the dialog, Help › Keys (F1) opens the keys'
# window, and File › Quit ends the viewer. The designed controls stand below the menu bar.
source "$(dirname "$0")/lib.sh"

write_mls "$WORK/second.mls" 90 120
"$RENDERER" --png "$WORK/second.png" "$EXAMPLES/room.mls" "$WORK/second.mls"

start_viewer "$EXAMPLES/room.mls"
wait_title "room.mls — MLS Vexal"
press alt+f
sleep 0.5
xdotool key Return  # the File menu's first item, Browse…
answer_dialog "Load a MLS Vexal File" "$WORK/second.mls"
wait_title "second.mls — MLS Vexal"
wait_picture "$WORK/second.png"

press F1
keys=$(wait_window "Keys") || fail "F1 opened no Keys window"
[[ -n $keys ]] || fail "F1 opened no Keys window"
xdotool windowfocus --sync "$keys" key Escape

press alt+f
sleep 0.5
xdotool key Up Return  # the last item, Quit
for _ in $(seq 100); do kill -0 "$VIEWER_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$VIEWER_PID" 2>/dev/null && fail "File › Quit did not end the viewer"
wait "$VIEWER_PID" || fail "the viewer did not end well after File › Quit"
VIEWER_PID=
echo "PASS: the menu bar opens a file, shows the keys and quits"
