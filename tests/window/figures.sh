#!/usr/bin/env bash
# G opens the "Figures" window on a recording without asking the period again, and the data saved
# from that window (after a click on the map has pinned a column) are byte for byte the renderer's
# --figures of the same file and period.
source "$(dirname "$0")/lib.sh"

# 12 positions of 4800 samples at 48 kHz: a direct sound arriving later with distance, then a
# decaying tail whose length grows along the row.
python3 - "$WORK/row.wav" <<'PY'
import math, random, struct, sys, wave
random.seed(3)
samples = []
for position in range(12):
    delay = 30 + 10 * position
    t60 = 0.03 + 0.005 * position
    for n in range(4800):
        value = 0.0
        if n == delay:
            value = 20000.0
        elif n > delay:
            value = 8000.0 * 10 ** (-3.0 * (n - delay) / (t60 * 48000)) * random.gauss(0, 1)
        samples.append(max(-32768, min(32767, int(round(value)))))
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(48000)
    w.writeframes(struct.pack("<%dh" % len(samples), *samples))
PY
"$RENDERER" --period 4800 --png "$WORK/row.png" --figures "$WORK/expected.csv" "$WORK/row.wav"

park_pointer
start_viewer "$WORK/row.wav"
answer_dialog "Required Parameter" "4800"
wait_picture "$WORK/row.png"
press g
FIGURES=$(timeout 20 xdotool search --sync --onlyvisible --name '^Figures$' | head -1) ||
  fail "no window titled \"Figures\" appeared"
[[ -n $FIGURES ]] || fail "no window titled \"Figures\" appeared"
xdotool search --onlyvisible --name "Required Parameter" >/dev/null 2>&1 &&
  fail "the period was asked again"
# No window manager: move it off the main window before clicking the map.
xdotool windowmove --sync "$FIGURES" 700 0 || true

click_at $((INTERIOR_X + 4)) $((INTERIOR_Y + 3))
park_pointer
WIN=$FIGURES
press ctrl+s
answer_dialog_like "Save the figures" "$WORK/window.csv"
tries=0
until [[ -s $WORK/window.csv ]] && cmp -s "$WORK/window.csv" "$WORK/expected.csv"; do
  ((tries++ < 100)) || fail "the saved figures differ from the renderer's: $(diff \
    "$WORK/window.csv" "$WORK/expected.csv" 2>&1 | head -5)"
  sleep 0.2
done
echo "PASS: the Figures window saves the renderer's figures"
