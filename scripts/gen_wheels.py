#!/usr/bin/env python3
"""Generates the sample systems (wheels) of data/online/systems.

A system for N numbers with block T lists 6-number combinations over the
positions 1..N such that every T positions lie together in at least one
combination: if T of the drawn numbers are among the N played, some stake
matches at least T. The combinations come from a greedy covering (take the
combination that covers most uncovered T-sets, lowest first on ties), so
they are valid but not always the smallest known.

Usage: scripts/gen_wheels.py [OUT_DIR]   (default data/online/systems)
"""
import itertools
import os
import sys


def greedy_cover(n, t):
    uncovered = set(itertools.combinations(range(1, n + 1), t))
    blocks = list(itertools.combinations(range(1, n + 1), 6))
    chosen = []
    while uncovered:
        best = max(blocks, key=lambda b: sum(1 for s in itertools.combinations(b, t) if s in uncovered))
        chosen.append(best)
        uncovered -= set(itertools.combinations(best, t))
    return chosen


def check(n, t, blocks):
    covered = set()
    for b in blocks:
        assert len(set(b)) == 6 and all(1 <= x <= n for x in b)
        covered |= set(itertools.combinations(b, t))
    assert covered == set(itertools.combinations(range(1, n + 1), t))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "online", "systems")
    os.makedirs(out, exist_ok=True)
    ident = 0
    for n in range(7, 13):
        for t in (2, 3, 4):
            ident += 1
            blocks = greedy_cover(n, t)
            check(n, t, blocks)
            stem = "6-%.2d-%d_%.4d" % (n, t, ident)
            with open(os.path.join(out, stem + ".dat"), "w", newline="") as f:
                f.write("\r\n".join(" ".join("%.2d" % x for x in b) for b in blocks) + "\r\n")
            with open(os.path.join(out, stem + ".txt"), "w", encoding="utf-8", newline="\n") as f:
                f.write("Покрытие на %d чисел, гарантия %d\n" % (n, t))
                f.write("%d комбинаций. Если %d из выпавших чисел среди %d выбранных, "
                        "хотя бы одна ставка угадает не меньше %d.\n"
                        "Сгенерирована жадным алгоритмом (scripts/gen_wheels.py).\n" % (len(blocks), t, n, t))
            print(stem, len(blocks))


if __name__ == "__main__":
    main()
