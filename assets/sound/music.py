"""The three looping pieces and the four fanfares."""
import numpy as np

import instruments as ins
from synth import (PITCH_CLASS, Mix, fade, hz, limit, make_ir, master_music, midi, n_of, notes,
                   rms_db)

_QUALITY = {"": [0, 4, 7], "m": [0, 3, 7], "7": [0, 4, 7, 10], "m7": [0, 3, 7, 10],
            "dim": [0, 3, 6], "sus4": [0, 5, 7], "sus2": [0, 2, 7]}


def chord(name):
    """'F#m' -> (root pitch class, pitch classes, bass pitch class); 'D/F#' puts F# in the bass."""
    over = None
    if "/" in name:
        name, over = name.split("/")
    i = 1
    root = PITCH_CLASS[name[0]]
    while i < len(name) and name[i] in "#b":
        root += 1 if name[i] == "#" else -1
        i += 1
    pcs = [(root + x) % 12 for x in _QUALITY[name[i:]]]
    bass = root % 12 if over is None else midi(over + "0") % 12
    return root % 12, pcs, bass


def voicing(pcs, lo, hi):
    return [m for m in range(lo, hi + 1) if m % 12 in pcs]


def lowest(pc, lo):
    m = lo
    while m % 12 != pc:
        m += 1
    return m


def bars(chords, per_bar):
    """'D | Bm | Em A' -> [(start beat, length in beats, chord name)]."""
    out = []
    for b, cell in enumerate(chords.split("|")):
        names = cell.split()
        step = per_bar / len(names)
        for j, nm in enumerate(names):
            out.append((b * per_bar + j * step, step, nm))
    return out


class Player:
    """Places notes in a mix at a tempo, with a little human looseness."""

    def __init__(self, mix, bpm, seed):
        self.mix = mix
        self.spb = 60.0 / bpm
        self.rng = np.random.RandomState(seed)

    def play(self, events, make, gain=1.0, pan=0.0, send=0.25, legato=1.0, loose=0.006, vary=0.06,
             shift=0):
        for beat, length, m in events:
            at = beat * self.spb + (self.rng.uniform(-loose, loose) if loose else 0.0)
            vel = 1.0 + (self.rng.uniform(-vary, vary) if vary else 0.0)
            sig = make(hz(m + shift), length * self.spb * legato, self.rng)
            self.mix.add(sig * vel, max(at, 0.0), gain=gain, pan=pan, send=send)

    def hit(self, beats, sig_fn, gain=1.0, pan=0.0, send=0.15, loose=0.003, vary=0.08):
        for b in beats:
            at = b * self.spb + (self.rng.uniform(-loose, loose) if loose else 0.0)
            vel = 1.0 + (self.rng.uniform(-vary, vary) if vary else 0.0)
            self.mix.add(sig_fn(self.rng) * vel, max(at, 0.0), gain=gain, pan=pan, send=send)


def arpeggio(progression, lo, hi, pattern, step):
    out = []
    for beat, length, name in progression:
        _, pcs, bass = chord(name)
        v = voicing(pcs, lo, hi)
        base = v.index(lowest(bass, lo)) if lowest(bass, lo) in v else 0
        count = int(round(length / step))
        for i in range(count):
            idx = base + pattern[i % len(pattern)]
            out.append((beat + i * step, step, v[min(idx, len(v) - 1)]))
    return out


def held(progression, lo, hi):
    """Each chord as a block of notes held for its length."""
    out = []
    for beat, length, name in progression:
        _, pcs, _ = chord(name)
        for m in voicing(pcs, lo, hi):
            out.append((beat, length, m))
    return out


def roots(progression, lo, hits=None):
    out = []
    for beat, length, name in progression:
        _, _, bass = chord(name)
        m = lowest(bass, lo)
        if hits is None:
            out.append((beat, length, m))
        else:
            for h, l in hits:
                if h < length:
                    out.append((beat + h, min(l, length - h), m))
    return out


# ---------------------------------------------------------------- title theme

