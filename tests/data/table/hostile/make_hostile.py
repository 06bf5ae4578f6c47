#!/usr/bin/env python3
"""Writes the hostile table files of this folder: measurement tables whose
column widths or index file would make an open take far more memory and time
than the file's size suggests. Each changes one thing of a sound table of
three rows; hostiletables_test.cpp says what each must give."""
import struct

COLS = [("N", "N", 18, 9), ("DATE", "C", 10, 0), ("TIME", "C", 8, 0), ("SERIAL", "N", 18, 9),
        ("P", "N", 18, 9), ("P_KG", "N", 18, 9), ("S", "N", 18, 9), ("S_KG", "N", 18, 9),
        ("F", "N", 18, 9), ("D", "N", 18, 9), ("TYPE", "C", 10, 0), ("COMMENT", "C", 100, 0),
        ("F_MM", "N", 18, 9)]


def table(cols, rows, index_flag=0, record_bytes=None):
    header_len = 32 + 32 * len(cols) + 1
    record_len = 1 + sum(c[2] for c in cols)
    out = bytearray(struct.pack("<BBBBIHH", 0x03, 124, 1, 15, len(rows), header_len, record_len))
    out += bytes(16) + bytes([index_flag, 0xC9]) + bytes(2)
    for name, typ, width, dec in cols:
        out += name.encode().ljust(11, b"\0") + typ.encode() + bytes(4) + bytes([width, dec]) + bytes(14)
    out += b"\r"
    if record_bytes is not None:
        out += record_bytes
    for n in rows:
        rec = b" "
        for name, typ, width, dec in cols:
            v = {"N": str(n), "DATE": "05.03.2014", "TIME": "10:15:00", "P": str(10 * n),
                 "COMMENT": "строка %d" % n}.get(name, "")
            b = v.encode("cp1251")[:width]
            rec += b.rjust(width) if typ == "N" else b.ljust(width)
        out += rec
    out += b"\x1a"
    return bytes(out)


def widths(**changed):
    return [(n, t, changed.get(n, (w, d))[0], changed.get(n, (w, d))[1]) for n, t, w, d in COLS]


def mdx(tags):
    out = b"ZENT5MDX\x01" + bytes([len(tags)])
    for name, column, descending in tags:
        out += bytes([len(name)]) + name.encode() + bytes([len(column)]) + column.encode() + bytes([descending])
    return out


def write(name, data):
    open(name, "wb").write(data)


write("comment_width_zero.db", table(widths(COMMENT=(0, 0)), [1, 2, 3]))
write("number_narrower_than_its_decimals.db", table(widths(P=(9, 9)), [1, 2, 3]))
# Every column 0 wide: records of the deletion flag alone, so each of the
# 4096 bytes after the header would be a row.
write("one_byte_records.db", table([(n, t, 0, d) for n, t, w, d in COLS], [], record_bytes=b" " * 4096))
# A sound table with its index flag set, and beside it an index naming a
# tag on a column of no width, a tag on a column it lacks, and the sort the
# program makes; the first two are refused.
extra = COLS + [("EMPTY", "C", 0, 0)]
write("unusable_tags.db", table(extra, [3, 1, 2], index_flag=1))
write("unusable_tags.mdx", mdx([("tab2", "EMPTY", 0), ("tab3", "NOSUCH", 0), ("tab1", "N", 0)]))
# More distinct tags than a table ever writes: an index of no tag of ours.
write("too_many_tags.db", table(COLS, [3, 1, 2], index_flag=1))
write("too_many_tags.mdx", mdx([("tag%d" % k, "COMMENT", k % 2) for k in range(5)]))
