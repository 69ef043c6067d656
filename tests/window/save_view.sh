#!/usr/bin/env bash
# Ctrl+S saves the view as shown: after Ctrl+= and C C the map is shown 2 x 2 pixels a cell in
# magma, and the PNG written through the save dialog holds exactly the renderer's pixels at that
# zoom and palette. With the legend on (L) the saved view is the window's map area pixel for
# pixel: the picture, the time axis, the legend and the microphone axis, from the client's left
# edge and from 4 pixels above the picture, where the top time label reaches. The folder and the file's name
# hold blanks and dots.
source "$(dirname "$0")/lib.sh"

park_pointer
write_mls "$WORK/small map.mls" 40 30 2
"$RENDERER" --png "$WORK/plain.png" "$WORK/small map.mls"
"$RENDERER" --zoom 2 --palette magma --png "$WORK/magma2.png" "$WORK/small map.mls"

start_viewer "$WORK/small map.mls"
wait_picture "$WORK/plain.png"
press ctrl+equal c c
wait_picture "$WORK/magma2.png"
mkdir -p "$WORK/saved views.d"
readonly SAVED="$WORK/saved views.d/room 1.view.png"
press ctrl+s
answer_dialog_like "Save" "$SAVED"
# Polled: the file may still be being written.
tries=0
until [[ -s $SAVED ]] &&
  python3 "$HERE/pixels.py" equal "$SAVED" "$WORK/magma2.png" 2>"$WORK/why"; do
  ((tries++ < 100)) || fail "the saved view \"$SAVED\" never held the renderer's pixels:" \
    "$(cat "$WORK/why" 2>/dev/null)"
  sleep 0.2
done
[[ $(head -c 8 "$SAVED" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
  fail "the saved view is not a PNG"

press_to_widen l "the legend"
readonly WITH_LEGEND="$WORK/saved views.d/with legend.png"
press ctrl+s
answer_dialog_like "Save" "$WITH_LEGEND"
tries=0
until [[ -s $WITH_LEGEND ]] && window_origin && shot &&
  python3 "$HERE/pixels.py" same "$WORK/shot.png" "$WIN_X" $((WIN_Y + INTERIOR_Y - 2 - 4)) \
    "$WITH_LEGEND" 2>"$WORK/why"; do
  ((tries++ < 100)) || fail "the view saved with the legend is not the window's map area:" \
    "$(cat "$WORK/why" 2>/dev/null)"
  sleep 0.2
done
echo "PASS: Ctrl+S saves the view at its zoom and palette, and with the legend the map area as shown"
