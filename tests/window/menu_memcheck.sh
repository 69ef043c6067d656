#!/usr/bin/env bash
# The viewer under valgrind's memcheck, driven through its right-click menu: two recent WAV files
# in turn (period prompts answered), Redraw, a reference, and Escape during a paint that the menu
# started. Any invalid access (inside Qt too: a menu freed while its handler runs) fails the test
# through memcheck's exit code; the viewer must also still be there to quit with Ctrl+Q.
source "$(dirname "$0")/lib.sh"

readonly MEMCHECK_ERROR=99
# Memcheck runs the viewer some 30 times slower: its windows and paints get this long.
readonly SLOW=${MEMCHECK_SLOW:-180}
# Down presses from the menu's top to "Recent files" (8 for a menu whose reference items are not
# disabled and so not skipped).
readonly TO_RECENT=${MEMCHECK_TO_RECENT:-6}

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

# The maps as the renderer paints them after the same loads (the peak carries over).
"$RENDERER" --png "$WORK/room.png" "$EXAMPLES/room.mls"
"$RENDERER" --period 0.1 --png "$WORK/far.png" "$EXAMPLES/room.mls" "$WORK/far.wav"
"$RENDERER" --period 0.1 --png "$WORK/near.png" "$EXAMPLES/room.mls" "$WORK/far.wav" \
  "$WORK/near.wav"

# Polls until the picture shows the PNG $1: the paint has ended (and the menus act again).
slow_picture() {
  picture_within "$1" "$SLOW" || { shot; fail "the picture never matched $1"; }
}

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

# Visible windows of the viewer (its menus are windows of their own while open).
viewer_windows() { xdotool search --onlyvisible --pid "$VIEWER_PID" 2>/dev/null | wc -l; }

# Polls until the viewer shows more than $1 windows.
wait_more_windows() {
  local deadline=$((SECONDS + SLOW))
  while (($(viewer_windows) <= $1)); do
    ((SECONDS < deadline)) || { shot; fail "no menu opened"; }
    sleep 0.5
  done
  sleep 1
}

# Opens the map's right-click menu and walks it with the keyboard: $1 times Down, then the keys
# that follow (Right waits for the submenu). The menu lists Browse, Redraw, Stop, Profiles, Load
# reference, (D and Drop the reference, disabled without a reference and skipped), Recent files.
menu_keys() {
  local downs=$1 before
  shift
  xdotool windowfocus --sync "$WIN"
  window_origin
  before=$(viewer_windows)
  xdotool mousemove --sync $((WIN_X + INTERIOR_X + 10)) $((WIN_Y + INTERIOR_Y + 10)) click 3
  wait_more_windows "$before"
  for ((i = 0; i < downs; i++)); do xdotool key Down; sleep 0.5; done
  for key in "$@"; do
    before=$(viewer_windows)
    xdotool key "$key"
    if [[ $key == Right ]]; then wait_more_windows "$before"; else sleep 1; fi
  done
}

valgrind --tool=memcheck --error-exitcode=$MEMCHECK_ERROR --undef-value-errors=no \
  --leak-check=no --log-file="$WORK/memcheck.log" "$VIEWER" "$EXAMPLES/room.mls" &
VIEWER_PID=$!
WIN=$(slow_window "room.mls — MLS Vexal") || fail "the window did not appear under memcheck"
[[ -n $WIN ]] || fail "the window did not appear under memcheck"
slow_picture "$WORK/room.png"

# Recent files twice: room.mls (opened last) and then far.wav head the list, so far.wav is the
# second entry; then near.wav the third.
menu_keys "$TO_RECENT" Right Down Return
slow_answer "^Required Parameter\$" "0.1"
slow_title "far.wav — MLS Vexal"
slow_picture "$WORK/far.png"
menu_keys "$TO_RECENT" Right Down Down Return
slow_answer "^Required Parameter\$" "0.1"
slow_title "near.wav — MLS Vexal"
slow_picture "$WORK/near.png"

# Redraw from the menu.
menu_keys 2 Return
slow_answer "^Redraw\$" "60"
sleep 5

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
