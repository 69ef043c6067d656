#!/usr/bin/env bash
# Clicks on the picture while a large grid is repainted: clicks while the Redraw box is open and
# during the paint's pause are forgotten, the first during the paint stops it after the current
# column, and the columns to the right of the stop keep the background.
source "$(dirname "$0")/lib.sh"

readonly MICS=1200 ROWS=850  # the window, menu and status bars included, fits the screen
write_mls "$WORK/large.mls" $MICS $ROWS
"$RENDERER" --png "$WORK/large.png" "$WORK/large.mls"

start_viewer "$WORK/large.mls"
wait_picture "$WORK/large.png"

click_at 157 $((40 + MENU_BAR))  # Command2, "Redraw"
dialog=$(wait_window "Redraw") || fail "the Redraw box did not appear"
xdotool windowfocus --sync "$dialog"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "100"
# Click the picture again and again from before the box closes until the paint has stopped.
xdotool mousemove --sync $((WIN_X + 300)) $((WIN_Y + 300))
xdotool click --repeat 5000 --delay 4 1 &
CLICKER=$!
trap 'kill $CLICKER 2>/dev/null || true; cleanup' EXIT
# The clicks may take the keyboard from the box: give it back before each Return until it closes.
tries=0
while xdotool search --onlyvisible --name "^Redraw\$" >/dev/null 2>&1; do
  ((tries++ < 50)) || fail "the Redraw box did not close"
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  xdotool key Return
  sleep 0.1
done

# Settled: a painted prefix followed by background, the same in two screenshots in a row.
deadline=$((SECONDS + 20))
last=
while ((SECONDS < deadline)); do
  window_origin
  shot
  if columns=$(python3 "$HERE/pixels.py" stopped "$WORK/shot.png" $((WIN_X + INTERIOR_X)) \
    $((WIN_Y + INTERIOR_Y)) "$WORK/large.png" $BACKGROUND 2>/dev/null); then
    [[ $columns == "$last" ]] && break
    last=$columns
  else
    last=
  fi
  sleep 0.1
done
kill $CLICKER 2>/dev/null || true
((SECONDS < deadline)) || fail "the paint never stopped with the columns right of the stop in the background"
echo "PASS: the paint stopped after column $columns of $MICS; the rest keeps the background"
