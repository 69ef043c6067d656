#!/usr/bin/env bash
# A settings file that is a FIFO, a folder or a link to a FIFO: the viewer starts without blocking,
# says why on standard error, keeps a palette change for the session and leaves the file alone.
source "$(dirname "$0")/lib.sh"

mkdir -p "$XDG_CONFIG_HOME/mlsvexal"
for kind in fifo folder link; do
  rm -rf "$SETTINGS" "$WORK/elsewhere"
  case $kind in
    fifo) mkfifo "$SETTINGS" ;;
    folder) mkdir "$SETTINGS" ;;
    link) mkfifo "$WORK/elsewhere" && ln -s "$WORK/elsewhere" "$SETTINGS" ;;
  esac
  "$VIEWER" "$EXAMPLES/room.mls" 2>"$WORK/stderr" &
  VIEWER_PID=$!
  WIN=$(timeout 20 xdotool search --sync --onlyvisible --pid "$VIEWER_PID" --name "MLS Vexal\$" |
    head -1) || fail "$kind: the window did not appear (blocked on the settings file?)"
  wait_title "room.mls — MLS Vexal"
  press c  # the next palette, which the viewer remembers
  press ctrl+q
  wait "$VIEWER_PID" || fail "$kind: the viewer did not end well"
  VIEWER_PID=
  grep -q "^mlsvexal: the settings file .*mlsvexal.conf is .*; choices made now last for this session only$" \
    "$WORK/stderr" || fail "$kind: no line on stderr says why: $(cat "$WORK/stderr")"
  case $kind in
    fifo) [[ -p $SETTINGS ]] || fail "the FIFO was replaced" ;;
    folder) [[ -d $SETTINGS ]] || fail "the folder was replaced" ;;
    link) [[ -L $SETTINGS && -p $WORK/elsewhere ]] || fail "the link or its FIFO was replaced" ;;
  esac
done
echo "PASS: settings files that are no regular files are left alone, and the viewer says so"
