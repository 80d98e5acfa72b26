#!/usr/bin/env python3
"""Judges a soak's resource samples for growth.

Reads the samples file the soak writes (header
"seconds,gdi,handles,private_kb,rss_kb,working_set_bytes", one line per
sample) and compares a baseline window with an end window that never share a
sample:

  baseline: the samples from BASELINE_AT to BASELINE_AT + WINDOW seconds,
            where BASELINE_AT is 60 s into a run of DURATION >= 180 s and a
            third of a shorter one (start-up allocations settle first);
  end:      the samples of the last WINDOW seconds.

MP3 playback opens a few handles and some memory for each restart of the
piece and frees them again, which is not growth: a figure swings between a
low and a high level. A window longer than one restart sees both levels, so
each window gives its lowest and its highest value, and a figure grew by as
much as both levels rose: min(end high - baseline high, end low - baseline
low). A restart in a window lifts some of its samples, a leak all of them.
Growth is any GDI object or handle more, or private memory more than
MAX_GROWTH percent higher.

Prints the figures it judged; exits 0 without growth, 1 on growth, 2 when the
file cannot be judged (too short for two separate windows, a figure missing).

Usage: soak_judge.py SAMPLES.csv --duration S [--window S] [--max-growth PCT] [--kind NAME]
"""
import argparse
import csv
import sys

FIGURES = ("gdi", "handles", "private_kb")


def read_samples(path):
    with open(path, newline="") as f:
        rows = list(csv.DictReader(f))
    samples = []
    for row in rows:
        try:
            sample = {"seconds": float(row["seconds"])}
            for name in FIGURES:
                sample[name] = int(row[name])
        except (KeyError, TypeError, ValueError):
            raise ValueError(f"a sample lacks a figure: {row}")
        samples.append(sample)
    return samples


def baseline_at(duration):
    return 60.0 if duration >= 180 else float(duration // 3)


def judge(samples, baseline_at, window, max_growth):
    """Returns (verdict lines, exit code)."""
    if not samples:
        return ["no samples"], 2
    last = samples[-1]["seconds"]
    end_from = last - window
    base_to = baseline_at + window
    if base_to >= end_from:
        return [f"the run is too short to judge: the baseline window {baseline_at:g}-{base_to:g} s "
                f"reaches the end window {end_from:g}-{last:g} s"], 2
    base = [s for s in samples if baseline_at <= s["seconds"] <= base_to]
    end = [s for s in samples if s["seconds"] >= end_from]
    if not base:
        return [f"no sample between {baseline_at:g} and {base_to:g} s"], 2
    levels = {}
    for name in FIGURES:
        b = [s[name] for s in base]
        e = [s[name] for s in end]
        levels[name] = (min(b), max(b), min(e), max(e))
    if min(lv[0] for lv in levels.values()) < 1:
        return [f"the baseline holds a zero figure: {levels}"], 2

    def rise(name):
        b_low, b_high, e_low, e_high = levels[name]
        return min(e_high - b_high, e_low - b_low)

    def percent(name):
        b_low, b_high, e_low, e_high = levels[name]
        return min((e_high - b_high) * 100.0 / b_high, (e_low - b_low) * 100.0 / b_low)

    def shown(i):
        return " ".join(f"{n}={levels[n][i]}-{levels[n][i + 1]}" for n in FIGURES)

    growth = percent("private_kb")
    lines = [
        f"baseline {baseline_at:g}-{base_to:g} s ({len(base)} samples, lowest-highest): {shown(0)}",
        f"end {end_from:g}-{last:g} s ({len(end)} samples, lowest-highest): {shown(2)}",
        f"private memory {growth:+.2f}% (at most {max_growth:g}%)",
    ]
    grew = []
    if rise("gdi") > 0:
        grew.append(f"GDI objects grew by {rise('gdi')}")
    if rise("handles") > 0:
        grew.append(f"handles grew by {rise('handles')}")
    if growth > max_growth:
        grew.append(f"private memory grew {growth:.2f}%")
    lines += [f"GROWTH: {g}" for g in grew] or ["no growth"]
    return lines, 1 if grew else 0


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("samples")
    p.add_argument("--duration", type=int, required=True, help="the run's planned length in seconds")
    p.add_argument("--window", type=float, default=10)
    p.add_argument("--max-growth", type=float, default=1.0)
    p.add_argument("--kind", default="")
    a = p.parse_args()
    prefix = f"{a.kind}: " if a.kind else ""
    try:
        samples = read_samples(a.samples)
    except (OSError, ValueError) as e:
        print(f"{prefix}cannot judge {a.samples}: {e}")
        return 2
    lines, code = judge(samples, baseline_at(a.duration), a.window, a.max_growth)
    for line in lines:
        print(prefix + line)
    return code


if __name__ == "__main__":
    sys.exit(main())
