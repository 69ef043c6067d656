#!/usr/bin/env bash
# The viewer under valgrind's memcheck, driven through its right-click menu: two recent WAV files
# in turn (period prompts answered), Redraw, a reference, and Escape during a paint that the menu
# started. Any invalid access (inside Qt too: a menu freed while its handler runs) fails the test
# through memcheck's exit code; the viewer must also still be there to quit with Ctrl+Q.
source "$(dirname "$0")/lib.sh"

readonly MEMCHECK_ERROR=99
# Memcheck runs the viewer some 30 times slower: its windows and paints get this long.
readonly SLOW=180

# Two recordings of 6 positions of 0.1 s at 8 kHz.
for name in near far; do
  python3 - "$WORK/$name.wav" "$name" <<'PY'
import math, struct, sys, wave
delay0 = 40 if sys.argv[2] == "near" else 160
samples = []
for position in range(6):
    delay = delay0 + 10 * position
    for n in range(800):
        value = 20000.0 * math.exp(-(n - delay) / 50.0) if n >= delay else 0.0
        samples.append(int(round(value)))
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(8000)
    w.writeframes(struct.pack("<%dh" % len(samples), *samples))
PY
done

# The recent files come from two runs of the viewer itself (without memcheck), far.wav last.
for name in near far; do
  start_viewer "$WORK/$name.wav"
  answer_dialog "Required Parameter" "0.1"
  wait_title "$name.wav — MLS Vexal"
  press ctrl+q
  wait "$VIEWER_PID" || fail "the viewer did not quit with Ctrl+Q"
  VIEWER_PID=
done

# Polls ($SLOW s at most) for a visible window whose name matches $1; prints its id.
slow_window() {
  timeout "$SLOW" xdotool search --sync --onlyvisible --name "$1" | head -1
}

# Polls until the viewer's window is titled $1.
slow_title() {
  local deadline=$((SECONDS + SLOW)) title=
  while ((SECONDS < deadline)); do
    title=$(xdotool getwindowname "$WIN" 2>/dev/null) || true
    [[ $title == "$1" ]] && return 0
    sleep 0.5
  done
  fail "the window is titled \"$title\", not \"$1\""
}

# Types $2 into the dialog named like $1 and presses Enter until it has gone.
slow_answer() {
  local dialog tries=0
  dialog=$(slow_window "$1") || fail "no dialog named like \"$1\" appeared"
  [[ -n $dialog ]] || fail "no dialog named like \"$1\" appeared"
  xdotool windowfocus --sync "$dialog"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 50 "$2"
  while xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; do
    ((tries++ < 60)) || fail "the dialog named like \"$1\" did not close"
    xdotool key Return
    sleep 1
  done
}

# Opens the map's right-click menu and walks it with the keyboard: $1 times Down, then the keys
# that follow. The menu lists Browse, Redraw, Stop, Profiles, Load reference, (D and Drop the
# reference, disabled without a reference and skipped), Recent files.
menu_keys() {
  local downs=$1
  shift
  xdotool windowfocus --sync "$WIN"
  window_origin
  xdotool mousemove --sync $((WIN_X + INTERIOR_X + 10)) $((WIN_Y + INTERIOR_Y + 10)) click 3
  sleep 3  # the menu opens slowly under memcheck
  for ((i = 0; i < downs; i++)); do xdotool key Down; sleep 0.3; done
  for key in "$@"; do xdotool key "$key"; sleep 2; done
}

valgrind --tool=memcheck --error-exitcode=$MEMCHECK_ERROR --undef-value-errors=no \
  --leak-check=no --log-file="$WORK/memcheck.log" "$VIEWER" "$EXAMPLES/room.mls" &
VIEWER_PID=$!
WIN=$(slow_window "room.mls — MLS Vexal") || fail "the window did not appear under memcheck"
[[ -n $WIN ]] || fail "the window did not appear under memcheck"

# Recent files twice: the newest (far.wav), then the second (near.wav).
menu_keys 6 Right Return
slow_answer "^Required Parameter\$" "0.1"
slow_title "far.wav — MLS Vexal"
menu_keys 6 Right Down Return
slow_answer "^Required Parameter\$" "0.1"
slow_title "near.wav — MLS Vexal"

# Redraw from the menu.
menu_keys 2 Return
slow_answer "^Redraw\$" "60"

# A reference from the menu, through the file dialog.
menu_keys 5 Return
slow_answer "^Load a MLS Vexal File\$" "$EXAMPLES/room.mls"
sleep 5

# Escape during a paint that the menu started (Redraw paints column by column).
menu_keys 2 Return
slow_answer "^Redraw\$" "80"
xdotool windowfocus --sync "$WIN"
xdotool key Escape
sleep 5

kill -0 "$VIEWER_PID" 2>/dev/null || fail "the viewer ended: $(tail -n 30 "$WORK/memcheck.log")"
xdotool windowfocus --sync "$WIN"
xdotool key ctrl+q
status=0
wait "$VIEWER_PID" || status=$?
VIEWER_PID=
if ((status != 0)); then
  sed -n '/Invalid\|Mismatched\|at 0x\|by 0x\|Address/p' "$WORK/memcheck.log" | head -n 60 >&2
  fail "the viewer under memcheck exited with $status"
fi
echo "PASS: menus that load, paint and open dialogs leave no invalid access under memcheck"
