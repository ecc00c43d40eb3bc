"""Small synthesiser for the game's sounds: oscillators, envelopes, noise, spectral filters,
a convolution reverb, a mixer with seamless loops, and a peak limiter.

Everything is plain numpy and deterministic: every random source is a RandomState with a
fixed seed, so regenerating gives the same bytes.
"""
import wave

import numpy as np

SR = 44100
TAU = 2.0 * np.pi


# ---------------------------------------------------------------- pitch, time, notes

PITCH_CLASS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def midi(name):
    """'C4' -> 60, 'F#5' -> 78, 'Bb3' -> 58."""
    semi = PITCH_CLASS[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        semi += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + semi


def hz(m):
    if isinstance(m, str):
        m = midi(m)
    return 440.0 * 2.0 ** ((m - 69) / 12.0)


def notes(text, beat=0.0):
    """'A4:1.5 D5:.5 r:1' -> [(start beat, length in beats, midi)], rests skipped."""
    out = []
    for tok in text.split():
        name, length = tok.split(":")
        length = float(length)
        if name != "r":
            out.append((beat, length, midi(name)))
        beat += length
    return out


def n_of(seconds):
    return int(round(seconds * SR))


def times(n):
    return np.arange(n) / SR


# ---------------------------------------------------------------- envelopes

def adsr(n, attack, decay, sustain, release, hold):
    """Attack (raised cosine), exponential decay to sustain, release after `hold` seconds."""
    t = times(n)
    a = max(attack, 1e-4)
    e = np.where(t < a, 0.5 - 0.5 * np.cos(np.pi * np.minimum(t / a, 1.0)),
                 sustain + (1.0 - sustain) * np.exp(-(t - a) / max(decay, 1e-4)))
    if hold < t[-1]:
        h = min(max(hold, 0.0), t[-1])
        at_hold = np.interp(h, t, e)
        rel = t >= h
        e[rel] = at_hold * np.exp(-(t[rel] - h) / max(release, 1e-4))
    return e


def fade(x, fin=0.002, fout=0.01):
    """Short fades at both ends so nothing starts or stops with a click."""
    x = np.array(x, dtype=float)
    n = x.shape[-1]
    a = min(n_of(fin), n // 2)
    b = min(n_of(fout), n // 2)
    if a > 0:
        x[..., :a] *= 0.5 - 0.5 * np.cos(np.linspace(0, np.pi, a))
    if b > 0:
        x[..., n - b:] *= 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, b))
    return x


def vibrato(n, rate, cents, delay=0.0, rng=None, ramp=0.3):
    """Frequency multiplier with a slow sine vibrato that fades in after `delay`."""
    t = times(n)
    phase = rng.uniform(0, TAU) if rng is not None else 0.0
    depth = np.clip((t - delay) / ramp, 0.0, 1.0) * cents
    return 2.0 ** (depth * np.sin(TAU * rate * t + phase) / 1200.0)


# ---------------------------------------------------------------- oscillators

def cycles(freq, n):
    """Running phase in cycles for a constant or per-sample frequency."""
    if np.ndim(freq) == 0:
        return freq * times(n)
    return np.cumsum(freq) / SR


def table(amps, size=4096):
    """One period of a waveform with the given harmonic amplitudes (sine phases)."""
    spectrum = np.zeros(size // 2 + 1, dtype=complex)
    for k, a in enumerate(amps, start=1):
        if k < size // 2:
            spectrum[k] = -0.5j * a * size
    return np.fft.irfft(spectrum, size)


def wt(tab, cyc):
    """Wavetable oscillator with linear interpolation; `cyc` is the phase in cycles."""
    size = len(tab)
    pos = np.mod(cyc, 1.0) * size
    i0 = pos.astype(np.int64)
    frac = pos - i0
    i0 %= size
    return tab[i0] * (1.0 - frac) + tab[(i0 + 1) % size] * frac


def band_limit(f, top=None):
    """Number of harmonics of f that stay below the top frequency (and Nyquist)."""
    top = min(top or 0.45 * SR, 0.45 * SR)
    return max(1, int(top // max(f, 1.0)))


def saw_amps(f, count=None, roll=None, power=1.0):
    """Sawtooth-like harmonic amplitudes, optionally rolled off above `roll` Hz."""
    k = np.arange(1, (count or band_limit(f, 12000)) + 1)
    a = 1.0 / k ** power
    if roll:
        a = a / (1.0 + (k * f / roll) ** 2)
    return a


# ---------------------------------------------------------------- noise and filters

def noise(n, rng):
    return rng.standard_normal(n)


def lp(fc, order=2):
    return lambda f: 1.0 / np.sqrt(1.0 + (f / fc) ** (2 * order))


def hp(fc, order=2):
    return lambda f: 1.0 / np.sqrt(1.0 + (fc / np.maximum(f, 1e-3)) ** (2 * order))


def bp(fc, q):
    return lambda f: 1.0 / np.sqrt(1.0 + q * q * (np.maximum(f, 1e-3) / fc - fc / np.maximum(f, 1e-3)) ** 2)


def peak(fc, q, gain_db):
    g = 10 ** (gain_db / 20.0) - 1.0
    b = bp(fc, q)
    return lambda f: 1.0 + g * b(f)


def chain(*fs):
    def h(f):
        out = np.ones_like(f)
        for g in fs:
            out = out * g(f)
        return out
    return h


def spec_filter(x, resp, circular=False):
    """Zero-phase filter by a magnitude response `resp(freq_hz)` applied in the spectrum.
    Works on the last axis; `circular` keeps a looped signal looped."""
    n = x.shape[-1]
    m = n if circular else int(2 ** np.ceil(np.log2(n + 8192)))
    spectrum = np.fft.rfft(x, m)
    spectrum *= resp(np.fft.rfftfreq(m, 1.0 / SR))
    return np.fft.irfft(spectrum, m)[..., :n]


def sweep_filter(x, resp_at, frame=2048, hop=512):
    """Time-varying filter: `resp_at(t_seconds, freq_hz)` is applied frame by frame
    (windowed overlap-add), for gusts and sweeps."""
    n = len(x)
    half = frame // 2
    win = np.hanning(frame + 1)[:frame]
    pad = np.concatenate([np.zeros(frame), x, np.zeros(frame)])
    out = np.zeros(len(pad) + 3 * frame)
    freqs = np.fft.rfftfreq(2 * frame, 1.0 / SR)
    for s in range(0, len(pad) - frame + 1, hop):
        t = (s + half - frame) / SR
        seg = np.fft.irfft(np.fft.rfft(pad[s:s + frame] * win, 2 * frame) * resp_at(t, freqs), 2 * frame)
        # A zero-phase response rings both ways: move its negative-time half in front.
        seg = np.roll(seg, half)
        out[s + frame - half:s + 3 * frame - half] += seg
    return out[2 * frame:2 * frame + n] * (2.0 * hop / frame)


# ---------------------------------------------------------------- reverb

def make_ir(rt60=1.8, seconds=None, seed=1, predelay=0.018, damping=1.0, early=0.5):
    """Stereo impulse response of a warm hall: decaying noise whose highs die sooner, a few
    early reflections, normalised to unit energy per channel."""
    rng = np.random.RandomState(seed)
    seconds = seconds or min(rt60 * 1.2, 4.0)
    n = n_of(seconds)
    t = times(n)
    bands = [(0, 300, 1.15), (300, 1500, 1.0), (1500, 5000, 0.65 / damping),
             (5000, SR / 2, 0.35 / damping)]
    chans = []
    for c in range(2):
        nz = noise(n, rng)
        spectrum = np.fft.rfft(nz)
        f = np.fft.rfftfreq(n, 1.0 / SR)
        ir = np.zeros(n)
        for lo, hi, k in bands:
            band = np.fft.irfft(spectrum * ((f >= lo) & (f < hi)), n)
            ir += band * 10 ** (-3.0 * t / (rt60 * k))
        ir *= np.clip(t / 0.06, 0.0, 1.0)          # diffuse tail builds up
        for _ in range(8):                          # early reflections
            d = n_of(rng.uniform(0.008, 0.07))
            ir[d] += early * rng.uniform(0.3, 1.0) * rng.choice([-1.0, 1.0]) * np.sqrt(np.sum(ir ** 2) / SR * 40)
        pd = n_of(predelay)
        ir = np.concatenate([np.zeros(pd), ir])[:n]
        chans.append(ir / np.sqrt(np.sum(ir ** 2)))
    return np.array(chans)


def convolve(x, ir, circular=False):
    """Stereo convolution of a mono or stereo signal with a stereo impulse response."""
    x = np.atleast_2d(x)
    if x.shape[0] == 1:
        x = np.vstack([x, x])
    n = x.shape[1]
    if circular:
        m = n
        irp = ir[:, :n] if ir.shape[1] > n else ir
    else:
        m = int(2 ** np.ceil(np.log2(n + ir.shape[1])))
        irp = ir
    y = np.fft.irfft(np.fft.rfft(x, m) * np.fft.rfft(irp, m), m)
    return y if circular else y[:, :n + ir.shape[1]]


# ---------------------------------------------------------------- mixing

def pan_gains(p):
    """Constant-power pan, p from -1 (left) to 1 (right)."""
    th = (p + 1.0) * np.pi / 4.0
    return np.cos(th) * np.sqrt(2.0), np.sin(th) * np.sqrt(2.0)


class Mix:
    """A stereo dry bus and a reverb send bus. With `loop`, sound running past the end wraps
    around to the start and the reverb is circular, so the last sample leads straight into
    the first."""

    def __init__(self, seconds, loop=False, tail=6.0):
        self.n = n_of(seconds)
        self.loop = loop
        self.dry = np.zeros((2, self.n + n_of(tail)))
        self.wet = np.zeros_like(self.dry)

    def add(self, sig, at, gain=1.0, pan=0.0, send=0.2):
        # A short fade at the end so a truncated ring never clicks.
        sig = fade(np.asarray(sig, dtype=float), 0.0, 0.004)
        if sig.ndim == 1:
            gl, gr = pan_gains(pan)
            sig = np.vstack([sig * gl, sig * gr])
        s = n_of(at)
        e = min(s + sig.shape[1], self.dry.shape[1])
        self.dry[:, s:e] += gain * sig[:, :e - s]
        if send:
            self.wet[:, s:e] += gain * send * sig[:, :e - s]

    def render(self, ir, wet_gain=1.0):
        if self.loop:
            dry = self._fold(self.dry)
            wet = self._fold(self.wet)
            return dry + wet_gain * convolve(wet, ir, circular=True)
        rev = convolve(self.wet, ir)
        out = np.zeros((2, rev.shape[1]))
        out[:, :self.dry.shape[1]] += self.dry
        out += wet_gain * rev
        return out

    def _fold(self, buf):
        n = self.n
        out = buf[:, :n].copy()
        tail = buf[:, n:]
        k = 0
        while k < tail.shape[1]:
            m = min(n, tail.shape[1] - k)
            out[:, :m] += tail[:, k:k + m]
            k += m
        return out


# ---------------------------------------------------------------- mastering

def rms_db(x):
    return 20 * np.log10(np.sqrt(np.mean(np.square(x))) + 1e-12)


def peak_db(x):
    return 20 * np.log10(np.max(np.abs(x)) + 1e-12)


def _running_min(a, width, circular):
    """Minimum over a centred window of `width` samples (by doubling)."""
    half = width // 2
    if circular:
        p = np.concatenate([a[-half:], a, a[:half]])
    else:
        p = np.concatenate([np.full(half, a[0]), a, np.full(half, a[-1])])
    m = p.copy()
    span = 1
    while span * 2 <= width:
        m = np.minimum(m[:-span], m[span:])
        span *= 2
    if span < width:
        r = width - span
        m = np.minimum(m[:-r], m[r:])
    return m[:len(a)]


def limit(x, ceiling_db=-1.3, look=0.004, circular=False):
    """Transparent-enough peak limiter: a smoothed gain that never lets a sample pass the
    ceiling. Looped material is limited circularly so the loop stays seamless."""
    x = np.atleast_2d(x)
    ceil = 10 ** (ceiling_db / 20.0)
    a = np.max(np.abs(x), axis=0)
    g = np.minimum(1.0, ceil / np.maximum(a, 1e-9))
    if np.all(g >= 1.0):
        return x
    w = n_of(look)
    gm = _running_min(g, 2 * w + 1, circular)
    k = np.ones(w + 1) / (w + 1)
    h = w // 2 + 1
    if circular:
        p = np.concatenate([gm[-h:], gm, gm[:h]])
    else:
        p = np.concatenate([np.full(h, gm[0]), gm, np.full(h, gm[-1])])
    gs = np.convolve(p, k, mode="same")[h:h + len(gm)]
    gs = np.minimum(gs, g)  # the smoothing never lets a sample through the ceiling
    return x * gs


def master_music(x, target_rms=-16.0):
    """Music: set the loudness, limit the rare peaks, keep it looping."""
    x = spec_filter(x, hp(35, 2), circular=True)   # sub-bass nobody hears only eats headroom
    x = x - np.mean(x, axis=1, keepdims=True)
    x = x * 10 ** ((target_rms - rms_db(x)) / 20.0)
    for _ in range(3):
        x = limit(x, -1.4, circular=True)
        x = x * 10 ** ((target_rms - rms_db(x)) / 20.0)
    return limit(x, -1.4, circular=True)


def short_rms_db(x, window=0.05):
    """Loudest RMS over any window (50 ms by default), in dBFS."""
    p = np.mean(np.square(np.atleast_2d(x)), axis=0)
    w = n_of(window)
    c = np.concatenate([[0.0], np.cumsum(p)])
    if len(p) <= w:
        return 10 * np.log10(c[-1] / max(len(p), 1) + 1e-12)
    return 10 * np.log10(np.max(c[w:] - c[:-w]) / w + 1e-12)


def ear_weight(x):
    """Rough loudness weighting: little below 100 Hz counts, the presence region a bit more."""
    return spec_filter(x, chain(hp(120, 2), peak(3000, 0.7, 4)))


def master_effect(x, length, loud=-10.0, ceiling=-1.5, max_squash=6.0):
    """Effects: cut to `length` seconds with a fade, then bring the loudest 100 ms (ear
    weighted) to `loud` dBFS so every effect sits above the music, limiting the peaks to
    `ceiling` but never squashing them by more than `max_squash` dB."""
    x = np.atleast_2d(x)[:, :n_of(length)]
    x = spec_filter(x, hp(35, 2))           # sub-bass nobody hears only eats headroom
    x = x - np.mean(x, axis=1, keepdims=True)
    x = fade(x, 0.0005, length * 0.3)
    gain = loud - short_rms_db(ear_weight(x), 0.1)
    gain = min(gain, ceiling + max_squash - peak_db(x))
    x = x * 10 ** (gain / 20.0)
    x = limit(x, ceiling - 0.1)
    return x - np.mean(x, axis=1, keepdims=True)


# ---------------------------------------------------------------- output

def write_wav(path, x):
    """16-bit PCM WAV, mono or stereo, at SR."""
    x = np.atleast_2d(np.asarray(x, dtype=float))
    pcm = np.round(np.clip(x, -1.0, 1.0) * 32767.0).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(x.shape[0])
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(pcm.T.tobytes())
