#pragma once

// Fills a Recordset row by row: how each store hands over its query results.

#include "foundation/catalogue.h"

class RecordsetBuilder {
public:
    void add_column(std::string name) { result_.columns_.push_back(std::move(name)); }
    void add_null() { result_.cells_.push_back({0, -1}); }
    void add_value(const char* text, int length) {
        result_.cells_.push_back({static_cast<std::uint32_t>(result_.text_.size()), length});
        result_.text_.append(text, static_cast<size_t>(length));
    }
    // Returns the number of rows so far.
    int end_row() { return ++result_.row_count_; }
    Recordset take() { return std::move(result_); }

private:
    Recordset result_;
};
