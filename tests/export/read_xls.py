"""Reads a spreadsheet file with independent readers (olefile, xlrd) and
prints what they find, one fact per line, tab-separated:

  streams  PATHS            every stream and storage of the compound document
  clsid    ID               the root storage's class id ('' when zero)
  user     NAME             the user name xlrd found
  sheet    INDEX NAME ROWS COLUMNS
  cell     SHEET ROW COLUMN KIND XF VALUE   (KIND text|number|blank|empty)
  format   ID TEXT          number formats the file defines
  palette  RRGGBB ...       xlrd's default palette for indexes 8 to 63
"""
import sys

import olefile
import xlrd
import xlrd.formatting


def main(path):
    ole = olefile.OleFileIO(path)
    entries = ["/".join(e) for e in ole.listdir(streams=True, storages=True)]
    print("streams\t" + ",".join(sorted(entries)))
    print("clsid\t" + ole.root.clsid)
    ole.close()

    book = xlrd.open_workbook(path, formatting_info=True)
    print("user\t" + book.user_name)
    for fid in sorted(book.format_map):
        text = book.format_map[fid].format_str
        if fid in (5, 6, 7, 8, 41, 42, 43, 44) or (fid >= 50 and text is not None):
            print("format\t%d\t%s" % (fid, text))
    kinds = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
             xlrd.XL_CELL_BLANK: "blank", xlrd.XL_CELL_EMPTY: "empty"}
    for si in range(book.nsheets):
        sh = book.sheet_by_index(si)
        print("sheet\t%d\t%s\t%d\t%d" % (si, sh.name, sh.nrows, sh.ncols))
        for r in range(sh.nrows):
            for c in range(sh.ncols):
                cell = sh.cell(r, c)
                kind = kinds.get(cell.ctype, "other%d" % cell.ctype)
                if kind == "number":
                    value = repr(float(cell.value))
                else:
                    value = str(cell.value).replace("\\", "\\\\").replace("\n", "\\n")
                print("cell\t%d\t%d\t%d\t%s\t%d\t%s" % (si, r, c, kind, cell.xf_index, value))
    print("palette\t" + " ".join("%02X%02X%02X" % rgb for rgb in xlrd.formatting.excel_default_palette_b8))


if __name__ == "__main__":
    main(sys.argv[1])
