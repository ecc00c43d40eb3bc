"""The short effects: menu click, goal horn and the eight spells."""
import numpy as np

import instruments as ins
from synth import (SR, TAU, Mix, bp, chain, cycles, hp, hz, lp, make_ir, master_effect, n_of,
                   noise, spec_filter, sweep_filter, times)


def _finish(mix, length, ir_seed=2, rt60=1.0, wet=0.7, loud=-9.0):
    out = mix.render(make_ir(rt60=rt60, seed=ir_seed), wet_gain=wet)
    return master_effect(out, length, loud)


def wood_select():
    """A dry wooden knock: a few fast-dying body modes and a tap of noise."""
    rng = np.random.RandomState(101)
    n = n_of(0.16)
    t = times(n)
    out = np.zeros(n)
    for f, a, d in [(820, 1.0, 0.035), (1370, 0.6, 0.022), (2280, 0.35, 0.012), (3650, 0.2, 0.006),
                    (520, 0.3, 0.03)]:
        out += a * np.exp(-t / d) * np.sin(TAU * f * t * (1 + 0.02 * np.exp(-t / 0.004)))
    tap = spec_filter(noise(n, rng), chain(bp(2500, 0.8), lp(7000))) * np.exp(-t / 0.0025)
    out += 0.8 * tap
    out *= np.clip(t / 0.0004, 0, 1)
    mix = Mix(0.4)
    mix.add(out, 0.0, send=0.08)
    return _finish(mix, 0.25, rt60=0.35, wet=0.5, loud=-12.0)


def goal_reached():
    """A hunting-horn call: a rising fourth, then a held fifth."""
    mix = Mix(2.0)
    rng = np.random.RandomState(103)
    for at, d, m in [(0.0, 0.16, "G4"), (0.18, 0.16, "C5"), (0.36, 0.9, "G5")]:
        mix.add(ins.brass(hz(m), d, 0.9, rng, attack=0.03, bright=0.8, vib=9), at, gain=0.8, send=0.3)
        mix.add(ins.brass(hz(m) / 2, d, 0.7, rng, attack=0.04, bright=0.6), at, gain=0.35, send=0.3)
    return _finish(mix, 2.0, rt60=1.3)


def boost_brass():
    """A rising brass stab: a chord that swoops up a fourth into its landing."""
    mix = Mix(1.2)
    rng = np.random.RandomState(107)
    for m in ("C4", "E4", "G4", "C5"):
        f = hz(m)
        n = n_of(0.7)
        t = times(n)
        rise = 2 ** ((-5 * np.exp(-t / 0.06)) / 12.0)    # a fourth below up to the note
        env = np.clip(t / 0.02, 0, 1) * np.where(t < 0.35, 1.0, np.exp(-(t - 0.35) / 0.08))
        cyc = cycles(f * rise, n)
        width = 1.5 + 4.5 * np.clip(t / 0.15, 0, 1)
        sig = np.zeros(n)
        for k in range(1, min(20, int(10000 / f)) + 1):
            sig += k ** -0.6 * np.exp(-(k - 1) / width) * np.sin(TAU * k * cyc + rng.uniform(0, TAU))
        mix.add(sig * env, 0.0, gain=0.3, pan=rng.uniform(-0.4, 0.4), send=0.25)
    mix.add(ins.timpani(hz("C2"), 0.8, rng, length=0.8), 0.0, gain=0.5, send=0.2)
    return _finish(mix, 1.3, rt60=1.0)


def frost_chime():
    """Icy chime: glassy bells falling through a high arpeggio over a frosty shimmer."""
    mix = Mix(2.0)
    rng = np.random.RandomState(109)
    for i, m in enumerate(("E7", "B6", "G#6", "E6", "B5")):
        mix.add(ins.bell(hz(m), 0.8 - 0.08 * i, rng, length=1.4, glass=1.0), 0.07 * i, gain=0.5,
                pan=0.6 - 0.3 * i, send=0.6)
    n = n_of(1.4)
    t = times(n)
    shimmer = spec_filter(noise(n, rng), chain(hp(6000, 2), lp(14000))) * np.exp(-t / 0.35)
    shimmer *= np.clip(t / 0.05, 0, 1) * (0.6 + 0.4 * np.sin(TAU * 13 * t))
    mix.add(shimmer, 0.0, gain=0.05, send=0.5)
    return _finish(mix, 2.3, rt60=2.2, wet=0.9, ir_seed=4)


