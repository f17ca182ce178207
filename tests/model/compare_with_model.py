#!/usr/bin/env python3
"""Runs zel5-convert and the independent Python model on the same inputs and
demands byte-identical outputs.

Usage: compare_with_model.py ZEL5_CONVERT [--jobs N]
Exit status 0 when every case matches, 1 otherwise.
"""

import argparse
import concurrent.futures
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

MODEL = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'convert_model.py')

# Samples forced beyond full scale (and onto it) so that the clip is exercised
# on the direct path and, after filtering, on the resampled path.
SPIKES = (3.0, -1.5, 1.0, -1.0, 1.25, -2.0)


def sine_signal(frames, rate, channels):
    left = [0.95 * math.sin(2 * math.pi * 997 * i / rate) for i in range(frames)]
    right = [0.8 * math.sin(2 * math.pi * 3001 * i / rate + 0.7) for i in range(frames)]
    return _with_spikes(left, right, channels, frames)


def noise_signal(frames, rate, channels, seed):
    rng = random.Random(seed)
    left = [rng.random() * 2.0 - 1.0 for _ in range(frames)]
    right = [rng.random() * 2.0 - 1.0 for _ in range(frames)]
    return _with_spikes(left, right, channels, frames)


def _with_spikes(left, right, channels, frames):
    step = max(frames // (len(SPIKES) + 1), 1)
    for k, v in enumerate(SPIKES):
        i = (k + 1) * step
        if i < frames:
            left[i] = v
            right[(i + step // 2) % frames] = -v
    if channels == 1:
        return left
    out = [0.0] * (2 * frames)
    out[0::2] = left
    out[1::2] = right
    return out


# (in rate, out rate, in channels, out channels, block or None, stage,
#  signal, seconds)
CASES = [
    (44100, 48000, 2, 2, None, 'pcm', 'sine', 0.05),
    (44100, 48000, 1, 2, 7, 'pcm', 'noise', 0.05),
    (44100, 48000, 2, 1, 333, 'resampled', 'noise', 0.05),
    (44100, 48000, 1, 1, None, 'resampled', 'sine', 0.05),
    (48000, 44100, 2, 1, None, 'pcm', 'noise', 0.05),
    (48000, 44100, 1, 1, 333, 'pcm', 'sine', 0.05),
    (48000, 44100, 2, 2, 7, 'resampled', 'sine', 0.05),
    (11025, 48000, 1, 1, None, 'pcm', 'noise', 0.05),
    (11025, 48000, 2, 1, 7, 'pcm', 'sine', 0.05),
    (11025, 48000, 1, 2, 1, 'resampled', 'noise', 0.05),
    (8000, 44100, 1, 2, None, 'pcm', 'sine', 0.1),
    (8000, 44100, 2, 2, 1, 'pcm', 'noise', 0.1),
    (8000, 44100, 2, 1, 333, 'resampled', 'sine', 0.1),
    (44100, 22050, 2, 2, None, 'pcm', 'noise', 0.1),
    (44100, 22050, 1, 1, 1, 'pcm', 'sine', 0.1),
    (44100, 22050, 1, 2, 333, 'pcm', 'noise', 0.1),
    (44100, 22050, 2, 1, 7, 'resampled', 'noise', 0.1),
    (22050, 44100, 1, 1, None, 'pcm', 'sine', 0.1),
    (22050, 44100, 2, 1, 1, 'pcm', 'noise', 0.1),
    (22050, 44100, 2, 2, 333, 'resampled', 'sine', 0.1),
    (44100, 44100, 2, 2, None, 'pcm', 'noise', 0.1),
    (44100, 44100, 1, 2, 7, 'pcm', 'sine', 0.1),
    (44100, 44100, 2, 1, 1, 'pcm', 'noise', 0.1),
    (44100, 44100, 2, 2, 333, 'resampled', 'sine', 0.1),
    (44100, 44100, 1, 1, None, 'resampled', 'noise', 0.1),
    # Stuffed blocks no longer than the carried phase under down-sampling by
    # 6: blocks of one and two frames fall below it, three frames meet it.
    (48000, 8000, 1, 1, 1, 'pcm', 'noise', 0.05),
    (48000, 8000, 2, 2, 3, 'resampled', 'sine', 0.05),
    (48000, 8000, 2, 1, 2, 'pcm', 'sine', 0.05),
    # Blocks of the full second that the output capacity is sized for.
    (8000, 8000, 2, 2, 8000, 'pcm', 'noise', 1.5),
    (8000, 44100, 1, 1, 8000, 'pcm', 'sine', 1.5),
]


def case_name(case):
    in_rate, out_rate, in_ch, out_ch, block, stage, signal, _ = case
    blk = 'default' if block is None else str(block)
    return '%d->%d %d->%dch block=%s stage=%s %s' % (
        in_rate, out_rate, in_ch, out_ch, blk, stage, signal)


def first_difference(expected, actual, stage, channels):
    fmt, size = ('d', 8) if stage == 'resampled' else ('h', 2)
    n_exp, n_act = len(expected) // size, len(actual) // size
    exp = struct.unpack('<%d%s' % (n_exp, fmt), expected[:n_exp * size])
    act = struct.unpack('<%d%s' % (n_act, fmt), actual[:n_act * size])
    for i in range(min(n_exp, n_act)):
        if struct.pack('<' + fmt, exp[i]) != struct.pack('<' + fmt, act[i]):
            return 'first difference at sample %d (frame %d, channel %d): model %r, tool %r' % (
                i, i // channels, i % channels, exp[i], act[i])
    return 'lengths differ: model %d samples, tool %d samples' % (n_exp, n_act)


def run_case(index, case, tool, workdir):
    in_rate, out_rate, in_ch, out_ch, block, stage, signal, seconds = case
    frames = int(round(in_rate * seconds))
    if signal == 'sine':
        samples = sine_signal(frames, in_rate, in_ch)
    else:
        samples = noise_signal(frames, in_rate, in_ch, seed=1000 + index)
    src = os.path.join(workdir, 'case%02d.f64' % index)
    with open(src, 'wb') as f:
        f.write(struct.pack('<%dd' % len(samples), *samples))
    args = ['--in-rate', str(in_rate), '--in-channels', str(in_ch),
            '--out-rate', str(out_rate), '--out-channels', str(out_ch),
            '--stage', stage]
    if block is not None:
        args += ['--block', str(block)]
    outputs = {}
    for who, cmd in (('tool', [tool]), ('model', [sys.executable, MODEL])):
        dst = os.path.join(workdir, 'case%02d.%s.out' % (index, who))
        proc = subprocess.run(cmd + args + [src, dst], capture_output=True, text=True)
        if proc.returncode != 0:
            return False, '%s exited with %d: %s' % (who, proc.returncode, proc.stderr.strip())
        with open(dst, 'rb') as f:
            outputs[who] = f.read()
    if outputs['tool'] == outputs['model']:
        size = 8 if stage == 'resampled' else 2
        return True, '%d samples identical' % (len(outputs['model']) // size)
    channels = in_ch if stage == 'resampled' else out_ch
    return False, first_difference(outputs['model'], outputs['tool'], stage, channels)


def main():
    p = argparse.ArgumentParser(description='Compare zel5-convert with the Python model.')
    p.add_argument('tool', help='path of the zel5-convert executable')
    p.add_argument('--jobs', type=int, default=os.cpu_count() or 1)
    a = p.parse_args()
    if not os.access(a.tool, os.X_OK):
        print('model: %s is not an executable' % a.tool)
        return 1
    passed = failed = 0
    with tempfile.TemporaryDirectory(prefix='zel5-model-') as workdir:
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(a.jobs, 1)) as pool:
            futures = [pool.submit(run_case, i, c, a.tool, workdir) for i, c in enumerate(CASES)]
            for case, fut in zip(CASES, futures):
                ok, detail = fut.result()
                print('%s %s: %s' % ('PASS' if ok else 'FAIL', case_name(case), detail), flush=True)
                if ok:
                    passed += 1
                else:
                    failed += 1
    print('model: %d passed, %d failed' % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == '__main__':
    sys.exit(main())
