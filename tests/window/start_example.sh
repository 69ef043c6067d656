#!/usr/bin/env bash
# The viewer started with the example measurement paints exactly the renderer's picture.
source "$(dirname "$0")/lib.sh"

"$RENDERER" --png "$WORK/room.png" "$EXAMPLES/room.mls"
start_viewer "$EXAMPLES/room.mls"
wait_picture "$WORK/room.png"
echo "PASS: the example is painted as the renderer paints it"
