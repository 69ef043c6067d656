#!/usr/bin/env bash
# The peak carries from one file to the next only when both hold levels on one scale: an .mls
# file opened after a loud text export (its peak in dB) is painted as if it were the first file,
# not in the floor's white under the export's peak. Opened from the file-name box with Enter.
source "$(dirname "$0")/lib.sh"

park_pointer
# A text export of 4 microphones and 20 rows whose loudest level is 150 dB.
python3 - "$WORK/loud.__lev" <<'PY'
import sys
lines = ["Microphones = 4", "Time           = 0.02", "Precision      = 0.001", "[Microphone 1]"]
for m in range(1, 5):
    lines += [f"block {m}"] * 6
    lines += [f"0,0,0,0,0,{10.0 ** (15 - t / 4):.6e},0,0,0,0" for t in range(20)]
open(sys.argv[1], "w").write("\n".join(lines) + "\n")
PY
write_mls "$WORK/quiet.mls" 30 40 2
"$RENDERER" --png "$WORK/quiet.png" "$WORK/quiet.mls"
"$RENDERER" --png "$WORK/loud.png" "$WORK/loud.__lev"

start_viewer "$WORK/loud.__lev"
wait_picture "$WORK/loud.png"
xdotool mousemove --sync $((WIN_X + 20)) $((WIN_Y + MENU_BAR + 15)) click 1
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 10 "$WORK/quiet.mls"
xdotool key Return
park_pointer
wait_title "quiet.mls — MLS Vexal"
wait_picture "$WORK/quiet.png"
echo "PASS: an .mls file after a dB text export starts from the start-up peak"
