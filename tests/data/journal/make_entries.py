#!/usr/bin/env python3
"""Writes the kept journal entry files in entries/ with Python's struct and
zlib, a writer of its own beside the program's: one valid entry and the
damaged forms the reader must refuse cleanly. Run it from this folder."""
import calendar
import struct
import zlib


def text(s):
    b = s.encode("utf-8")
    return struct.pack("<H", len(b)) + b


def entry(moment, offset, kind, model, serial, action, verification, rows, version, port, table, image,
          length=None, fix_crc=True):
    body = b"ZENT5JNL" + struct.pack("<H", 1) + b"\0\0\0\0"
    body += struct.pack("<qiBBHBBI", moment, offset, kind, model, serial, action, verification, rows)
    body += text(version) + text(port) + text(table)
    body += struct.pack("<I", len(image) if length is None else length) + image
    body = body[:10] + struct.pack("<I", len(body) + 4) + body[14:]
    return body + struct.pack("<I", zlib.crc32(body) if fix_crc else 0)


def record(sec, minute, hour, day, month, year, force, area, diameter):
    return struct.pack("<BBBBBBHHB", sec, minute, hour, day, month, year, force, area, diameter)


image = struct.pack("<HH", 2, 11) + record(5, 4, 9, 7, 3, 14, 1234, 300, 5) + record(0, 30, 9, 7, 3, 14, 2000, 283, 4)
moment = calendar.timegm((2014, 3, 5, 10, 0, 0))
args = dict(moment=moment, offset=4 * 3600, kind=1, model=24, serial=4242, action=1, verification=1, rows=2,
            version="09.05.01", port="/dev/ttyUSB0", table="C:\\Испытания\\мост.db", image=image)
valid = entry(**args)


def rechecksum(b):
    b = bytearray(b)
    b[-4:] = struct.pack("<I", zlib.crc32(bytes(b[:-4])))
    return bytes(b)


files = {
    "valid-two-records.zje": valid,
    "truncated.zje": valid[:50],
    "bit-flipped.zje": valid[:80] + bytes([valid[80] ^ 0x08]) + valid[81:],
    "foreign.zje": "Журнал загрузок\n".encode("utf-8"),
    "later-format.zje": valid[:8] + b"\x02\x00" + valid[10:],
    "bad-action.zje": rechecksum(valid[:30] + b"\x09" + valid[31:]),
    "image-too-long.zje": entry(**args, length=70000),
    "text-past-end.zje": rechecksum(valid[:36] + b"\xff\xff" + valid[38:]),
    "year-10000.zje": entry(**dict(args, moment=253402300800)),
}
for name, data in files.items():
    with open("entries/" + name, "wb") as f:
        f.write(data)
