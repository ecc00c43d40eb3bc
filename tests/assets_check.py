#!/usr/bin/python3
"""Checks every picture and sound in data/ for faults a player would see or hear.

Pictures decode, are not blank, and are transparent somewhere unless they cover the screen or
their frame. Sounds are 16-bit PCM at 44100 or 22050 Hz, not silent, not clipped; music loops
are long and join without a click; fanfares and effects stay short.
Usage: tests/assets_check.py [DATA_DIR]; exits 1 with one line per fault.
"""
import os
import struct
import subprocess
import sys
import wave

import numpy as np

OPAQUE_OK = {  # full-screen pictures, and portraits that always sit inside a frame
    "WoodenBG", "WoodenBGShaded", "SelectionBook", "RoundOverP1", "RoundOverP2", "RoundOverDraw",
    "MatchOverP1", "MatchOverP2", "hControls", "hKeyControls", "hHealth", "hSummon", "hBehavior",
    "hTraits", "hSpecTraits", "hSpecTraits2", "hSpells",
    "KnightCharacter", "MageCharacter", "OrcCharacter", "DruidCharacter"}
MUSIC = ("HollowPikes", "Rally", "Pause")
JINGLES = ("Vic1", "Vic2", "Match1", "Match2")
EFFECTS = ("WoodSelect", "GoalReached", "BoostBrass", "FrostChime", "PoisonFlute", "QuakeDrums",
           "Explosion", "ExeBass", "StunStrings", "Wind")


def check_picture(path):
    name = os.path.splitext(os.path.basename(path))[0]
    with open(path, "rb") as f:
        head = f.read(33)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return ["not a PNG file"]
    w, h = struct.unpack(">II", head[16:24])
    res = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True)
    if res.returncode != 0 or w * h == 0 or len(res.stdout) != w * h * 4:
        return ["does not decode: " + res.stderr.decode(errors="replace").strip()]
    px = np.frombuffer(res.stdout, np.uint8).reshape(h, w, 4)
    seen = px[px[:, :, 3] > 0][:, :3]
    faults = []
    if len(seen) == 0 or (seen == seen[0]).all():
        faults.append("blank: fully transparent or a single colour")
    if name not in OPAQUE_OK and (px[:, :, 3] == 255).all():
        faults.append("opaque everywhere (only full-screen pictures may be)")
    return faults


def longest_run(mask):
    edges = np.diff(np.concatenate([[0], mask.astype(np.int8), [0]]))
    return int(np.max(np.nonzero(edges == -1)[0] - np.nonzero(edges == 1)[0], initial=0))


def seam_fault(x):
    """The step from a loop's last sample to its first may not exceed its own 99th percentile."""
    for c, ch in enumerate(x):
        typical = max(np.percentile(np.abs(np.diff(ch)), 99), 2.0)
        jump = abs(int(ch[0]) - int(ch[-1]))
        if jump > typical:
            return "loop seam jumps by %d in channel %d (typical up to %d): it clicks" % (
                jump, c + 1, typical)
    return None


def check_sound(path):
    name = os.path.splitext(os.path.basename(path))[0]
    try:
        with wave.open(path, "rb") as w:
            rate, ch, width, n = w.getframerate(), w.getnchannels(), w.getsampwidth(), w.getnframes()
            raw = w.readframes(n)
    except (wave.Error, EOFError, OSError) as e:
        return ["does not decode as PCM WAV: %s" % e]
    if width != 2 or len(raw) != n * ch * 2:
        return ["%d-bit or truncated, expected 16-bit PCM" % (8 * width)]
    if n == 0:
        return ["no samples"]
    x = np.frombuffer(raw, "<i2").reshape(-1, ch).T.astype(np.int64)
    seconds, faults = n / rate, []
    if rate not in (44100, 22050):
        faults.append("sample rate %d Hz, expected 44100 or 22050" % rate)
    if ch not in (1, 2):
        faults.append("%d channels, expected mono or stereo" % ch)
    if np.max(np.abs(x)) < 0.01 * 32768:
        faults.append("silent (peak below -40 dBFS)")
    clip = max(longest_run(np.abs(c) >= 32767) for c in x)
    if clip >= 3:
        faults.append("clips: %d samples in a row at full scale" % clip)
    if name in MUSIC:
        if seconds < 30:
            faults.append("loop is %.1f s, expected at least 30 s" % seconds)
        faults += [f for f in [seam_fault(x)] if f]
    elif name in JINGLES and seconds >= 3:
        faults.append("fanfare is %.2f s, expected under 3 s" % seconds)
    elif name in EFFECTS and seconds > 2.5:
        faults.append("effect is %.2f s, expected at most 2.5 s" % seconds)
    return faults


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = argv[1] if len(argv) > 1 else os.path.join(root, "data")
    sound_dir = os.path.join(data, "Sound")
    pictures = sorted(f for f in os.listdir(data) if f.lower().endswith(".png"))
    sounds = sorted(f for f in os.listdir(sound_dir) if f.lower().endswith(".wav")) \
        if os.path.isdir(sound_dir) else []
    faults = ["Sound/%s.wav: missing" % n for n in MUSIC + JINGLES + EFFECTS
              if n + ".wav" not in sounds]
    faults += ["%s: %s" % (f, m) for f in pictures for m in check_picture(os.path.join(data, f))]
    faults += ["Sound/%s: %s" % (f, m) for f in sounds for m in check_sound(os.path.join(sound_dir, f))]
    for m in faults:
        print("  " + m)
    print("%d fault(s) in %d pictures and %d sounds of %s" % (len(faults), len(pictures), len(sounds), data))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
