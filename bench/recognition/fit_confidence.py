#!/usr/bin/env python3
"""Fits the confidence scale (PhraseDecoder.cpp: kScoreTerms, kKnots) to a
`bench_recognition --raw --dump FILE` of the calibration voices, and prints
what the fitted scale gives for calibration and held-out voices.

The score is a weighted sum of what the dump holds (each term capped as in
kScoreTerms: the margins, the word check's changes, the shortest word); the knots put the
easiest threshold (10) where 97.5% of the calibration voices' right readings
score above, the hardest (100) just under the median clean right reading, and
50 four fifths of the way up. Only calibration voices are used for fitting.

    fit_confidence.py DUMP [--weights w1,w2,...]   (one weight per FEATURES entry)
"""
import argparse
import csv
import itertools

# Dump column, cap (as kScoreTerms in PhraseDecoder.cpp).
FEATURES = ["margin", "worst", "edits", "shortest", "tightest", "check"]
CAPS = {"margin": 1e9, "worst": 1e9, "edits": 3, "shortest": 1, "tightest": 6, "check": 1e9}


def load(path):
    rows = []
    with open(path) as f:
        for r in csv.DictReader(f, delimiter="\t"):
            for k in ("heldout", "noisy", "heard", "phrase", "sentence", "garbage", "confidence"):
                r[k] = int(r[k])
            for k in FEATURES:
                r[k] = min(float(r.get(k) or 0), CAPS[k])
            rows.append(r)
    return rows


def percentile(values, p):
    values = sorted(values)
    if not values:
        return 0.0
    return values[min(len(values) - 1, max(0, int(p * (len(values) - 1))))]


def score(r, weights):
    return sum(w * r[k] for w, k in zip(weights, FEATURES))


def knots(rows, weights, top=0.45):
    right = [score(r, weights) for r in rows
             if r["kind"] == "lesson" and not r["heldout"] and r["phrase"] == r["sentence"]
             and not r["garbage"]]
    clean = [score(r, weights) for r in rows
             if r["kind"] == "lesson" and not r["heldout"] and not r["noisy"]
             and r["phrase"] == r["sentence"] and not r["garbage"]]
    # The share of all calibration right readings, including those never found.
    total = sum(1 for r in rows if r["kind"] == "lesson" and not r["heldout"])
    missing = total - len(right)
    share = max(0.0, (0.025 * total - missing) / max(len(right), 1))
    low = percentile(right, share)
    high = percentile(clean, top)
    return [(low, 10), (low + 0.8 * (high - low), 50), (high, 100)]


def confidence(s, ks):
    i = 0
    while i + 2 < len(ks) and s >= ks[i + 1][0]:
        i += 1
    (a, ca), (b, cb) = ks[i], ks[i + 1]
    c = ca + (cb - ca) * (s - a) / (b - a) if b != a else cb
    return int(round(min(100, max(0, c))))


def table(rows, weights, ks):
    out = []
    for d in range(1, 11):
        t = d * 10
        def acc(r):
            return (r["phrase"] >= 0 and not r["garbage"]
                    and confidence(score(r, weights), ks) >= t)
        res = {}
        for held in (0, 1):
            for noisy in (0, 1):
                sel = [r for r in rows if r["kind"] == "lesson" and r["heldout"] == held
                       and r["noisy"] == noisy]
                res[("right", held, noisy)] = 100.0 * sum(
                    acc(r) and r["phrase"] == r["sentence"] for r in sel) / max(len(sel), 1)
            sel = [r for r in rows if r["kind"] == "lesson" and r["heldout"] == held]
            res[("right", held)] = 100.0 * sum(
                acc(r) and r["phrase"] == r["sentence"] for r in sel) / max(len(sel), 1)
            sel = [r for r in rows if r["kind"] == "near" and r["heldout"] == held]
            res[("near", held)] = 100.0 * sum(
                acc(r) and r["phrase"] == r["sentence"] for r in sel) / max(len(sel), 1)
        sel = [r for r in rows if r["kind"] in ("outside", "chinese")]
        res["outside"] = 100.0 * sum(acc(r) for r in sel) / max(len(sel), 1)
        out.append(res)
    return out


def objective(rows, weights):
    cal = [r for r in rows if not r["heldout"]]
    ks = knots(cal, weights)
    t = table(cal, weights, ks)
    # Near misses at difficulty 1 and 5, while difficulty 10 stays reachable.
    return t[0][("near", 0)] + 2 * t[4][("near", 0)], ks


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("dump")
    ap.add_argument("--weights")
    args = ap.parse_args()
    rows = load(args.dump)
    if args.weights:
        weights = [float(x) for x in args.weights.split(",")]
    else:
        best = None
        grids = [[1], [0, 0.25, 0.5], [0, -5, -10, -20], [0, 20, 40, 80], [0, 5, 10, 20],
                 [0, 0.25, 0.5, 1]]
        for w in itertools.product(*grids):
            val, _ = objective(rows, w)
            if best is None or val < best[0]:
                best = (val, w)
        weights = list(best[1])
    cal = [r for r in rows if not r["heldout"]]
    ks = knots(cal, weights)
    print("weights", dict(zip(FEATURES, weights)))
    print("knots", [(round(s, 2), c) for s, c in ks])
    print("| difficulty | right cal (clean / noisy) | right held-out (clean / noisy) | outside "
          "| near cal / held-out |")
    for d, res in enumerate(table(rows, weights, ks), 1):
        print("| %d | %.1f%% (%.1f%% / %.1f%%) | %.1f%% (%.1f%% / %.1f%%) | %.1f%% | %.1f%% / %.1f%% |"
              % (d, res[("right", 0)], res[("right", 0, 0)], res[("right", 0, 1)],
                 res[("right", 1)], res[("right", 1, 0)], res[("right", 1, 1)], res["outside"],
                 res[("near", 0)], res[("near", 1)]))


if __name__ == "__main__":
    main()
