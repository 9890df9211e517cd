"""Prints what a spreadsheet reader sees in an .xls file, as JSON.

Cells, fonts, borders, shrink-to-fit, column widths, row heights and page
breaks come from xlrd; the page setup (header, footer, centring, print
scale, paper) from a walk over the worksheet's raw records, which xlrd
does not parse.
"""
import json
import struct
import sys

import xlrd

XF_LINES = ("left_line_style", "right_line_style", "top_line_style", "bottom_line_style")


def unicode_string(data, length_bytes):
    (count,) = struct.unpack_from("<B" if length_bytes == 1 else "<H", data)
    flags = data[length_bytes]
    text = data[length_bytes + 1:]
    if flags & 1:
        return text[: 2 * count].decode("utf-16-le")
    return text[:count].decode("latin-1")


def page_setup(book):
    """Header, footer, centring and SETUP of the first worksheet."""
    mem = book.mem
    setup = {}
    pos = book._sh_abs_posn[0]
    while pos < len(mem):
        code, length = struct.unpack_from("<HH", mem, pos)
        body = mem[pos + 4: pos + 4 + length]
        pos += 4 + length
        if code == 0x0014 and length:
            setup["header"] = unicode_string(body, 2)
        elif code == 0x0015 and length:
            setup["footer"] = unicode_string(body, 2)
        elif code == 0x0083:
            setup["hcenter"] = struct.unpack_from("<H", body)[0]
        elif code == 0x0084:
            setup["vcenter"] = struct.unpack_from("<H", body)[0]
        elif code == 0x00A1:
            paper, scale = struct.unpack_from("<HH", body)
            setup["paper"] = paper
            setup["scale"] = scale
        elif code == 0x000A:
            break
    return setup


def main(path):
    # on_demand keeps the raw stream for page_setup.
    book = xlrd.open_workbook(path, formatting_info=True, on_demand=True)
    sheet = book.sheet_by_index(0)
    cells = []
    for row in range(sheet.nrows):
        for col in range(sheet.ncols):
            cell = sheet.cell(row, col)
            xf = book.xf_list[cell.xf_index]
            font = book.font_list[xf.font_index]
            border = xf.border
            cells.append({
                "row": row, "col": col, "value": cell.value,
                "type": cell.ctype,
                "font": font.name, "height": font.height,
                "shrink": xf.alignment.shrink_to_fit,
                "wrap": xf.alignment.text_wrapped,
                "borders": [getattr(border, line) for line in XF_LINES],
            })
    result = {
        "sheet": sheet.name,
        "nrows": sheet.nrows,
        "ncols": sheet.ncols,
        "cells": cells,
        "widths": {str(c): info.width for c, info in sheet.colinfo_map.items()},
        "heights": {str(r): info.height for r, info in sheet.rowinfo_map.items()},
        "breaks": [b[0] for b in sheet.horizontal_page_breaks],
        "setup": page_setup(book),
    }
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