def poison_flute():
    """An eerie flute phrase: a sliding minor second and a falling tritone, breathy and wide."""
    mix = Mix(2.2)
    rng = np.random.RandomState(113)
    phrase = [(0.0, 0.35, "E5", None), (0.32, 0.35, "F5", None), (0.64, 0.8, "B4",
              lambda t: 2 ** (-0.6 * np.clip((t - 0.4) / 0.4, 0, 1) / 12.0))]
    for at, d, m, bend in phrase:
        mix.add(ins.flute(hz(m), d, 0.75, rng, attack=0.05, vib=25, breath=0.25, bend=bend), at,
                gain=0.7, send=0.5)
        # A quieter voice a quarter tone off makes it queasy.
        mix.add(ins.flute(hz(m) * 2 ** (0.5 / 12.0), d, 0.3, rng, attack=0.08, vib=30, breath=0.2,
                          bend=bend), at + 0.03, gain=0.5, pan=0.5, send=0.6)
    return _finish(mix, 2.4, rt60=1.8, wet=0.9, ir_seed=6)


def quake_drums():
    """Deep drums tumbling over a low earth rumble and a rattle of falling stones."""
    mix = Mix(2.4)
    rng = np.random.RandomState(127)
    hits = [(0.0, 110, 1.0), (0.16, 98, 0.7), (0.3, 130, 0.6), (0.42, 87, 0.9), (0.58, 117, 0.6),
            (0.7, 82, 1.0), (0.9, 92, 0.7), (1.05, 73, 1.0)]
    for at, f, v in hits:
        drum = ins.tom(f, v, rng, length=1.0, decay=0.3, skin=1.5)
        drum += ins.tom(f / 2, v, rng, length=1.0, decay=0.4, skin=0.0)   # the floor shakes too
        mix.add(np.tanh(1.5 * drum), at, gain=0.45, pan=rng.uniform(-0.35, 0.35), send=0.25)
    n = n_of(2.2)
    t = times(n)
    rumble = spec_filter(noise(n, rng), chain(lp(160, 3), hp(30, 2)))
    rumble = np.tanh(3.0 * rumble / np.max(np.abs(rumble)))   # grit makes it audible on small speakers
    rumble *= np.clip(t / 0.15, 0, 1) * np.exp(-t / 0.7) * (1 + 0.4 * np.sin(TAU * 7 * t))
    mix.add(rumble, 0.0, gain=0.35, send=0.15)
    stones = np.zeros(n)
    for _ in range(60):
        at = n_of(rng.uniform(0.05, 1.5))
        m = n_of(rng.uniform(0.01, 0.04))
        if at + m < n:
            stones[at:at + m] += rng.uniform(0.2, 1.0) * np.exp(-times(m) / (m / SR / 4)) * noise(m, rng)
    stones = spec_filter(stones, chain(bp(900, 0.7), lp(3500, 2)))
    mix.add(stones * np.exp(-t / 0.8) / np.max(np.abs(stones)), 0.0, gain=0.25, pan=0.2, send=0.3)
    return _finish(mix, 2.4, rt60=1.2, wet=0.6)