def hollow_pikes():
    bpm, per_bar = 100, 4
    prog = bars("D | Bm | G | A | D | Bm | Em A | D | G | D/F# | Em | A | G | A | Bm G | A", per_bar)
    length = 16 * per_bar * 60.0 / bpm
    mix = Mix(length, loop=True)
    p = Player(mix, bpm, seed=11)

    theme_a = notes("A4:1.5 D5:.5 D5:1 E5:.5 F#5:.5  F#5:1.5 E5:.5 D5:1 B4:1 "
                    "D5:1.5 B4:.5 G4:1 B4:.5 D5:.5  C#5:1.5 B4:.5 A4:2 "
                    "A4:1.5 D5:.5 D5:1 E5:.5 F#5:.5  A5:1.5 G5:.5 F#5:1 D5:1 "
                    "E5:1 G5:1 F#5:.5 E5:.5 C#5:1  D5:2.5 A4:.5 B4:.5 C#5:.5")
    theme_b = notes("D5:1.5 B4:.5 G5:2  F#5:1.5 E5:.5 D5:1 A4:1 "
                    "B4:1 E5:1 G5:1.5 F#5:.5  E5:2 C#5:1 A4:1 "
                    "G5:1.5 F#5:.5 E5:1 D5:1  C#5:1.5 D5:.5 E5:2 "
                    "F#5:1.5 E5:.5 D5:1 B4:1  E5:1.5 D5:.5 C#5:2", beat=32)

    horn = lambda f, d, r: ins.brass(f, d * 0.96, 0.7, r, attack=0.07, bright=0.55, vib=8)
    p.play(theme_a, horn, gain=0.55, pan=0.05, send=0.3)
    p.play(theme_b, horn, gain=0.35, pan=-0.1, send=0.3, shift=-12)
    violins = lambda f, d, r: ins.strings(f, d * 0.98, 0.75, r, attack=0.09)
    p.play(theme_b, violins, gain=0.5, pan=0.15, send=0.35)
    # A flute echo answers the horn in the second half of the first theme.
    echo = notes("r:16 r:3 A5:.5 F#5:.5  r:3 D6:1  r:2 E6:1 C#6:1  r:2 F#6:.5 E6:.5 D6:1")
    p.play(echo, lambda f, d, r: ins.flute(f, d * 0.9, 0.5, r), gain=0.35, pan=0.4, send=0.45)

    p.play(held(prog, 55, 71), lambda f, d, r: ins.strings(f, d, 0.5, r, attack=0.35, release=0.5),
           gain=0.16, pan=-0.2, send=0.4, loose=0.0)
    p.play(roots(prog, 38), lambda f, d, r: ins.strings(f, d, 0.6, r, attack=0.2, release=0.4),
           gain=0.22, pan=0.0, send=0.25, loose=0.0)
    p.play(roots(prog, 38, hits=[(0, 1.5), (2, 1.5)]),
           lambda f, d, r: ins.bass(f, d, 0.7, r, bright=0.6), gain=0.35, send=0.05)
    arp = arpeggio(prog, 50, 81, [0, 2, 4, 5, 6, 5, 4, 2], 0.5)
    p.play(arp, lambda f, d, r: ins.harp(f, 0.6, r), gain=0.28, pan=-0.35, send=0.35)

    # Timpani on the downbeats, more insistent towards the end of the phrase.
    tim_events = []
    for bar in range(16):
        beats = [0] if bar < 12 else [0, 2]
        _, _, bass = chord(prog_name_at(prog, bar * per_bar))
        for b in beats:
            tim_events.append((bar * per_bar + b, 1, lowest(bass, 40)))
    tim_events += [(15 * per_bar + 3, 0.25, lowest(9, 40)), (15 * per_bar + 3.5, 0.25, lowest(9, 40))]
    p.play(tim_events, lambda f, d, r: ins.timpani(f, 0.6, r), gain=0.35, send=0.3)
    shaker = [b * 0.5 for b in range(64, 128)]
    p.hit(shaker, lambda r: ins.shaker(0.35, r), gain=0.5, pan=0.3, send=0.1)
    # A light march in the second half: snare on the off-beats with a little lead-in.
    march = [bar * per_bar + b for bar in range(8, 16) for b in (1, 3)]
    march += [bar * per_bar + 3.5 + 0.25 * i for bar in (11, 15) for i in (0, 1)]
    p.hit(march, lambda r: ins.snare(0.5, r, tone=210, snap=0.8), gain=0.45, pan=-0.1, send=0.3)

    out = mix.render(make_ir(rt60=2.0, seed=3), wet_gain=0.9)
    return master_music(out, -16.0)


def prog_name_at(prog, beat):
    for b, l, name in prog:
        if b <= beat < b + l:
            return name
    return prog[-1][2]


# ---------------------------------------------------------------- battle

