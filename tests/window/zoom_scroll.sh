#!/usr/bin/env bash
# Zoom and scrolling together. Ctrl+wheel zooms about the cursor: on a 64 x 4000 map, one notch
# over interior pixel (10, 100) shows 2:1 with the point under the cursor kept there, so the
# picture shows the renderer's 2:1 PNG from row 101 on. A 400 x 290 map at 4:1 is larger than the
# screen both ways: Ctrl+= keeps the picture's centre in place, End scrolls to the bottom, Left to
# the first column, three Right presses 60 pixels sideways; the shown part always equals the
# renderer's 4:1 PNG at the scrolled offsets.
source "$(dirname "$0")/lib.sh"

readonly SCREEN_H=1024
readonly ROWS_SHOWN=$((SCREEN_H - 94 - CHROME))
park_pointer

write_mls "$WORK/tall.mls" 64 4000 2
"$RENDERER" --png "$WORK/tall.png" "$WORK/tall.mls"
"$RENDERER" --zoom 2 --png "$WORK/tall2.png" "$WORK/tall.mls"
start_viewer "$WORK/tall.mls"
wait_part "$WORK/tall.png" 0 0 64 $ROWS_SHOWN
# The centre of interior pixel (10, 100) holds the point (10.5, 100.5) of the cells, which 2:1
# puts in view pixel (21, 201): under the cursor once the rows scroll by 101. The columns do not
# scroll: the 128 of them fit.
window_origin
xdotool mousemove --sync $((WIN_X + INTERIOR_X + 10)) $((WIN_Y + INTERIOR_Y + 100))
xdotool keydown ctrl click 4 keyup ctrl
park_pointer  # takes any read-out with it
wait_part "$WORK/tall2.png" 0 101 128 $ROWS_SHOWN
kill "$VIEWER_PID" && wait "$VIEWER_PID" 2>/dev/null || true

write_mls "$WORK/wide.mls" 400 290 2
"$RENDERER" --png "$WORK/wide.png" "$WORK/wide.mls"
"$RENDERER" --zoom 4 --png "$WORK/wide4.png" "$WORK/wide.mls"
start_viewer "$WORK/wide.mls"
wait_picture "$WORK/wide.png"
# 2:1 and 3:1 fit the screen. From 3:1 to 4:1 about the centre of the 1200 x 870 interior: its
# pixel (599, 434) holds the point (199.83, 144.83) of the cells, which 4:1 puts in view pixel
# (799, 579), under that pixel once the map scrolls by (200, 145).
press ctrl+equal ctrl+equal ctrl+equal
wait_part "$WORK/wide4.png" 200 145 600 $ROWS_SHOWN
lefts=()
for _ in {1..12}; do lefts+=(Left); done
press End "${lefts[@]}"
wait_part "$WORK/wide4.png" 0 $((1160 - ROWS_SHOWN)) 600 $ROWS_SHOWN
press Right Right Right
wait_part "$WORK/wide4.png" 60 $((1160 - ROWS_SHOWN)) 600 $ROWS_SHOWN
echo "PASS: Ctrl+wheel zooms about the cursor and a zoomed map scrolls to its cells"
