#!/usr/bin/env bash
# F fills the window with the map, columns and rows stretched on their own: a 12 x 400 map grows
# to the screen's free area (no window manager: the whole screen), each cell as wide as the
# width allows and as high as the height allows. A size the user then gives the window refits
# the map and is kept when ] repaints it.
source "$(dirname "$0")/lib.sh"

readonly SCREEN_W=1280 SCREEN_H=1024 MICS=12 ROWS=400
# Around the picture's interior: its border, the scale's room and its left margin; its border and
# the controls above it.
readonly AROUND_W=$((4 + 35 + 2)) AROUND_H=$((4 + 90))
park_pointer

write_mls "$WORK/narrow.mls" $MICS $ROWS 2
"$RENDERER" --png "$WORK/narrow.png" "$WORK/narrow.mls"
"$RENDERER" --range 105 --png "$WORK/wider.png" "$WORK/narrow.mls"
start_viewer "$WORK/narrow.mls"
wait_picture "$WORK/narrow.png"

press f
KX=$(((SCREEN_W - AROUND_W) / MICS)) KY=$(((SCREEN_H - AROUND_H) / ROWS))
((MICS * KX >= 400)) || fail "the check would not prove a wide fill"
wait_pixels stretched "$WORK/narrow.png" $KX $KY
window_origin
((WIN_W >= MICS * KX + 4 + 35)) || fail "the fitted window is only $WIN_W wide"

# The user's size: the map is fitted to it again, and ] keeps it.
readonly USER_W=700 USER_H=500
xdotool windowsize --sync "$WIN" $USER_W $USER_H
KX=$(((USER_W - AROUND_W) / MICS)) KY=$(((USER_H - AROUND_H) / ROWS))
wait_pixels stretched "$WORK/narrow.png" $KX $KY
press bracketright
wait_pixels stretched "$WORK/wider.png" $KX $KY
sleep 0.5
window_origin
((WIN_W == USER_W && WIN_H == USER_H)) || fail "] changed the window to $WIN_W x $WIN_H"
echo "PASS: F fills the window in both directions, and a size the user gives is kept"
