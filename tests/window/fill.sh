#!/usr/bin/env bash
# F fills the window with the map, columns and rows stretched on their own: a 12 x 400 map grows
# to the screen's free area (no window manager: the whole screen), each cell as wide as the
# width allows and as high as the height allows. A size the user then gives the window refits
# the map and is kept when ] repaints it. Ctrl+Shift+- (or Left) and Ctrl+Shift+Right narrow and
# widen the columns alone.
source "$(dirname "$0")/lib.sh"

readonly SCREEN_W=1280 SCREEN_H=1024 MICS=12 ROWS=400
# Around the picture's interior: its border, the scale's room and its left margin; its border,
# the controls above it and the menu and status bars.
readonly AROUND_W=$((4 + 35 + 2)) AROUND_H=$((4 + 90 + CHROME))
park_pointer

# Polls until the picture shows the greyscale PNG $1 with cells $3 pixels high and as wide as a
# fill of $2 pixels of width allows, less up to 40 pixels that wide time labels may take; sets KX.
wait_fill() {
  local deadline=$((SECONDS + 20)) kx
  while ((SECONDS < deadline)); do
    window_origin
    shot
    for ((kx = $2 / MICS; kx >= ($2 - 40) / MICS && kx >= 1; kx--)); do
      if python3 "$HERE/pixels.py" stretched "$WORK/shot.png" $((WIN_X + INTERIOR_X)) \
          $((WIN_Y + INTERIOR_Y)) "$1" $kx "$3" 2>/dev/null; then
        KX=$kx
        return 0
      fi
    done
    sleep 0.1
  done
  fail "the map never filled $2 pixels of width with cells $3 high"
}

write_mls "$WORK/narrow.mls" $MICS $ROWS 2
"$RENDERER" --png "$WORK/narrow.png" "$WORK/narrow.mls"
"$RENDERER" --range 105 --png "$WORK/wider.png" "$WORK/narrow.mls"
start_viewer "$WORK/narrow.mls"
wait_picture "$WORK/narrow.png"

press f
KY=$(((SCREEN_H - AROUND_H) / ROWS))
wait_fill "$WORK/narrow.png" $((SCREEN_W - AROUND_W)) $KY
((MICS * KX >= 400)) || fail "the map fills only $((MICS * KX)) pixels of width"
window_origin
((WIN_W >= MICS * KX + 4 + 35)) || fail "the fitted window is only $WIN_W wide"

# The user's size: the map is fitted to it again, and ] keeps it.
readonly USER_W=700 USER_H=$((500 + CHROME))
xdotool windowsize --sync "$WIN" $USER_W $USER_H
KY=$(((USER_H - AROUND_H) / ROWS))
wait_fill "$WORK/narrow.png" $((USER_W - AROUND_W)) $KY
press bracketright
wait_pixels stretched "$WORK/wider.png" $KX $KY
sleep 0.5
window_origin
((WIN_W == USER_W && WIN_H == USER_H)) || fail "] changed the window to $WIN_W x $WIN_H"

# The columns alone: two steps narrower (from about 54 to 32 to 24 pixels), one wider; the rows
# stay.
((KX > 32)) || fail "the fit left the columns only $KX pixels wide"
press ctrl+shift+minus
press ctrl+shift+Left
wait_pixels stretched "$WORK/wider.png" 24 $KY
press ctrl+shift+Right
wait_pixels stretched "$WORK/wider.png" 32 $KY
echo "PASS: F fills the window in both directions, and a size the user gives is kept"
