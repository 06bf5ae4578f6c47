#!/usr/bin/env python3
"""Writes zent5-sample.bin: an instrument archive image of a few days of
pull tests on wire and strand, as the simulator serves it to the program."""
import math
import struct
import sys
from datetime import datetime, timedelta

RECORD_SIZE = 16
# (diameter code, nominal diameter in mm, strength in MPa) of the wires tested.
WIRES = [(2, 5.0, 1670), (3, 6.0, 1570), (9, 7.5, 1470), (1, 4.0, 1770), (10, 8.0, 1470), (14, 9.6, 1860)]


def record(moment, force, area, code):
    head = bytes([moment.second, moment.minute, moment.hour, moment.day, moment.month, moment.year - 2000])
    body = struct.pack("<HHB", force, area, code)
    return head + body + bytes(RECORD_SIZE - len(head) - len(body))


def main(path):
    records = []
    moment = datetime(2025, 3, 3, 8, 30, 0)
    for day in range(4):
        start = moment + timedelta(days=day)
        for i in range(6):
            code, diameter, strength = WIRES[(day + i) % len(WIRES)]
            area_mm2 = math.pi * diameter * diameter / 4
            # A little scatter around the nominal strength, the same every run.
            stress = strength * (1 + ((day * 7 + i * 3) % 9 - 4) / 100)
            force = round(stress * area_mm2 / 10)  # 0.01 kN
            area = round(area_mm2 * 10)  # 0.001 cm²
            records.append(record(start + timedelta(minutes=37 * i + 3 * day), force, area, code))
    image = struct.pack("<HH", len(records), RECORD_SIZE) + b"".join(records)
    with open(path, "wb") as f:
        f.write(image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "zent5-sample.bin")
