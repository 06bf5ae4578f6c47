#!/usr/bin/env python3
"""Writes other_writer.dbf: a measurement table laid out the way other dBase
writers do it, independent of our writer. Code page 866 (language byte 0x65),
numbers written short and right-aligned, one row marked deleted, a stale
record count, and no end-of-file byte."""
import struct

cols = [("N", "N", 18, 9), ("DATE", "C", 10, 0), ("TIME", "C", 8, 0), ("SERIAL", "N", 18, 9),
        ("P", "N", 18, 9), ("P_KG", "N", 18, 9), ("S", "N", 18, 9), ("S_KG", "N", 18, 9),
        ("F", "N", 18, 9), ("D", "N", 18, 9), ("TYPE", "C", 10, 0), ("COMMENT", "C", 100, 0),
        ("F_MM", "N", 18, 9)]
rows = [
    (" ", ["1", "07.03.2014", "09:05:07", "4242", "12.34", "1258", "436", "4446", "28.3", "5", "проволока", "первый, \"тест\"", "0.283"]),
    ("*", ["2", "07.03.2014", "09:06:00", "4242", "1", "102", "1", "1", "1", "3", "канат", "удалён", "0.01"]),
    (" ", ["3", "08.03.2014", "10:00:00", "4242", "-1.5", "", "abc", "0", "0", "7.5", "канат", "", "1e-3"]),
]
header_len = 32 + 32 * len(cols) + 1
record_len = 1 + sum(c[2] for c in cols)
out = bytearray(struct.pack("<BBBBIHH", 0x03, 114, 3, 8, 7, header_len, record_len))
out += bytes(16) + bytes([0, 0x65]) + bytes(2)
for name, typ, width, dec in cols:
    out += name.encode().ljust(11, b"\0") + typ.encode() + bytes(4) + bytes([width, dec]) + bytes(14)
out += b"\r"
for flag, values in rows:
    rec = flag.encode()
    for (name, typ, width, dec), v in zip(cols, values):
        b = v.encode("cp866")
        rec += b.rjust(width) if typ == "N" else b.ljust(width)
    assert len(rec) == record_len
    out += rec
open("other_writer.dbf", "wb").write(out)
