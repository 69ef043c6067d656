#!/usr/bin/env bash
# The millisecond scale scrolls with a tall text export: after the wheel has turned the map to its
# bottom, the bottom rows equal the renderer's, and the labels 25 to 50 stand at their rows, each
# pixel for pixel the label that a short export with all eleven ticks on the first screen shows.
source "$(dirname "$0")/lib.sh"

readonly SCREEN_H=1024
park_pointer
readonly MICS=16
# An export: $1 path, $2 Time, $3 Precision. SampleRate becomes 4 / Precision, so that
# ticks lie 5 / (1000 Precision) rows apart.
write_export() {
  python3 - "$@" <<'PY'
import math, sys
path, time, precision = sys.argv[1], sys.argv[2], sys.argv[3]
rows = math.floor(float(time) / float(precision))  # the rows that the reader reads
lines = ["Microphones = 16", f"Time           = {time}", f"Precision      = {precision}",
         "[Microphone 1]"]
for m in range(1, 17):
    lines += [f"block {m}"] * 6
    for t in range(1, rows + 1):
        v = 10.0 ** (2.0 - ((t * 7 + m * 13) % 97) / 12.0 - t / rows)
        lines.append(f"0,0,0,0,0,{v:.6e},0,0,0,0")
with open(path, "w") as f:
    f.write("\n".join(lines) + "\n")
PY
}
# Colours of the label of tick offset $1 rows below the picture's outer top, scrolled by $2 rows,
# into the file $3. The label's box starts 5 pixels right of the picture, 5 above the tick.
label() {
  local edge=$((2 + MICS + 4))
  python3 "$HERE/pixels.py" rgb "$WORK/shot.png" $((WIN_X + edge + 5)) \
    $((WIN_Y + MENU_BAR + 56 + $1 - $2 - 5)) 20 16 "$3"
}

# All eleven ticks 25 rows apart on a 250-row map: the reference labels.
write_export "$WORK/short.__lev" 0.05 0.0002
"$RENDERER" --png "$WORK/short.png" "$WORK/short.__lev"
start_viewer "$WORK/short.__lev"
wait_picture "$WORK/short.png"
for ms in 25 30 35 40 45 50; do label $((ms * 5)) 0 "$WORK/ref$ms" || fail "no label box for $ms"; done
cmp -s "$WORK/ref40" "$WORK/ref50" && fail "the labels 40 and 50 look alike; the check would prove nothing"
kill "$VIEWER_PID" && wait "$VIEWER_PID" 2>/dev/null || true

# Ticks 125 rows apart on a 1500-row map: 40, 45 and 50 lie below the first screen.
write_export "$WORK/tall.__lev" 0.06 0.00004
"$RENDERER" --png "$WORK/tall.png" "$WORK/tall.__lev"
start_viewer "$WORK/tall.__lev"
# Capped at the screen's height (no window manager: no frame). The window reaches that height only
# after the load, so the height it first appears with says nothing.
readonly ROWS_SHOWN=$((SCREEN_H - 94 - CHROME))
((ROWS_SHOWN < 1000)) || fail "the screen holds the 40 ms tick; the test would prove nothing"
wait_part "$WORK/tall.png" 0 0 $MICS $ROWS_SHOWN
window_origin  # the match may come from a screenshot taken just after the window grew
((WIN_H == SCREEN_H)) || fail "the window is $WIN_H high, not capped at $SCREEN_H"
# The wheel over the scale, right of the picture, ten notches and more: to the bottom.
xdotool mousemove --sync $((WIN_X + 2 + MICS + 4 + 20)) $((WIN_Y + 300)) click --repeat 40 --delay 20 5
readonly SCROLLED=$((1500 - ROWS_SHOWN))
wait_part "$WORK/tall.png" 0 $SCROLLED $MICS $ROWS_SHOWN
for ms in 25 30 35 40 45 50; do
  label $((ms * 25)) $SCROLLED "$WORK/got$ms" || fail "no label box for $ms"
  cmp -s "$WORK/ref$ms" "$WORK/got$ms" || fail "the $ms ms label is not at its row after scrolling"
done
echo "PASS: the scale's labels 25 to 50 scroll with the rows of a tall map"