def rally():
    bpm, per_bar = 150, 4
    prog = bars("Dm | Dm | Bb | C | Dm | Dm | Bb C | A | "
                "Dm | Dm | Bb | C | Dm | Dm | Bb C | A | "
                "Bb | C | Am | Dm | Bb | C | Gm | A", per_bar)
    length = 24 * per_bar * 60.0 / bpm
    mix = Mix(length, loop=True)
    p = Player(mix, bpm, seed=23)

    # Brass stabs in a 3+3+2 push under the opening section.
    stabs = []
    for beat, l, name in prog:
        if beat < 32:
            _, pcs, _ = chord(name)
            for off, d in [(0, 1.0), (1.5, 1.0), (3, 0.75)]:
                if off < l:
                    stabs += [(beat + off, d, m) for m in voicing(pcs, 53, 67)]
    p.play(stabs, lambda f, d, r: ins.brass(f, d * 0.7, 0.8, r, attack=0.02, release=0.08),
           gain=0.22, pan=-0.15, send=0.15, loose=0.002)

    tune = ("D5:1.5 A4:.5 D5:1 F5:1  E5:1.5 D5:.5 C5:1 A4:1  Bb4:1.5 D5:.5 F5:1 D5:1  "
            "E5:1.5 C5:.5 G5:2  A5:1.5 G5:.5 F5:1 D5:1  E5:1 F5:1 E5:1 D5:1  "
            "D5:1 F5:1 E5:1 G5:1  A5:2 C#5:1 E5:1")
    high = ("F5:1.5 D5:.5 F5:1 Bb5:1  A5:1.5 G5:.5 E5:2  E5:1.5 C5:.5 E5:1 A5:1  "
            "F5:2 E5:1 D5:1  D5:1.5 F5:.5 Bb5:2  A5:1 G5:1 E5:1 C5:1  "
            "D5:1 G5:1 Bb5:1 A5:1  A5:2 E5:1 C#5:1")
    # Low horns hint at the tune before the trumpets take it.
    hint = "D4:1.5 A3:.5 D4:1 F4:1  E4:2 D4:1 C4:1  D4:1 F4:1 E4:1 G4:1  A4:2 E4:2"
    p.play(notes(hint, 16), lambda f, d, r: ins.brass(f, d * 0.92, 0.75, r, attack=0.05, bright=0.6),
           gain=0.4, pan=0.25, send=0.3)
    trumpet = lambda f, d, r: ins.brass(f, d * 0.88, 0.85, r, attack=0.03, bright=1.1, vib=12)
    p.play(notes(tune, 32), trumpet, gain=0.5, pan=0.1, send=0.22)
    p.play(notes(high, 64), trumpet, gain=0.45, pan=0.1, send=0.22)
    p.play(notes(high, 64), trumpet, gain=0.3, pan=-0.2, send=0.22, shift=-12)
    # Strings take the tune's outline under the melody in the middle section.
    p.play(held(prog[8:], 57, 72), lambda f, d, r: ins.strings(f, d, 0.5, r, attack=0.2),
           gain=0.1, pan=-0.3, send=0.3, loose=0.0)

    # Spiccato strings: a running sixteenth figure that drives the whole piece.
    spic = arpeggio(prog, 50, 74, [0, 0, 2, 0, 3, 0, 2, 1], 0.25)
    p.play(spic, lambda f, d, r: ins.strings(f, 0.07, 0.7, r, attack=0.006, release=0.05, voices=3),
           gain=0.2, pan=-0.35, send=0.12, loose=0.002)
    # Pumping bass in eighths with octave jumps.
    bassline = []
    for beat, l, name in prog:
        _, _, b = chord(name)
        root = lowest(b, 33)
        for i in range(int(l / 0.5)):
            bassline.append((beat + i * 0.5, 0.45, root + (12 if i % 4 == 3 else 0)))
    p.play(bassline, lambda f, d, r: ins.bass(f, d, 0.8, r, bright=1.2), gain=0.3, send=0.03,
           loose=0.002)

    kick_beats, snare_beats, hat_beats, boom = [], [], [], []
    for bar in range(24):
        b0 = bar * per_bar
        kick_beats += [b0, b0 + 1.5, b0 + 2]
        hat_beats += [b0 + i * 0.5 for i in range(8)]
        if bar % 8 == 7:
            snare_beats += [b0 + 1]     # the tom fill below takes the second half
        else:
            snare_beats += [b0 + 1, b0 + 3]
            boom += [b0]
    p.hit(kick_beats, lambda r: ins.kick(0.9, r), gain=0.45, send=0.05)
    p.hit(snare_beats, lambda r: ins.snare(0.8, r), gain=0.6, pan=0.05, send=0.2)
    p.hit(hat_beats, lambda r: ins.hat(0.5, r), gain=0.22, pan=0.3, send=0.05)
    p.hit(boom, lambda r: ins.tom(65, 0.9, r, length=1.0, decay=0.4), gain=0.32, send=0.2)
    for bar in (7, 15, 23):
        b0 = bar * per_bar
        for i, f in enumerate([196, 165, 147, 131, 110, 98, 87, 73]):
            p.hit([b0 + 2 + i * 0.25], lambda r, f=f: ins.tom(f, 0.8, r), gain=0.3,
                  pan=0.4 - 0.1 * i, send=0.2)
    for bar in (0, 8, 16):
        p.hit([bar * per_bar], lambda r: ins.crash(0.6, r), gain=0.16, pan=-0.3, send=0.2)

    out = mix.render(make_ir(rt60=1.4, seed=5), wet_gain=0.8)
    return master_music(out, -16.0)


