#!/usr/bin/env python3
"""Writes the example survey and the SPS revision 2.1 parameter file.

    examples/make_example_survey.py [OUTPUT_FOLDER]

The survey is synthetic: six receiver lines running east and five source lines
running north, in UTM zone 33N (WGS 84), written in the SPS revision 1 column
layout with H header rows and CRLF line ends. Station numbers carry their line
(station 10105 is the fifth station of receiver line 101), so every point has a
number of its own. Shot 50212 was never fired, and shot 50207 was re-shot a few
metres away (point index 2), so the file holds two rows for it. The same output
comes out of every run.
"""

import math
import os
import random
import sys

RECEIVER_LINES = range(101, 107)   # 6 lines, 200 m apart
STATIONS = range(1, 49)            # 48 stations per line, 25 m apart
SOURCE_LINES = range(501, 506)     # 5 lines, 250 m apart
SOURCE_POINTS = range(1, 25)       # 24 points per line, 50 m apart
X0, Y0 = 452000.0, 5812000.0
SKIPPED_SHOT = (503, 12)
RESHOT = (502, 7)

HEADER = [
    "H00 SPS format version num.     SPS001",
    "H01 Description of survey area  EXAMPLE 3D, SYNTHETIC",
    "H02 Date of survey              2024-05-06 TO 2024-05-09",
    "H07 Tape type,format,density    NONE",
    "H13 Geodetic Coordinate System  WGS 84 / UTM ZONE 33N",
    "H17 Vertical datum description  MEAN SEA LEVEL",
    "H20 Projection type             TRANSVERSE MERCATOR",
    "H26 Easting and northing in metres, elevation in metres above datum",
]


def elevation(x, y):
    return 85.0 + 12.0 * math.sin((x - X0) / 700.0) + 0.004 * (y - Y0)


def point_row(kind, line, point, index, code, depth, uphole, x, y, z, day, time):
    """One S or R row in the revision 1 columns (1-based):
    1 kind, 2-17 line (left-adjusted), 18-25 point, 26 index, 27-28 code,
    29-32 static, 33-36 depth, 37-40 datum, 41-42 uphole time, 43-46 water
    depth, 47-55 easting, 56-65 northing, 66-71 elevation, 72-74 day,
    75-80 time."""
    row = (f"{kind}{line:<16}{point:>8}{index:1d}{code:2}{0:4d}{depth:4.1f}{0:4d}"
           f"{uphole:2d}{0.0:4.1f}{x:9.1f}{y:10.1f}{z:6.1f}{day:3d}{time:6}")
    assert len(row) == 80, row
    return row


def relation_row(record, line, point, first_channel, last_channel, receiver_line,
                 first_station, last_station):
    """One X row in the revision 1 columns (1-based): 1 kind, 2-7 tape,
    8-11 record, 12 increment, 13 instrument, 14-29 source line, 30-37 source
    point, 38 index, 39-42 first channel, 43-46 last channel, 47 channel
    increment, 48-63 receiver line, 64-71 first receiver, 72-79 last
    receiver, 80 receiver index."""
    row = (f"X{'T001':>6}{record:4d}1{'1'}{line:<16}{point:>8}1{first_channel:4d}"
           f"{last_channel:4d}1{receiver_line:<16}{first_station:>8}{last_station:>8}1")
    assert len(row) == 80, row
    return row


def write_lines(path, lines):
    with open(path, "wb") as f:
        for line in lines:
            f.write(line.encode("ascii") + b"\r\n")


def receivers(rng):
    rows = []
    for line in RECEIVER_LINES:
        for s in STATIONS:
            x = X0 + 25.0 * (s - 1) + rng.uniform(-0.4, 0.4)
            y = Y0 + 200.0 * (line - RECEIVER_LINES[0]) + rng.uniform(-0.4, 0.4)
            rows.append(point_row("R", str(line), str(line * 100 + s), 1, "G1", 0.0, 0,
                                  x, y, elevation(x, y), 127, "000000"))
    return rows


