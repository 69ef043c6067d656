#!/usr/bin/env bash
# P opens the "Profiles" window; a click on a cell pins the profiles to it, and the data saved
# from that window are exactly the renderer's profiles of that column and row. Ctrl+Shift+O then
# loads a reference through the open dialog, and D D shows the difference map with the
# renderer's pixels.
source "$(dirname "$0")/lib.sh"

readonly COLUMN=5 ROW=7
park_pointer
write_mls "$WORK/hall.mls" 40 30 2
write_mls "$WORK/empty hall.mls" 36 50 3
"$RENDERER" --png "$WORK/plain.png" "$WORK/hall.mls"
"$RENDERER" --profile-column $COLUMN --profile-row $ROW --profile-out "$WORK/expected.csv" \
  "$WORK/hall.mls"
"$RENDERER" --png "$WORK/reference.png" "$WORK/empty hall.mls"
"$RENDERER" --reference "$WORK/empty hall.mls" --png "$WORK/difference.png" "$WORK/hall.mls"

start_viewer "$WORK/hall.mls"
wait_picture "$WORK/plain.png"
MAIN=$WIN
press p
PROFILES=$(timeout 20 xdotool search --sync --onlyvisible --name '^Profiles$' | head -1) ||
  fail "no window titled \"Profiles\" appeared"
[[ -n $PROFILES ]] || fail "no window titled \"Profiles\" appeared"
# No window manager: move it off the main window before clicking the map.
xdotool windowmove --sync "$PROFILES" 700 0 || true

# Cell (COLUMN, ROW) is interior pixel (COLUMN - 1, ROW - 1) at one pixel per cell.
click_at $((INTERIOR_X + COLUMN - 1)) $((INTERIOR_Y + ROW - 1))
park_pointer
WIN=$PROFILES
press ctrl+s
answer_dialog_like "Save the profiles" "$WORK/window.csv"
tries=0
until [[ -s $WORK/window.csv ]] && cmp -s "$WORK/window.csv" "$WORK/expected.csv"; do
  ((tries++ < 100)) || fail "the saved profiles differ from the renderer's: $(diff \
    "$WORK/window.csv" "$WORK/expected.csv" 2>&1 | head -5)"
  sleep 0.2
done

WIN=$MAIN
press Escape  # frees the profiles: the marker leaves the map
press ctrl+shift+o
answer_dialog "Load a MLS Vexal File" "$WORK/empty hall.mls"
wait_picture "$WORK/plain.png"  # the reference changes nothing on screen
# D shows the reference once it has loaded (until then the window ignores it), then the
# difference.
tries=0
until press d && picture_within "$WORK/reference.png" 3; do
  ((tries++ < 10)) || fail "D never showed the reference"
done
press d
wait_picture "$WORK/difference.png"
echo "PASS: the Profiles window saves the renderer's profiles; D shows the difference"