# ---------------------------------------------------------------- calm menus

def pause():
    bpm, per_bar = 80, 3
    prog = bars("G | Em | C | D | G | Bm | C | D | Em | C | G | D | C | G/B | Am | D", per_bar)
    length = 16 * per_bar * 60.0 / bpm
    mix = Mix(length, loop=True)
    p = Player(mix, bpm, seed=37)

    arp = arpeggio(prog, 48, 79, [0, 2, 3, 4, 3, 2], 0.5)
    p.play(arp, lambda f, d, r: ins.harp(f, 0.55, r, decay=1.2), gain=0.2, pan=-0.25, send=0.45,
           loose=0.01)
    p.play(held(prog, 55, 71), lambda f, d, r: ins.pad(f, d, 0.5, r, attack=0.8, release=0.7),
           gain=0.07, pan=0.2, send=0.5, loose=0.0)
    p.play(roots(prog, 36), lambda f, d, r: ins.pad(f, d, 0.6, r, attack=0.4, release=0.8, roll=600),
           gain=0.13, send=0.3, loose=0.0)

    first = notes("D5:2 B4:1  E5:2 G5:1  G5:1.5 E5:.5 C5:1  D5:3  "
                  "D5:2 B4:1  D5:2 F#5:1  E5:1.5 D5:.5 C5:1  A4:3")
    second = notes("B4:1 E5:1 G5:1  G5:1.5 F#5:.5 E5:1  D5:2 B4:1  A4:1.5 B4:.5 C5:1  "
                   "E5:2 D5:.5 C5:.5  D5:2 B4:1  C5:1.5 B4:.5 A4:1  F#4:1 A4:1 C5:1", beat=24)
    p.play(first, lambda f, d, r: ins.lute(f, 0.8, r), gain=1.0, pan=0.2, send=0.4, loose=0.012)
    p.play(first, lambda f, d, r: ins.lute(f, 0.5, r), gain=0.3, pan=0.45, send=0.5, loose=0.012,
           shift=12)
    p.play(second, lambda f, d, r: ins.flute(f, d * 0.95, 0.6, r, attack=0.12, vib=10),
           gain=0.16, pan=0.1, send=0.5)

    out = mix.render(make_ir(rt60=2.6, seed=7, damping=1.2), wet_gain=1.0)
    return master_music(out, -17.0)


# ---------------------------------------------------------------- fanfares

def _jingle(mix, seconds):
    out = mix.render(make_ir(rt60=1.6, seed=9), wet_gain=0.8)
    out = out[:, :n_of(seconds)]
    out = fade(out, 0.001, 0.6)
    out = out - np.mean(out, axis=1, keepdims=True)
    out = out * 10 ** ((-14.0 - rms_db(out[:, :n_of(seconds * 0.6)])) / 20.0)
    out = limit(out, -1.5)
    return out - np.mean(out, axis=1, keepdims=True)


def vic1():
    """Player 1's round: a quick brass triplet call up to a held C."""
    mix = Mix(2.6)
    p = Player(mix, 120, seed=41)
    call = notes("G4:.333 C5:.333 E5:.334 G5:2.4")
    p.play(call, lambda f, d, r: ins.brass(f, d * 0.9, 0.85, r, attack=0.02, bright=1.2),
           gain=0.6, send=0.25, loose=0.0)
    p.play([(1, 2.4, m) for m in (48, 55, 60, 64)],
           lambda f, d, r: ins.brass(f, d * 0.9, 0.7, r, attack=0.03), gain=0.25, pan=-0.2, send=0.3)
    p.play([(1, 2.3, m) for m in (67, 72, 76)], lambda f, d, r: ins.strings(f, d, 0.6, r, attack=0.05),
           gain=0.2, pan=0.3, send=0.3)
    p.play([(1, 1, 36)], lambda f, d, r: ins.timpani(f, 0.9, r), gain=0.5, send=0.3)
    p.hit([1], lambda r: ins.crash(0.5, r, length=1.6), gain=0.15, pan=0.3, send=0.2)
    return _jingle(mix, 2.6)


