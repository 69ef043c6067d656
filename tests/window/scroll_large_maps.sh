#!/usr/bin/env bash
# Maps larger than the screen: a 64 x 32768 map scrolls to its bottom rows with End, back with
# Home and a page down with Page Down; a 4000 x 400 map scrolls to its last columns with End.
# The shown part always equals the renderer's picture at the scrolled offset.
source "$(dirname "$0")/lib.sh"

readonly SCREEN_W=1280 SCREEN_H=1024
park_pointer

write_mls "$WORK/tall.mls" 64 32768
"$RENDERER" --png "$WORK/tall.png" "$WORK/tall.mls"
start_viewer "$WORK/tall.mls"
# Capped at the screen's height (no window manager: no frame), one pixel per cell.
readonly ROWS_SHOWN=$((SCREEN_H - 94 - CHROME))
wait_part "$WORK/tall.png" 0 0 64 $ROWS_SHOWN
window_origin  # the match may come from a screenshot taken just after the window grew
((WIN_H == SCREEN_H)) || fail "the window is $WIN_H high, not capped at $SCREEN_H"
press End
wait_part "$WORK/tall.png" 0 $((32768 - ROWS_SHOWN)) 64 $ROWS_SHOWN
press Home Next
wait_part "$WORK/tall.png" 0 $ROWS_SHOWN 64 $ROWS_SHOWN
kill "$VIEWER_PID" && wait "$VIEWER_PID" 2>/dev/null || true

write_mls "$WORK/wide.mls" 4000 400
"$RENDERER" --png "$WORK/wide.png" "$WORK/wide.mls"
start_viewer "$WORK/wide.mls"
wait_part "$WORK/wide.png" 0 0 $((SCREEN_W - 39)) 400
window_origin
((WIN_W == SCREEN_W)) || fail "the window is $WIN_W wide, not capped at $SCREEN_W"
press End
readonly COLUMNS_SHOWN=$((SCREEN_W - 39))
wait_part "$WORK/wide.png" $((4000 - COLUMNS_SHOWN)) 0 $COLUMNS_SHOWN 400
echo "PASS: both large maps scroll to their far ends with the keys"
