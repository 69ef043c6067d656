#!/usr/bin/env bash
# The viewer started with the example measurement paints exactly the renderer's picture. The
# example is named relative to its folder ("./room.mls"), under folders whose names hold a ".".
source "$(dirname "$0")/lib.sh"

cd "$EXAMPLES" || fail "the copy of the examples is missing"
"$RENDERER" --png "$WORK/room.png" ./room.mls
start_viewer ./room.mls
wait_picture "$WORK/room.png"
echo "PASS: the example is painted as the renderer paints it"
