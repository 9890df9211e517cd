#include "platform/spreadsheet.h"

#include <algorithm>

CellRules rules_of(const PrintedSheet& sheet, int row, int column) {
    for (const PrintedSheet::Block& block : sheet.blocks) {
        if (row < block.first_row || row > block.last_row || column < block.first_column ||
            column > block.last_column)
            continue;
        return {true, column == block.first_column, column == block.last_column, row == block.first_row,
                row == block.last_row};
    }
    return {};
}

int used_rows(const PrintedSheet& sheet) {
    int rows = int(sheet.cells.size());
    for (const PrintedSheet::Block& block : sheet.blocks) rows = std::max(rows, block.last_row + 1);
    return rows;
}
