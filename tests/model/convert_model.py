#!/usr/bin/env python3
"""Double-precision model of zel5-convert, written from the description of the
format converter, the resampler, the low-pass stage and the IIR kernel.

Python floats are IEEE doubles and a*b + c is evaluated as two rounded
operations, so writing every expression with the documented grouping gives the
same bits as a conforming C++ build without fused multiply-add.

Usage (raw files, same interface as zel5-convert):
  convert_model.py --in-rate R --in-channels C --out-rate R2 --out-channels C2
                   [--block FRAMES] [--stage pcm|resampled] IN.f64 OUT
"""

import argparse
import array
import math
import struct
import sys

PI = 3.141592653589793
SQRT2 = math.sqrt(2.0)
CUTOFF_FACTOR = 0.47619047619047616   # 1 / 2.1
STAGE_LIMIT_FACTOR = 0.4329004329004329  # 1 / 2.31
RATIO_TOLERANCE = 0.003
U32 = 0xFFFFFFFF


def find_ratio(out_rate, in_rate):
    """Up factor L and down factor M for out_rate / in_rate."""
    if out_rate < 20 and in_rate < 20:
        return out_rate, in_rate
    up, down = 1, 1
    if out_rate == in_rate:
        return up, down
    ratio = out_rate / in_rate
    best = sys.float_info.max
    for i in range(1, 50):
        for j in range(1, 50):
            err = abs(ratio - i / j)
            if err < best:
                best, up, down = err, i, j
            if err < RATIO_TOLERANCE:
                return up, down
    return up, down


def normalise_taps(taps, order):
    """The tap array as the IIR initialisation stores it: scaled by 1/a0,
    denominator moved down one place, the last element left unscaled."""
    taps = list(taps)
    f = 1.0 / taps[order + 1]
    taps[0] = taps[0] * f
    for k in range(1, order + 1):
        taps[k] = taps[k] * f
        taps[order + k] = taps[order + k + 1] * f
    return taps


class Iir2:
    """One order-2 filter state: stored taps and a two-value delay line."""

    def __init__(self, taps):
        stored = normalise_taps(taps, 2)
        self.b0, self.b1, self.b2 = stored[0], stored[1], stored[2]
        self.a1, self.a2 = stored[3], stored[4]
        self.d0 = 0.0
        self.d1 = 0.0

    def filter(self, buf, count):
        """Filters buf[0:count] in place: pair steps, then a single step for
        an odd count, each sum grouped as the kernel groups it."""
        b0, b1, b2, a1, a2 = self.b0, self.b1, self.b2, self.a1, self.a2
        d0, d1 = self.d0, self.d1
        pairs_end = count - (count & 1)
        for i in range(0, pairs_end, 2):
            x0 = buf[i]
            x1 = buf[i + 1]
            y0 = b0 * x0 + d0
            y1 = ((b1 * x0 + b0 * x1) - a1 * y0) + d1
            d0 = ((b1 * x1 - a1 * y1) + b2 * x0) - a2 * y0
            d1 = b2 * x1 - a2 * y1
            buf[i] = y0
            buf[i + 1] = y1
        if count & 1:
            x = buf[count - 1]
            y = b0 * x + d0
            buf[count - 1] = y
            d0 = (b1 * x - a1 * y) + d1
            d1 = b2 * x - a2 * y
        self.d0, self.d1 = d0, d1


def butterworth_taps(cutoff, rate):
    """Bilinear-transform design of one second-order low-pass section:
    [b0, b1, b2, a0, a1, a2] with a0 = 1.0."""
    t = math.tan(PI * cutoff / rate)
    k = 1 / t
    d = k * (SQRT2 + k) + 1
    b0 = 1 / d
    b1 = 2 / d
    k2 = k * k
    a1 = 2 * (1 - k2) / d
    a2 = (k2 + (1 - SQRT2 * k)) / d
    return [b0, b1, b0, 1.0, a1, a2]


class LowPassStage:
    def __init__(self, cutoff, rate):
        taps = butterworth_taps(cutoff, rate)
        self.left = Iir2(taps)
        self.right = Iir2(taps)

    def filter(self, count, left, right):
        self.left.filter(left, count)
        if right is not None:
            self.right.filter(right, count)


def stage_cutoffs(in_rate, up, down):
    """Cutoffs of the cascade, in array order."""
    cutoff = min(in_rate * CUTOFF_FACTOR, in_rate * (up / down) * CUTOFF_FACTOR)
    stuffed_rate = (up * in_rate) & U32
    result = []
    for _ in range(up if up <= 3 else 3):
        result.append(int(cutoff))
        if stuffed_rate * STAGE_LIMIT_FACTOR > cutoff:
            cutoff = cutoff * 1.1
    return result