def vic2():
    """Player 2's round: a rising bell-and-strings arpeggio landing on a warm A chord."""
    mix = Mix(2.6)
    p = Player(mix, 132, seed=43)
    run = notes("A4:.5 C#5:.5 E5:.5 A5:.5 C#6:.5 E6:2")
    p.play(run, lambda f, d, r: ins.bell(f, 0.7, r, length=1.6), gain=0.35, pan=0.25, send=0.35,
           loose=0.0)
    p.play(run, lambda f, d, r: ins.strings(f, d * 0.9, 0.7, r, attack=0.02, release=0.2),
           gain=0.35, pan=-0.1, send=0.3, loose=0.0)
    p.play([(2.5, 2.5, m) for m in (45, 57, 61, 64, 69)],
           lambda f, d, r: ins.brass(f, d * 0.8, 0.75, r, attack=0.05, bright=0.8),
           gain=0.22, send=0.3, loose=0.0)
    p.play([(2.5, 1, 33)], lambda f, d, r: ins.timpani(f, 0.8, r), gain=0.3, send=0.3)
    p.play(notes("r:2.5 A3:1"), lambda f, d, r: ins.harp(f, 0.8, r), gain=0.3, send=0.3)
    return _jingle(mix, 2.6)


def match_fanfare(key, seed, style):
    """A bigger fanfare: call, answer and a full cadence over a timpani roll."""
    mix = Mix(2.95)
    p = Player(mix, 150, seed=seed)
    k = key - 60
    if style == 1:
        call = "G4:.333 G4:.333 G4:.334 C5:1 E5:.5 G5:.5 E5:.333 G5:.333 E5:.334 C6:3"
        cadence = [(1, 1, "F"), (2, 1, "C"), (3, 1, "G"), (4, 3, "C")]
    else:
        call = "C5:.5 E5:.5 G5:.5 E5:.5 A5:1 G5:.5 F5:.5 G5:.5 B5:.5 C6:3"
        cadence = [(0, 2, "C"), (2, 1.5, "F"), (3.5, 1.5, "G"), (5, 3, "C")]
    land = cadence[-1][0]
    p.play(notes(call), lambda f, d, r: ins.brass(f, d * 0.9, 0.9, r, attack=0.02, bright=1.2),
           gain=0.5, send=0.25, loose=0.0, shift=k)
    for beat, l, name in cadence:
        _, pcs, bass = chord(name)
        tones = voicing([(x + k) % 12 for x in pcs], 53 + min(k, 0), 67 + min(k, 0))
        p.play([(beat, l, m) for m in tones],
               lambda f, d, r: ins.brass(f, d * 0.9, 0.7, r, attack=0.03), gain=0.16, pan=-0.2,
               send=0.3, loose=0.0)
        p.play([(beat, l, lowest((bass + k) % 12, 36))],
               lambda f, d, r: ins.strings(f, d, 0.8, r, attack=0.03), gain=0.35, send=0.2, loose=0.0)
        p.play([(beat, l, m + 12) for m in tones],
               lambda f, d, r: ins.strings(f, d, 0.6, r, attack=0.04), gain=0.14, pan=0.3, send=0.3,
               loose=0.0)
    roll = [(i * 0.125, 0.125, lowest((7 + k) % 12, 38)) for i in range(int(land * 8))]
    p.play(roll, lambda f, d, r: ins.timpani(f, 0.35, r, length=0.8), gain=0.35, send=0.3, vary=0.2)
    p.play([(land, 1, lowest(k % 12, 36))], lambda f, d, r: ins.timpani(f, 1.0, r), gain=0.4, send=0.3)
    p.hit([land], lambda r: ins.crash(0.7, r, length=2.0), gain=0.2, pan=0.2, send=0.25)
    p.hit([0], lambda r: ins.crash(0.4, r, length=1.2), gain=0.1, pan=-0.3, send=0.25)
    return _jingle(mix, 2.95)


def match1():
    return match_fanfare(midi("A3"), seed=47, style=2)


def match2():
    return match_fanfare(midi("D4"), seed=53, style=1)
