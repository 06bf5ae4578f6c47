"""Computes the series statistics of a table independently of the program:
reads the table file with dbfread and takes the figures from Python's
statistics module, then prints them as the program's CSV does, numbers with
17 significant digits.

  series_stats.py TABLE.db kn|kgf REQUIRED_FORCE|- REQUIRED_STRESS|-
"""
import statistics
import sys

import dbfread

# EN 1990 Annex D, table D1, standard deviation unknown; 1.64 as n grows.
LISTED = [(3, 3.37), (4, 2.63), (5, 2.33), (6, 2.18), (8, 2.00), (10, 1.92), (20, 1.76), (30, 1.73)]
LIMIT = 1.64


def fractile_factor(n):
    if n < 3:
        return None
    points = [(1.0 / m, k) for m, k in LISTED] + [(0.0, LIMIT)]
    x = 1.0 / n
    for (x0, k0), (x1, k1) in zip(points, points[1:]):
        if x == x0:
            return k0
        if x1 <= x < x0:
            return k0 + (k1 - k0) * (x - x0) / (x1 - x0)
    raise ValueError(n)


def number(v):
    return "" if v is None else format(v, ".17g")


def figures(values, required):
    xs = [v for v, _ in values if v is not None]
    empty = len(values) - len(xs)
    mean = statistics.mean(xs) if xs else None
    s = statistics.stdev(xs) if len(xs) >= 2 else None
    cv = 100 * s / abs(mean) if s is not None and mean != 0 else None
    k = fractile_factor(len(xs))
    char = mean - k * s if k is not None else None
    failed = failed_n = ""
    if required is not None:
        below = [n for v, n in values if v is not None and v < required]
        failed = str(len(below))
        failed_n = " ".join(format(n, ".15g") for n in below if n is not None)
    return [str(len(xs)), number(mean), number(min(xs) if xs else None), number(max(xs) if xs else None),
            number(s), number(cv), number(char), failed, failed_n, str(empty)]


def main(path, units, required_force, required_stress):
    force, stress = ("P_KG", "S_KG") if units == "kgf" else ("P", "S")
    required = {force: None if required_force == "-" else float(required_force),
                stress: None if required_stress == "-" else float(required_stress)}
    series = {}
    rows = list(dbfread.DBF(path, encoding="cp1251"))
    for r in rows:
        series.setdefault((r["TYPE"] or "", r["D"]), []).append(r)
    lines = []
    for (kind, d), members in list(series.items()) + [(("Всего", None), rows)]:
        for field in (force, stress):
            values = [(r[field], r["N"]) for r in members]
            lines.append([kind, number(d), field] + figures(values, required[field]))
    print("type,diameter,quantity,n,mean,min,max,s,cv,characteristic,failed,failed_n,empty")
    for line in lines:
        print(",".join(line))


if __name__ == "__main__":
    main(*sys.argv[1:5])
