"""The instruments: each returns one note as a mono numpy array starting at the note's onset
(and ringing past its nominal length where the instrument would)."""
import numpy as np

from synth import (SR, TAU, adsr, band_limit, bp, chain, cycles, hp, lp, n_of, noise, saw_amps,
                   spec_filter, table, times, vibrato, wt)


def taper(x, part=0.4):
    """Bring a decaying hit smoothly to zero over its last `part`, so no tail is cut off."""
    n = len(x)
    m = int(n * part)
    x = x.copy()
    x[n - m:] *= 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, m))
    return x


def harp(f, vel=0.8, rng=None, decay=1.0, bright=1.0, pos=0.2):
    """Plucked string: harmonics that die faster the higher they are, a touch of
    inharmonicity, and a soft finger noise."""
    t0 = decay * 1.4 * (220.0 / f) ** 0.35
    n = n_of(min(4.0 * t0, 4.0))
    out = np.zeros(n)
    kmax = min(16, band_limit(f, 9000))
    for k in range(1, kmax + 1):
        a = abs(np.sin(np.pi * k * pos)) / k ** 1.2 * np.exp(-(k - 1) * 0.25 / bright)
        fk = k * f * np.sqrt(1.0 + 0.00008 * k * k)
        tau = t0 / (1.0 + 0.55 * (k - 1) * (f / 300.0) ** 0.5)
        m = min(n, n_of(7.0 * tau))       # past 7 time constants a partial is inaudible
        t = times(m)
        out[:m] += a * np.exp(-t / tau) * np.sin(TAU * fk * t + (rng.uniform(0, TAU) if rng else 0))
    out[:n_of(0.002)] *= np.linspace(0, 1, n_of(0.002))
    if rng is not None:
        m = n_of(0.012)
        nz = spec_filter(noise(m, rng), bp(min(2.5 * f, 4000), 1.5)) * np.exp(-times(m) / 0.003)
        out[:m] += 0.15 * nz
    return vel * taper(out, 0.3) / 1.6


def lute(f, vel=0.8, rng=None):
    """Shorter, nasal pluck."""
    return harp(f, vel, rng, decay=0.45, bright=1.6, pos=0.13)


def pad(f, dur, vel=0.5, rng=None, attack=0.6, release=1.2, voices=3, detune=7.0, roll=1800):
    """Soft chorus of detuned saws, rounded off."""
    n = n_of(dur + 4 * release)
    tab = table(saw_amps(f, roll=roll, power=1.3))
    out = np.zeros(n)
    for v in range(voices):
        cents = detune * (v - (voices - 1) / 2.0) / max(1, (voices - 1) / 2.0)
        fv = f * 2 ** (cents / 1200.0) * vibrato(n, 4.5 + 0.4 * v, 4.0, rng=rng)
        out += wt(tab, cycles(fv, n) + (rng.uniform() if rng else 0))
    return vel * out / voices * adsr(n, attack, 1.0, 1.0, release, dur)


def _string_body(freqs):
    """Resonances of a wooden string body: the air mode, the wood modes and the bridge hill."""
    return (0.6 + 0.7 * bp(290, 3.0)(freqs) + 0.5 * bp(650, 2.0)(freqs)
            + 0.8 * bp(2700, 1.4)(freqs))


def strings(f, dur, vel=0.7, rng=None, attack=0.12, release=0.35, voices=4, detune=9.0):
    """Section strings: detuned saws with vibrato and a bowed swell."""
    n = n_of(dur + 4 * release)
    amps = saw_amps(f, count=band_limit(f, 11000), roll=3200, power=1.0)
    tab = table(amps * _string_body(f * np.arange(1, len(amps) + 1)))
    out = np.zeros(n)
    for v in range(voices):
        cents = detune * (v - (voices - 1) / 2.0) / max(1, (voices - 1) / 2.0)
        fv = f * 2 ** (cents / 1200.0) * vibrato(n, 5.2 + 0.3 * v, 9.0, delay=0.15, rng=rng)
        out += wt(tab, cycles(fv, n) + (rng.uniform() if rng else 0))
    return vel * out / voices * adsr(n, attack, 0.4, 0.85, release, dur)