class Resampler:
    def __init__(self, in_rate, out_rate):
        self.up, self.down = find_ratio(out_rate, in_rate)
        stuffed_rate = (self.up * in_rate) & U32
        self.stages = [LowPassStage(c, stuffed_rate)
                       for c in stage_cutoffs(in_rate, self.up, self.down)]
        self.phase = 0

    def _stuff(self, samples):
        up = self.up
        stuffed = [0.0] * (len(samples) * up)
        for i, x in enumerate(samples):
            stuffed[i * up] = up * x
        return stuffed

    def resample(self, left, right):
        """Returns the new (left, right) at the output rate; right stays None
        for one channel."""
        n = len(left) * self.up
        s_left = self._stuff(left)
        s_right = self._stuff(right) if right is not None else None
        for stage in self.stages:
            stage.filter(n, s_left, s_right)
        if n < self.phase:
            # No kept position lies in this block; the next one moves closer.
            self.phase -= n
            return [], ([] if right is not None else None)
        down = self.down
        span = n - self.phase
        out_count = span // down + (1 if span % down else 0)
        end = self.phase + out_count * down
        new_left = s_left[self.phase:end:down]
        new_right = s_right[self.phase:end:down] if s_right is not None else None
        self.phase = end - n
        return new_left, new_right


class FormatConverter:
    """One converter set up the way a stream buffer sets it up: Init with one
    second of 16-bit input, output buffer of the reported size."""

    def __init__(self, in_rate, in_channels, out_rate, out_channels):
        self.in_rate = in_rate
        self.in_channels = in_channels
        self.out_rate = out_rate
        self.out_channels = out_channels
        in_frame_bytes = in_channels * 16 // 8
        out_frame_bytes = out_channels * 16 // 8
        in_bytes = in_rate * in_channels * 2
        self.resampler = Resampler(in_rate, out_rate)
        frames = in_bytes // in_frame_bytes
        if in_rate != out_rate:
            frames = ((frames * self.resampler.up) & U32) // self.resampler.down + 1
            frames &= U32
        self.out_buffer_bytes = (frames * out_frame_bytes) & U32
        self.capacity = self.out_buffer_bytes // out_frame_bytes

    def rate_changed(self, left, right):
        """Block after the rate change (the input itself at equal rates)."""
        if self.in_rate != self.out_rate:
            return self.resampler.resample(list(left), list(right) if right is not None else None)
        return list(left), (list(right) if right is not None else None)

    def convert(self, left, right):
        """One ConvertSamples call; returns the interleaved output samples."""
        left, right = self.rate_changed(left, right)
        count = len(left)
        if self.in_channels == 2 and self.out_channels == 1:
            left = [(r + l) * 0.5 for l, r in zip(left, right)]
        elif self.in_channels == 1 and self.out_channels == 2:
            right = list(left)
        count = min(count, self.capacity)
        out = []
        for i in range(count):
            out.append(to_pcm16(left[i]))
            if self.out_channels == 2:
                out.append(to_pcm16(right[i]))
        return out


def to_pcm16(x):
    if x < -1.0:
        x = -1.0
    elif x > 1.0:
        x = 1.0
    return int(x * 32767)


def read_f64(path, channels):
    data = open(path, 'rb').read()
    frames = len(data) // (8 * channels)
    values = struct.unpack('<%dd' % (frames * channels), data[:frames * channels * 8])
    left = list(values[0::channels])
    right = list(values[1::channels]) if channels == 2 else None
    return left, right


def interleave(left, right):
    if right is None:
        return list(left)
    out = [0.0] * (2 * len(left))
    out[0::2] = left
    out[1::2] = right
    return out


def run(in_rate, in_channels, out_rate, out_channels, block, stage, left, right):
    """Converts the whole signal block by block; returns the output bytes."""
    conv = FormatConverter(in_rate, in_channels, out_rate, out_channels)
    if stage == 'resampled':
        out = array.array('d')
    else:
        out = array.array('h')
    for start in range(0, len(left), block):
        bl = left[start:start + block]
        br = right[start:start + block] if right is not None else None
        if stage == 'resampled':
            rl, rr = conv.rate_changed(bl, br)
            out.extend(interleave(rl, rr))
        else:
            out.extend(conv.convert(bl, br))
    if sys.byteorder != 'little':
        out.byteswap()
    return out.tobytes()


def main(argv=None):
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument('--in-rate', type=int, required=True)
    p.add_argument('--in-channels', type=int, choices=(1, 2), required=True)
    p.add_argument('--out-rate', type=int, required=True)
    p.add_argument('--out-channels', type=int, choices=(1, 2), required=True)
    p.add_argument('--block', type=int)
    p.add_argument('--stage', choices=('pcm', 'resampled'), default='pcm')
    p.add_argument('input')
    p.add_argument('output')
    a = p.parse_args(argv)
    if a.in_rate <= 0 or a.out_rate <= 0:
        p.error('rates must be positive')
    block = a.block if a.block is not None else a.in_rate // 100
    if block <= 0:
        p.error('block must be at least one frame')
    if block > a.in_rate:
        # A stream buffer never converts more than one second per call.
        p.error('--block %d is more than one second of input (%d frames)'
                % (block, a.in_rate))
    left, right = read_f64(a.input, a.in_channels)
    data = run(a.in_rate, a.in_channels, a.out_rate, a.out_channels,
               block, a.stage, left, right)
    with open(a.output, 'wb') as f:
        f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main())
