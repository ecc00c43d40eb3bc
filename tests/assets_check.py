#!/usr/bin/python3
"""Checks every picture and sound in data/ for faults a player would see or hear.

Pictures: each data/*.png decodes, is not blank, and is transparent somewhere unless it is a
full-screen picture. Sounds: each data/Sound/*.wav is 16-bit PCM at 44100 or 22050 Hz, not
silent, not clipped; the looping pieces are long enough and join without a click; fanfares
and effects stay short. Pictures that do not exist yet are not reported here.

Usage: tests/assets_check.py [DATA_DIR]    (default: the repository's data/)
Exits 1 with one line per fault.
"""
import os
import struct
import subprocess
import sys
import wave
import zlib

import numpy as np

# Pictures that cover the whole screen and need no transparency.
FULL_SCREEN = {
    "WoodenBG", "WoodenBGShaded", "SelectionBook", "RoundOverP1", "RoundOverP2", "RoundOverDraw",
    "MatchOverP1", "MatchOverP2", "hControls", "hKeyControls", "hHealth", "hSummon", "hBehavior",
    "hTraits", "hSpecTraits", "hSpecTraits2", "hSpells",
}
# Hero portraits are painted with their own backdrop and always sit inside a frame.
FILLS_ITS_BOX = {"KnightCharacter", "MageCharacter", "OrcCharacter", "DruidCharacter"}

MUSIC = ("HollowPikes", "Rally", "Pause")
JINGLES = ("Vic1", "Vic2", "Match1", "Match2")
EFFECTS = ("WoodSelect", "GoalReached", "BoostBrass", "FrostChime", "PoisonFlute", "QuakeDrums",
           "Explosion", "ExeBass", "StunStrings", "Wind")

MIN_MUSIC_SECONDS = 30.0
MAX_JINGLE_SECONDS = 3.0
MAX_EFFECT_SECONDS = 2.5
SILENT_PEAK = 0.01          # below -40 dBFS at its loudest counts as silent
FULL_SCALE = 32767          # |sample| at or above this is at full scale
CLIP_RUN = 3                # this many full-scale samples in a row is clipping


# ---------------------------------------------------------------- pictures

def png_header(path):
    """Width, height, colour type and whether a tRNS chunk exists, from the file itself."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, ihdr, trns = 8, None, False
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc = data[pos + 8 + length:pos + 12 + length]
        if len(body) != length or len(crc) != 4:
            raise ValueError("truncated %s chunk" % kind.decode("latin-1"))
        if struct.unpack(">I", crc)[0] != zlib.crc32(kind + body) & 0xFFFFFFFF:
            raise ValueError("bad CRC in %s chunk" % kind.decode("latin-1"))
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"tRNS":
            trns = True
        elif kind == b"IEND":
            break
        pos += 12 + length
    if ihdr is None:
        raise ValueError("no IHDR chunk")
    return ihdr[0], ihdr[1], ihdr[3], trns


def png_rgba(path, w, h):
    """Decoded pixels as an h x w x 4 uint8 array (ImageMagick does the decoding)."""
    res = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True)
    if res.returncode != 0:
        raise ValueError("does not decode: " + res.stderr.decode(errors="replace").strip())
    if len(res.stdout) != w * h * 4:
        raise ValueError("decodes to %d bytes, expected %d" % (len(res.stdout), w * h * 4))
    return np.frombuffer(res.stdout, np.uint8).reshape(h, w, 4)


def check_picture(path):
    name = os.path.splitext(os.path.basename(path))[0]
    try:
        w, h, colour_type, trns = png_header(path)
        if w == 0 or h == 0:
            return ["empty size %dx%d" % (w, h)]
        px = png_rgba(path, w, h)
    except (ValueError, OSError, struct.error) as e:
        return [str(e)]
    faults = []
    alpha = px[:, :, 3]
    seen = px[alpha > 0]
    if len(seen) == 0:
        faults.append("blank: fully transparent")
    else:
        colours = np.unique(seen[:, :3].astype(np.uint32) @ np.array([65536, 256, 1], np.uint32))
        if len(colours) < 2:
            faults.append("blank: a single colour")
    if name not in FULL_SCREEN and name not in FILLS_ITS_BOX:
        if colour_type not in (4, 6) and not trns:
            faults.append("no alpha channel (only full-screen pictures may be opaque)")
        elif np.all(alpha == 255):
            faults.append("opaque everywhere (only full-screen pictures may be)")
    return faults


# ---------------------------------------------------------------- sounds

def read_wav(path):
    """(sample rate, samples as channels x frames int array); wave only reads integer PCM."""
    with wave.open(path, "rb") as w:
        if w.getcomptype() != "NONE":
            raise ValueError("compressed (%s), not PCM" % w.getcomptype())
        rate, ch, width, frames = w.getframerate(), w.getnchannels(), w.getsampwidth(), w.getnframes()
        raw = w.readframes(frames)
    if width != 2:
        raise ValueError("%d-bit samples, expected 16-bit" % (8 * width))
    if len(raw) != frames * ch * 2:
        raise ValueError("truncated data")
    return rate, np.frombuffer(raw, "<i2").reshape(-1, ch).T.astype(np.int64)


def longest_run(mask):
    """Length of the longest run of True in a 1-D bool array."""
    if not mask.any():
        return 0
    edges = np.diff(np.concatenate([[0], mask.astype(np.int8), [0]]))
    starts, ends = np.nonzero(edges == 1)[0], np.nonzero(edges == -1)[0]
    return int(np.max(ends - starts))


def seam_fault(x):
    """A loop must join like any other pair of neighbouring samples: the step from the last
    sample to the first may not exceed the 99th percentile of the piece's own steps."""
    for c, ch in enumerate(x):
        steps = np.abs(np.diff(ch))
        typical = max(np.percentile(steps, 99), 2.0)
        jump = abs(int(ch[0]) - int(ch[-1]))
        if jump > typical:
            return "loop seam jumps by %d in channel %d (typical steps up to %d): it clicks" % (
                jump, c + 1, typical)
    return None