def brass(f, dur, vel=0.8, rng=None, attack=0.05, release=0.12, scoop=35.0, vib=10.0,
          bright=1.0):
    """Brass: the spectrum opens up with the breath (bright at the attack, mellower while
    held), a small upward scoop into the pitch and a late vibrato."""
    n = n_of(dur + 4 * release)
    t = times(n)
    env = adsr(n, attack, 0.25, 0.78, release, dur)
    pitch = 2 ** (-scoop * np.exp(-t / 0.03) / 1200.0)
    pitch = pitch * vibrato(n, 5.0, vib, delay=0.25, rng=rng)
    cyc = cycles(f * pitch, n)
    width = (0.6 + (2.8 + 2.5 * vel) * bright * env ** 1.5) * (1.0 + 0.6 * np.exp(-t / 0.08))
    out = np.zeros(n)
    kmax = min(24, band_limit(f, 10000))
    # The bell of the instrument: a formant, lower for the mellow horn than for the trumpet.
    formant = bp(650 + 650 * min(bright, 1.0), 1.0)
    for k in range(1, kmax + 1):
        w = 0.5 + formant(k * f)
        out += w * k ** -0.6 * np.exp(-(k - 1) / width) * np.sin(TAU * k * cyc)
    out *= env
    if rng is not None:
        breath = spec_filter(noise(n, rng), bp(f * 3, 1.2)) * env * 0.02
        out += breath
    return vel * out / 2.2


def flute(f, dur, vel=0.7, rng=None, attack=0.08, release=0.15, vib=14.0, breath=0.12,
          bend=None):
    """Flute: nearly a sine with a few soft overtones, breath noise and a chiff at the start.
    `bend(t)` may return a per-sample pitch ratio for slides."""
    n = n_of(dur + 4 * release)
    t = times(n)
    env = adsr(n, attack, 0.3, 0.85, release, dur)
    ratio = vibrato(n, 5.0, vib, delay=0.12, rng=rng)
    if bend is not None:
        ratio = ratio * bend(t)
    cyc = cycles(f * ratio, n)
    out = (np.sin(TAU * cyc) + 0.22 * np.sin(TAU * 2 * cyc + 0.4) + 0.08 * np.sin(TAU * 3 * cyc + 1.1)
           + 0.03 * np.sin(TAU * 4 * cyc))
    out *= env
    if rng is not None:
        nz = noise(n, rng)
        air = (spec_filter(nz, chain(bp(f, 3.0), bp(f, 3.0), lp(5000, 2))) * 0.8
               + spec_filter(nz, chain(bp(f * 2.0, 2.0), lp(4000, 3))) * 0.3)
        out += breath * air * env * 3
        c = n_of(0.05)
        chiff = spec_filter(noise(c, rng), chain(bp(2 * f, 2.0), lp(6000, 2))) * np.exp(-times(c) / 0.012)
        out[:c] += 0.25 * chiff
    return vel * out


def bell(f, vel=0.7, rng=None, length=2.5, glass=0.0):
    """Struck bell or chime: inharmonic partials, the high ones dying first; `glass` adds
    thinner, higher partials for an icy tone."""
    n = n_of(length)
    t = times(n)
    ratios = [1.0, 2.0, 2.76, 4.07, 5.40, 6.80, 8.93]
    amps = [1.0, 0.55, 0.45, 0.25, 0.25, 0.12, 0.1]
    if glass:
        ratios += [3.5, 11.2, 13.3]
        amps += [0.3 * glass, 0.15 * glass, 0.1 * glass]
    out = np.zeros(n)
    for r, a in zip(ratios, amps):
        fr = f * r
        if fr > 0.45 * SR:
            continue
        tau = length * 0.35 / r ** 0.6
        ph = rng.uniform(0, TAU) if rng else 0.0
        beat = 1.0 + 0.15 * np.sin(TAU * (0.7 + 0.3 * r) * t)
        out += a * beat * np.exp(-t / tau) * np.sin(TAU * fr * t + ph)
    out *= np.clip(t / 0.001, 0, 1)
    return vel * out / 2.0


