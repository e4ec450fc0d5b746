#!/usr/bin/env python3
"""The CSV that loading a standard-layout survey must give, worked out here
without the loader: rows of the file's letter, keyed by line and point text
(last row wins), numbered by point number (the last key wins a number),
ascending numbers, values rounded to single precision and written with the
fewest digits that read back, in fixed notation.

    expected_csv.py SOURCE RECEIVER
"""

import struct
import sys
from decimal import Decimal


def single(value):
    try:
        return struct.unpack("<f", struct.pack("<f", value))[0]
    except OverflowError:
        return float("inf") if value > 0 else float("-inf")


def shortest(value):
    f = single(value)
    if f == int(f):
        # No digits after the point: the integer itself is as short as any other
        # text that reads back, and nearest.
        return ("-" if str(f).startswith("-") else "") + str(abs(int(f)))
    for digits in range(1, 10):
        nearest = Decimal(f"{f:.{digits - 1}e}")
        step = Decimal(1).scaleb(nearest.adjusted() - digits + 1)
        # The correctly rounded decimal first, so that it wins a tie in distance.
        candidates = [c for c in (nearest, nearest - step, nearest + step)
                      if len(c.normalize().as_tuple().digits) <= digits
                      and single(float(c)) == f]
        if candidates:
            best = min(candidates, key=lambda c: abs(c - Decimal(f)))
            return format(best.normalize(), "f")
    raise ValueError(value)


def number(text):
    kept = "".join(c for c in text if c == "." or c.isdigit())
    try:
        n = int(float(kept))
    except ValueError:
        return 0
    n &= 0xFFFFFFFF
    return n - (1 << 32) if n >= 1 << 31 else n


def to_float(text):
    try:
        return float(text.strip())
    except ValueError:
        return 0.0


def records(path, letter):
    points = {}
    with open(path, encoding="utf-8", newline="") as f:
        for row in f.read().split("\n"):
            row = row[:-1] if row.endswith("\r") else row
            if not row.startswith(letter):
                continue
            line, point = row[1:17].strip(), row[17:25].strip()
            points[line + "_" + point] = (to_float(row[46:55]), to_float(row[55:65]),
                                          to_float(row[65:71]), point)
    numbered = {}
    for key in sorted(points):  # str order is UTF-16 order for these ASCII keys
        x, y, z, point = points[key]
        numbered[number(point)] = (x, y, z)
    return [(n,) + numbered[n] for n in sorted(numbered)]


def main():
    out = ["kind,number,x,y,elevation"]
    for kind, path in (("S", sys.argv[1]), ("R", sys.argv[2])):
        for n, x, y, z in records(path, kind):
            out.append(f"{kind},{n},{shortest(x)},{shortest(y)},{shortest(z)}")
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
