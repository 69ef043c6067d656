#!/usr/bin/env bash
# The keypad's + zooms in like Ctrl+=: every cell 2 x 2 pixels of its grey.
source "$(dirname "$0")/lib.sh"

park_pointer
write_mls "$WORK/small map.mls" 40 30 2
"$RENDERER" --png "$WORK/plain.png" "$WORK/small map.mls"
"$RENDERER" --zoom 2 --png "$WORK/zoom2.png" "$WORK/small map.mls"
start_viewer "$WORK/small map.mls"
wait_picture "$WORK/plain.png"
press KP_Add
wait_picture "$WORK/zoom2.png"
echo "PASS: the keypad's + zooms in"
