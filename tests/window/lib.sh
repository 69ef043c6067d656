# Shared by the real-window tests: run under xvfb-run, drive the window with xdotool, read its
# pixels from screenshots of the root window.
# Arguments of every test: VIEWER RENDERER EXAMPLES_DIR MLS_GENERATOR (the tests use a copy of
# the examples)
set -euo pipefail

VIEWER=$1
RENDERER=$2
MAKE_MLS=$4
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Folder names with a "." in them, as in a clone into "mlsvexal-1.0": only the file's own name may
# choose the reader, so every test loads through them.
WORK=$(mktemp -d /tmp/vexal.window-XXXXXX)
EXAMPLES=$WORK/mlsvexal-1.0/examples
VIEWER_PID=
# The menu bar above the designed controls and the status bar below them, in pixels under the
# tests' X server and fonts; the window is CHROME higher than its designed client area.
readonly MENU_BAR=19 STATUS_BAR=19
readonly CHROME=$((MENU_BAR + STATUS_BAR))
# Picture1's interior in the window: the design position below the menu bar, plus the 2-pixel
# border.
readonly INTERIOR_X=4 INTERIOR_Y=$((58 + MENU_BAR))
readonly BACKGROUND=240

export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= QT_ENABLE_HIGHDPI_SCALING=0 QT_SCALE_FACTOR=1
export LC_ALL=C.UTF-8 LANG=C.UTF-8
# The viewer's remembered choices (QSettings: palette, legend) live in the test's own folder, so
# that no test sees another's and none touches the user's.
export XDG_CONFIG_HOME=$WORK/config
readonly SETTINGS=$XDG_CONFIG_HOME/mlsvexal/mlsvexal.conf

cleanup() {
  if [[ -n $VIEWER_PID ]] && kill -0 "$VIEWER_PID" 2>/dev/null; then
    kill "$VIEWER_PID" 2>/dev/null || true
    wait "$VIEWER_PID" 2>/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

mkdir -p "$EXAMPLES"
cp "$3"/* "$EXAMPLES"/

fail() {
  echo "FAIL: $*" >&2
  if [[ -f $WORK/shot.png ]]; then cp "$WORK/shot.png" "/tmp/vexal_window_failure_$$.png" &&
    echo "last screenshot: /tmp/vexal_window_failure_$$.png" >&2; fi
  exit 1
}

# Waits for a visible window whose name is exactly $1; prints its id.
wait_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -1
}

# Starts the viewer with the given arguments and waits for its window; sets WIN, WIN_X, WIN_Y.
start_viewer() {
  "$VIEWER" "$@" &
  VIEWER_PID=$!
  # Titled "MLS Vexal", then "FILE — MLS Vexal" once a map is shown.
  WIN=$(timeout 20 xdotool search --sync --onlyvisible --pid "$VIEWER_PID" --name "MLS Vexal\$" |
    head -1) || fail "the window did not appear"
  [[ -n $WIN ]] || fail "the window did not appear"
  window_origin
}

# Polls (20 s at most) until the viewer's window is titled exactly $1.
wait_title() {
  local deadline=$((SECONDS + 20)) title=
  while ((SECONDS < deadline)); do
    title=$(xdotool getwindowname "$WIN" 2>/dev/null) || true
    [[ $title == "$1" ]] && return 0
    sleep 0.1
  done
  fail "the window is titled \"$title\", not \"$1\""
}

window_origin() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  WIN_X=$X WIN_Y=$Y WIN_W=$WIDTH WIN_H=$HEIGHT
}

shot() { import -window root "$WORK/shot.png"; }

# Keeps the pointer off every window, so that no read-out covers the picture.
park_pointer() { xdotool mousemove --sync 1279 1023; }

# Polls (20 s at most) until `pixels.py CHECK SHOT INTERIOR-X INTERIOR-Y ARGS...` holds for a
# fresh screenshot. Arguments: CHECK ARGS...
wait_pixels() {
  local check=$1
  shift
  local deadline=$((SECONDS + 20))
  while ((SECONDS < deadline)); do
    window_origin
    shot
    if python3 "$HERE/pixels.py" "$check" "$WORK/shot.png" $((WIN_X + INTERIOR_X)) \
        $((WIN_Y + INTERIOR_Y)) "$@" 2>"$WORK/why"; then
      return 0
    fi
    sleep 0.1
  done
  fail "the picture never matched $* ($(cat "$WORK/why"))"
}

# True when the picture interior equals the PNG $1 within $2 seconds.
picture_within() {
  local deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    window_origin
    shot
    python3 "$HERE/pixels.py" same "$WORK/shot.png" $((WIN_X + INTERIOR_X)) \
      $((WIN_Y + INTERIOR_Y)) "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Polls until the picture interior equals the PNG $1 (greys, or colours for a colour PNG).
wait_picture() { wait_pixels same "$1"; }

# Polls until the picture interior equals the loudest-cell reduction of the greyscale PNG $1 to
# blocks of $2 x $2 pixels: what a zoom of 1:$2 shows.
wait_loudest() { wait_pixels loudest "$@"; }

# Polls until the first W x H pixels shown in the picture interior equal the W x H rectangle at
# (L, T) of the PNG. Arguments: PNG L T W H.
wait_part() { wait_pixels part "$@"; }

# Gives the keyboard to the viewer's window and presses the keys given.
press() {
  xdotool windowfocus --sync "$WIN"
  xdotool key --clearmodifiers "$@"
}

# Clicks at (x, y) of the window (add MENU_BAR to a designed control's y).
click_at() {
  window_origin
  xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2)) click 1
}

# Gives the keyboard to the dialog named $1 and types $2 into its focused line, replacing it,
# then presses Enter until the dialog has gone.
answer_dialog() { answer_dialog_like "^$1\$" "$2"; }

# answer_dialog for the dialog whose name matches the regular expression $1.
answer_dialog_like() {
  local dialog
  dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1) ||
    fail "no dialog named like \"$1\" appeared"
  [[ -n $dialog ]] || fail "no dialog named like \"$1\" appeared"
  xdotool windowfocus --sync "$dialog"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 20 "$2"
  local tries=0
  while xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; do
    ((tries++ < 20)) || fail "the dialog named like \"$1\" did not close"
    xdotool key Return
    sleep 0.2
  done
}

# An .mls file: $1 path, $2 microphones, $3 points; point (m, r) is real, falling with r and
# varying with m, the first point of every column the loudest (painted black). $4, if given, is
# that first point's value (10 unless given, at least 1.6): 2 puts up to the first 40 % of the
# rows within the default span, 10 only a few.
# Presses $1 and waits until the window has widened; $2 names what should have widened it.
# WIDTH_BEFORE keeps the width it had before the key.
press_to_widen() {
  window_origin
  WIDTH_BEFORE=$WIN_W
  press "$1"
  local tries=0
  while window_origin && ((WIN_W <= WIDTH_BEFORE)); do
    ((tries++ < 50)) || fail "$2 did not widen the window ($WIN_W pixels wide)"
    sleep 0.1
  done
}

write_mls() { "$MAKE_MLS" "$@" || fail "cannot write the test file $1"; }