def bass(f, dur, vel=0.8, rng=None, release=0.08, bright=1.0):
    """Round picked bass whose overtones fade after the attack."""
    n = n_of(dur + 4 * release)
    t = times(n)
    env = adsr(n, 0.004, 0.5, 0.6, release, dur)
    cyc = f * t
    shine = bright * (0.3 + 0.7 * np.exp(-t / 0.12))
    out = (np.sin(TAU * cyc) + 0.5 * shine * np.sin(TAU * 2 * cyc) + 0.3 * shine ** 2 * np.sin(TAU * 3 * cyc)
           + 0.15 * shine ** 3 * np.sin(TAU * 4 * cyc) + 0.08 * shine ** 3 * np.sin(TAU * 5 * cyc))
    return vel * out * env / 1.4


# ---------------------------------------------------------------- drums

def kick(vel=0.9, rng=None, low=48.0, punch=130.0, length=0.45):
    n = n_of(length)
    t = times(n)
    f = low + punch * np.exp(-t / 0.035)
    body = np.sin(TAU * np.cumsum(f) / SR) * np.exp(-t / (length * 0.4))
    c = n_of(0.004)
    if rng is not None:
        body[:c] += 0.4 * noise(c, rng) * np.linspace(1, 0, c)
    return vel * taper(body)


def snare(vel=0.8, rng=None, tone=185.0, length=0.3, snap=1.0):
    n = n_of(length)
    t = times(n)
    body = np.sin(TAU * tone * t * (1 + 0.2 * np.exp(-t / 0.01))) * np.exp(-t / 0.045)
    wires = spec_filter(noise(n, rng), chain(hp(1500, 2), lp(9000))) * np.exp(-t / 0.09)
    return vel * taper(0.7 * body + 0.5 * snap * wires)


def tom(f, vel=0.8, rng=None, length=0.6, decay=0.25, skin=0.3):
    n = n_of(length)
    t = times(n)
    fr = f * (1.0 + 0.6 * np.exp(-t / 0.025))
    body = np.sin(TAU * np.cumsum(fr) / SR) * np.exp(-t / decay)
    body += 0.3 * np.sin(TAU * np.cumsum(fr * 1.6) / SR) * np.exp(-t / (decay * 0.5))
    if rng is not None:
        body += skin * spec_filter(noise(n, rng), chain(lp(f * 8), hp(f))) * np.exp(-t / 0.03)
    body *= np.clip(t / 0.0008, 0, 1)
    return vel * taper(body)


def timpani(f, vel=0.8, rng=None, length=2.0):
    n = n_of(length)
    t = times(n)
    out = np.zeros(n)
    for r, a, d in [(1.0, 1.0, 0.9), (1.5, 0.5, 0.6), (1.98, 0.35, 0.45), (2.44, 0.2, 0.3), (0.9, 0.3, 0.15)]:
        out += a * np.exp(-t / d) * np.sin(TAU * f * r * t * (1 + 0.01 * np.exp(-t / 0.05)))
    if rng is not None:
        out += 0.5 * spec_filter(noise(n, rng), chain(lp(900), hp(50))) * np.exp(-t / 0.04)
    return vel * taper(out * np.clip(t / 0.002, 0, 1)) / 1.5


def hat(vel=0.5, rng=None, open_=False):
    n = n_of(0.5 if open_ else 0.12)
    t = times(n)
    nz = spec_filter(noise(n, rng), chain(hp(7000, 3), lp(15000)))
    return vel * taper(nz * np.exp(-t / (0.12 if open_ else 0.025)))


def shaker(vel=0.4, rng=None):
    n = n_of(0.12)
    t = times(n)
    nz = spec_filter(noise(n, rng), chain(hp(5000, 2), lp(11000)))
    env = np.clip(t / 0.015, 0, 1) * np.exp(-t / 0.03)
    return vel * taper(nz * env)


def crash(vel=0.6, rng=None, length=2.5):
    n = n_of(length)
    t = times(n)
    nz = spec_filter(noise(n, rng), chain(hp(3500, 2), lp(14000), bp(6000, 0.5)))
    return vel * taper(nz * np.exp(-t / (length * 0.25)) * np.clip(t / 0.002, 0, 1), 0.5)
