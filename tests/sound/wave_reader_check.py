"""Runs `Sonnary wav` on the demo sound image and reads the results with Python's wave module."""

import os
import subprocess
import sys
import tempfile
import wave

demo_rom, sonnary = sys.argv[1], sys.argv[2]
env = dict(os.environ)
env.pop("DISPLAY", None)
env.pop("QT_QPA_PLATFORM", None)

cases = [
    # instrument, note, rate, samples
    ("0", "0", 13379, bytes([0x80, 0x7F, 0x81, 0x00])),
    ("0xB", "0", 8000, bytes((128 - (i * 7)) & 0xFF for i in range(1000))),
]

with tempfile.TemporaryDirectory() as folder:
    rom = os.path.join(folder, "demo.gba")
    subprocess.run([demo_rom, rom], check=True)
    for instrument, note, rate, samples in cases:
        out = os.path.join(folder, f"{instrument}_{note}.wav")
        subprocess.run([sonnary, "wav", rom, instrument, note, "-o", out], check=True, env=env)
        with wave.open(out, "rb") as reader:
            assert reader.getnchannels() == 1, reader.getnchannels()
            assert reader.getsampwidth() == 1, reader.getsampwidth()
            assert reader.getframerate() == rate, reader.getframerate()
            assert reader.getnframes() == len(samples), reader.getnframes()
            assert reader.readframes(len(samples)) == samples
        assert os.path.getsize(out) == 44 + len(samples)
print("ok")
