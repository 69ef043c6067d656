#!/usr/bin/env bash
# A mono 16-bit WAV recording named on the command line: the period prompt is answered by typing,
# and the map is painted as the renderer paints it with the same period.
source "$(dirname "$0")/lib.sh"

# 40 positions of 1000 samples at 48 kHz: an impulse arriving later with distance, one
# reflection, a decaying tail and a little deterministic noise.
python3 - "$WORK/sweep.wav" <<'PY'
import math, random, struct, sys, wave
random.seed(7)
samples = []
for position in range(40):
    delay = 20 + 6 * position
    for n in range(1000):
        value = 0.0
        if n >= delay:
            value += 20000.0 * math.exp(-(n - delay) / 60.0) * math.cos(0.3 * (n - delay))
        if n >= delay + 150:
            value += 6000.0 * math.exp(-(n - delay - 150) / 40.0)
        value += random.uniform(-30.0, 30.0)
        samples.append(max(-32768, min(32767, int(round(value)))))
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(48000)
    w.writeframes(struct.pack("<%dh" % len(samples), *samples))
PY
"$RENDERER" --period 1000 --png "$WORK/sweep.png" "$WORK/sweep.wav"

start_viewer "$WORK/sweep.wav"
answer_dialog "Required Parameter" "1000"
wait_picture "$WORK/sweep.png"
echo "PASS: the WAV recording is painted after the typed period"