def sources(rng):
    rows, shots = [], []
    minute = 0
    for line in SOURCE_LINES:
        for p in SOURCE_POINTS:
            if (line, p) == SKIPPED_SHOT:
                continue
            x = X0 + 87.5 + 250.0 * (line - SOURCE_LINES[0]) + rng.uniform(-0.4, 0.4)
            y = Y0 - 50.0 + 50.0 * (p - 1) + rng.uniform(-0.4, 0.4)
            depth = 12.0 if p % 4 else 9.0
            indices = [1, 2] if (line, p) == RESHOT else [1]
            for index in indices:
                if index == 2:
                    x += 4.0
                    y -= 3.0
                minute += 7
                time = f"{8 + minute // 60 % 10:02d}{minute % 60:02d}00"
                rows.append(point_row("S", str(line), str(line * 100 + p), index, "E1", depth,
                                      12, x, y, elevation(x, y), 128 + minute // 600, time))
            shots.append((line, line * 100 + p))
    return rows, shots


def relations(shots):
    rows = []
    for record, (line, point) in enumerate(shots, start=1001):
        for k, receiver_line in enumerate(RECEIVER_LINES):
            first = receiver_line * 100 + STATIONS[0]
            last = receiver_line * 100 + STATIONS[-1]
            rows.append(relation_row(record, str(line), str(point), 48 * k + 1, 48 * k + 48,
                                     str(receiver_line), str(first), str(last)))
    return rows


# The parameter file of the "Format" page for SPS revision 2.1, positions counted
# from 1, each line ending in space, CR, LF.
SPS21 = [
    ("AutoSkipS", 1), ("AutoSkipR", 1), ("AutoSkipX", 1),
    ("SkipPosS", 72), ("SkipPosR", 72), ("SkipPosX", 72),
    ("SrcLinePos", 2), ("SrcLineLen", 10), ("SrcIDPos", 12), ("SrcIDLen", 10),
    ("SrcCoordX", 47), ("SrcCoordXLen", 9), ("SrcCoordY", 56), ("SrcCoordYLen", 10),
    ("SrcElevPos", 66), ("SrcElevLen", 6), ("SrcWellPos", 31), ("SrcWellLen", 4),
    ("RecvLinePos", 2), ("RecvLineLen", 10), ("RecvIDPos", 12), ("RecvIDLen", 10),
    ("RecvCoordX", 47), ("RecvCoordXLen", 9), ("RecvCoordY", 56), ("RecvCoordYLen", 10),
    ("RecvElevPos", 66), ("RecvElevLen", 6),
    ("XRecordNumPos", 8), ("XRecordNumLen", 8),
    ("XFirstChannelPos", 39), ("XFirstChannelLen", 5),
    ("XLastChannelPos", 44), ("XLastChannelLen", 5),
    ("XChannelIncrPos", 49), ("XChannelIncrLen", 1),
    ("XSrcLinePos", 18), ("XSrcLineLen", 10), ("XSrcIDPos", 28), ("XSrcIDLen", 10),
    ("XRecvLinePos", 50), ("XRecvLineLen", 10),
    ("XFirstRecvIDPos", 60), ("XFirstRecvIDLen", 10),
    ("XLastRecvIDPos", 70), ("XLastRecvIDLen", 10),
]


def parameter_file():
    lines = ["Tarvel SPS File Load Parameter", "version = 1"]
    for key, value in SPS21:
        width = 9 if key.startswith(("Auto", "Skip")) else 17 if key.startswith("X") else 13
        lines.append(f"{key:<{width}} = {value}")
    assert len(lines) == 48
    return b"".join(line.encode("ascii") + b" \r\n" for line in lines)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    rng = random.Random(2024)
    source_rows, shots = sources(rng)
    receiver_rows = receivers(rng)
    write_lines(os.path.join(out, "example.sps"), HEADER + source_rows)
    write_lines(os.path.join(out, "example.rps"), HEADER + receiver_rows)
    write_lines(os.path.join(out, "example.xps"), HEADER + relations(shots))
    with open(os.path.join(out, "sps21.txt"), "wb") as f:
        f.write(parameter_file())


if __name__ == "__main__":
    main()