def explosion():
    """A blast: a thump, a roar of noise whose brightness falls away, and crackle."""
    mix = Mix(2.2)
    rng = np.random.RandomState(131)
    n = n_of(2.0)
    t = times(n)
    roar = sweep_filter(noise(n, rng), lambda s, f: lp(500 + 6000 * np.exp(-s / 0.25), 2)(f))
    roar = spec_filter(np.tanh(2.0 * roar / np.std(roar)), lp(7000, 2))   # overdriven air
    roar *= np.clip(t / 0.004, 0, 1) * (0.55 * np.exp(-t / 0.25) + 0.45 * np.exp(-t / 0.6))
    roar = ins.taper(roar, 0.4)
    mix.add(roar / np.max(np.abs(roar)), 0.0, gain=0.8, send=0.25)
    mix.add(ins.kick(1.0, rng, low=50, punch=90, length=0.9), 0.0, gain=0.7, send=0.1)
    crackle = np.zeros(n)
    for _ in range(40):
        at = n_of(0.05 + rng.exponential(0.25))
        if at < n - 400:
            crackle[at:at + 400] += rng.uniform(0.2, 1.0) * np.exp(-np.arange(400) / 40.0) * noise(400, rng)
    mix.add(spec_filter(crackle, chain(hp(1200), lp(7000))), 0.0, gain=0.15, pan=0.2, send=0.3)
    return _finish(mix, 2.4, rt60=1.6, wet=0.6)


def exe_bass():
    """A deep bass hit: a dropping, gritty low tone with a heavy thwack and a dark gong."""
    mix = Mix(1.8)
    rng = np.random.RandomState(137)
    n = n_of(1.6)
    t = times(n)
    f = 52 + 90 * np.exp(-t / 0.05)
    ph = TAU * np.cumsum(f) / SR
    body = np.sin(ph) + 0.35 * np.sin(2 * ph) + 0.2 * np.sin(3 * ph)
    body = np.tanh(2.8 * body) * np.exp(-t / 0.45) * np.clip(t / 0.002, 0, 1)
    mix.add(body, 0.0, gain=0.8, send=0.1)
    hitn = n_of(0.12)
    thwack = spec_filter(noise(hitn, rng), chain(bp(1100, 0.8), lp(4000))) * np.exp(-times(hitn) / 0.02)
    mix.add(thwack / np.max(np.abs(thwack)), 0.0, gain=0.45, send=0.25)
    mix.add(ins.bell(hz("D3"), 0.6, rng, length=1.6), 0.0, gain=0.35, send=0.35)
    return _finish(mix, 1.8, rt60=1.2, wet=0.5)


def stun_strings():
    """A string stab on a diminished chord, cut short with a jolt of tremolo."""
    mix = Mix(1.0)
    rng = np.random.RandomState(139)
    n = n_of(0.7)
    t = times(n)
    trem = 0.7 + 0.3 * np.sign(np.sin(TAU * 16 * t))
    trem = spec_filter(trem, lp(120))
    for m in ("B3", "D4", "F4", "G#4", "B4"):
        s = ins.strings(hz(m), 0.32, 0.9, rng, attack=0.008, release=0.07, voices=4, detune=14)
        s = s[:n] * trem[:len(s)]
        mix.add(s, 0.0, gain=0.35, pan=rng.uniform(-0.5, 0.5), send=0.3)
    return _finish(mix, 1.0, rt60=0.9)


def wind():
    """A gust: noise through a resonant band that swells up and sinks back."""
    rng = np.random.RandomState(149)
    n = n_of(2.0)
    t = times(n)

    def gust(s):
        return np.exp(-((s - 0.75) / 0.45) ** 2)

    def resp(s, f):
        g = gust(s)
        centre = 350 + 1500 * g
        return chain(bp(centre, 2.5 + 2 * g), lp(4000))(f)

    left = sweep_filter(noise(n, rng), resp)
    right = sweep_filter(noise(n, rng), lambda s, f: resp(s + 0.05, f))
    env = 0.15 + gust(t) + 0.3 * np.exp(-((t - 1.35) / 0.2) ** 2)
    env *= np.clip(t / 0.2, 0, 1) * np.clip((2.0 - t) / 0.4, 0, 1)
    whistle = np.sin(TAU * np.cumsum(600 + 700 * gust(t)) / SR) * gust(t) ** 2
    out = np.vstack([left * env, right * env]) / np.max(np.abs(left * env))
    out += 0.04 * whistle
    mix = Mix(2.0)
    mix.add(out, 0.0, send=0.2)
    return _finish(mix, 2.3, rt60=1.0, wet=0.4)