def check_sound(path):
    name = os.path.splitext(os.path.basename(path))[0]
    try:
        rate, x = read_wav(path)
    except (wave.Error, ValueError, EOFError, OSError) as e:
        return ["does not decode as 16-bit PCM WAV: %s" % e]
    faults = []
    if rate not in (44100, 22050):
        faults.append("sample rate %d Hz, expected 44100 or 22050" % rate)
    if x.shape[0] not in (1, 2):
        faults.append("%d channels, expected mono or stereo" % x.shape[0])
    if x.shape[1] == 0:
        return faults + ["no samples"]
    seconds = x.shape[1] / rate
    if np.max(np.abs(x)) < SILENT_PEAK * 32768:
        faults.append("silent (peak below -40 dBFS)")
    run = max(longest_run(np.abs(ch) >= FULL_SCALE) for ch in x)
    if run >= CLIP_RUN:
        faults.append("clips: %d samples in a row at full scale" % run)
    if name in MUSIC:
        if seconds < MIN_MUSIC_SECONDS:
            faults.append("loop is %.1f s, expected at least %.0f s" % (seconds, MIN_MUSIC_SECONDS))
        seam = seam_fault(x)
        if seam:
            faults.append(seam)
    elif name in JINGLES and seconds >= MAX_JINGLE_SECONDS:
        faults.append("fanfare is %.2f s, expected under %.0f s" % (seconds, MAX_JINGLE_SECONDS))
    elif name in EFFECTS and seconds > MAX_EFFECT_SECONDS:
        faults.append("effect is %.2f s, expected at most %.1f s" % (seconds, MAX_EFFECT_SECONDS))
    return faults


# ---------------------------------------------------------------- main

def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = argv[1] if len(argv) > 1 else os.path.join(root, "data")
    faults = []
    pictures = sorted(f for f in os.listdir(data) if f.lower().endswith(".png"))
    for f in pictures:
        faults += ["%s: %s" % (f, m) for m in check_picture(os.path.join(data, f))]
    sound_dir = os.path.join(data, "Sound")
    sounds = sorted(f for f in os.listdir(sound_dir) if f.lower().endswith(".wav")) \
        if os.path.isdir(sound_dir) else []
    for name in MUSIC + JINGLES + EFFECTS:
        if name + ".wav" not in sounds:
            faults.append("Sound/%s.wav: missing" % name)
    for f in sounds:
        faults += ["Sound/%s: %s" % (f, m) for m in check_sound(os.path.join(sound_dir, f))]
    if faults:
        print("%d fault(s) in %s:" % (len(faults), data))
        for m in faults:
            print("  " + m)
        return 1
    print("checked %d pictures and %d sounds in %s: all fine" % (len(pictures), len(sounds), data))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
