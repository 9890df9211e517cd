"""Prints what openpyxl sees in an .xlsx file, in the shape read_xls.py gives."""
import json
import sys

import openpyxl
from openpyxl.utils import get_column_letter


def main(path):
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    cells = []
    for row in sheet.iter_rows():
        for cell in row:
            border = cell.border
            cells.append({
                "row": cell.row - 1, "col": cell.column - 1,
                "value": cell.value if cell.value is not None else "",
                "font": cell.font.name, "height": int(round(cell.font.sz * 20)),
                "shrink": int(bool(cell.alignment.shrink_to_fit)),
                "wrap": int(bool(cell.alignment.wrap_text)),
                "borders": [{"thin": 1, "medium": 2}.get(side.style, 0)
                            for side in (border.left, border.right, border.top, border.bottom)],
            })
    result = {
        "sheet": sheet.title,
        "nrows": sheet.max_row,
        "ncols": sheet.max_column,
        "cells": cells,
        "widths": {str(c): int(round(sheet.column_dimensions[get_column_letter(c + 1)].width * 256))
                   for c in range(sheet.max_column)},
        "heights": {str(r - 1): int(round(sheet.row_dimensions[r].height * 20))
                    for r in range(1, sheet.max_row + 1) if sheet.row_dimensions[r].height},
        # A break after row n (1-based) stands before row n (0-based).
        "breaks": [brk.id for brk in sheet.row_breaks.brk],
        "setup": {
            "header": "&R" + (sheet.oddHeader.right.text or ""),
            "footer": "&C" + (sheet.oddFooter.center.text or ""),
            "hcenter": int(bool(sheet.print_options.horizontalCentered)),
            "vcenter": int(bool(sheet.print_options.verticalCentered)),
            "paper": int(sheet.page_setup.paperSize or 0),
            # A sheet at 100 % carries no scale.
            "scale": int(sheet.page_setup.scale or 100),
        },
    }
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
