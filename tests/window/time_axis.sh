#!/usr/bin/env bash
# The time scale of a 26.4 ms text export (5 rows a millisecond, 132 rows) at zooms 1, 4 and 1:8:
# no tick below the end of the data, every tick's label apart from the next one's, no label far
# below the map.
source "$(dirname "$0")/lib.sh"

readonly MICS=16 ROWS=132
park_pointer
python3 - "$WORK/short.__lev" <<'PY'
import sys
lines = ["Microphones = 16", "Time           = 0.0264", "Precision      = 0.0002",
         "[Microphone 1]"]
for m in range(1, 17):
    lines += [f"block {m}"] * 6
    lines += [f"0,0,0,0,0,{10.0 ** (5 - t / 30 - m / 20):.6e},0,0,0,0" for t in range(132)]
open(sys.argv[1], "w").write("\n".join(lines) + "\n")
PY
"$RENDERER" --png "$WORK/short.png" "$WORK/short.__lev"

# Checks the scale right of a picture $1 pixels wide (its interior) whose data end $2 rows below
# its outer top; $3 names the zoom.
check_scale() {
  window_origin
  shot
  local edge=$((2 + $1 + 4)) height=$((WIN_H - 40 - STATUS_BAR))
  python3 "$HERE/pixels.py" rgb "$WORK/shot.png" $((WIN_X + edge)) $((WIN_Y + 40)) 36 $height \
    "$WORK/scale.rgb" || fail "the scale at $3 is not on the screen"
  python3 - "$WORK/scale.rgb" $height $((MENU_BAR + 56 + $2 - 40)) "$3" <<'PY' || fail "the scale at $3"
import sys
data, height, end, zoom = open(sys.argv[1], "rb").read(), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
dark = lambda x, y: sum(data[(y * 36 + x) * 3:(y * 36 + x) * 3 + 3]) < 3 * 128
ticks = [y for y in range(height) if all(dark(x, y) for x in range(5))]
ink = [y for y in range(height) if any(dark(x, y) for x in range(6, 36))]
runs = []
for y in ink:
    if runs and y == runs[-1][1] + 1:
        runs[-1][1] = y
    else:
        runs.append([y, y])
problems = []
if not ticks or max(ticks) > end + 1:
    problems.append(f"ticks at {ticks}, the data end at {end}")
# Every tick labelled, each label's rows apart from the next one's.
if len(runs) < len(ticks):
    problems.append(f"label rows {runs} for ticks at {ticks}")
if ink and max(ink) > end + 16:
    problems.append(f"label ink down to {max(ink)}, the data end at {end}")
if problems:
    print(zoom + ": " + "; ".join(problems), file=sys.stderr)
    sys.exit(1)
PY
}

start_viewer "$WORK/short.__lev"
wait_picture "$WORK/short.png"
check_scale $MICS $ROWS "1:1"
press ctrl+equal ctrl+equal ctrl+equal
wait_pixels stretched "$WORK/short.png" 4 4
check_scale $((4 * MICS)) $((4 * ROWS)) "4:1"
press ctrl+0
wait_picture "$WORK/short.png"
for _ in 1 2 3 4 5 6 7; do press ctrl+minus; done
wait_loudest "$WORK/short.png" 8
check_scale $(((MICS + 7) / 8)) $(((ROWS + 7) / 8)) "1:8"

# K adds the distances beside the milliseconds: the window widens for the longer labels.
press ctrl+0
wait_picture "$WORK/short.png"
press_to_widen k "K (the distances beside the milliseconds)"
echo "PASS: the time scale keeps within the data and its labels apart at zooms 1, 4 and 1:8"
