#!/usr/bin/env bash
# The KEMAR SOFA set named on the command line: its dialog is answered from the keyboard with the
# horizontal plane, and the map is painted as the renderer paints it with --select horizontal.
source "$(dirname "$0")/lib.sh"

kemar=/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa
if [[ ! -r $kemar ]]; then
  echo "SKIP: $kemar is not installed"
  exit 0
fi
"$RENDERER" --select horizontal --png "$WORK/kemar.png" "$kemar"

start_viewer "$kemar"
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "^Open SOFA set\$" | head -1) ||
  fail "the SOFA dialog did not appear"
[[ -n $dialog ]] || fail "the SOFA dialog did not appear"
xdotool windowfocus --sync "$dialog"
# Focus starts on the receiver (1); the emitter is disabled (the set has one): Tab reaches the
# columns, Down picks the horizontal plane, Return accepts.
xdotool key --clearmodifiers Tab Down Return
wait_picture "$WORK/kemar.png"
echo "PASS: the SOFA set is painted after its dialog"
