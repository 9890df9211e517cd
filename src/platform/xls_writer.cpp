// The legacy Excel format: a BIFF8 record stream (written here) named
// "Workbook" inside an OLE2 compound file (written by libgsf).

#include "platform/spreadsheet.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

// Record identifiers.
enum : std::uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kCodepage = 0x0042,
    kWindow1 = 0x003D,
    kDateMode = 0x0022,
    kFont = 0x0031,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kExtSst = 0x00FF,
    kWsBool = 0x0081,
    kHorizontalPageBreaks = 0x001B,
    kHeader = 0x0014,
    kFooter = 0x0015,
    kHCenter = 0x0083,
    kVCenter = 0x0084,
    kLeftMargin = 0x0026,
    kRightMargin = 0x0027,
    kTopMargin = 0x0028,
    kBottomMargin = 0x0029,
    kSetup = 0x00A1,
    kColInfo = 0x007D,
    kDimensions = 0x0200,
    kRow = 0x0208,
    kLabelSst = 0x00FD,
    kBlank = 0x0201,
    kWindow2 = 0x023E,
};

constexpr size_t kMaxRecordBody = 8224;
// Excel keeps at most this many manual page breaks of a kind per sheet.
constexpr size_t kMaxPageBreaks = 1026;
constexpr int kRowsPerBlock = 32;
constexpr std::uint16_t kCodepageUtf16 = 1200;
constexpr std::uint16_t kPaperA4 = 9;
constexpr int kTwipsPerPoint = 20;

// Cell formats: the 15 style formats Excel expects, the default cell
// format, the sheet's plain format, then one per set of borders used.
constexpr std::uint16_t kDefaultCellXf = 15;
constexpr std::uint16_t kPlainXf = 16;
// Font indexes skip 4; the sheet's font follows the four standard ones.
constexpr std::uint16_t kSheetFont = 5;

enum LineStyle : std::uint32_t { kNone = 0, kThin = 1, kMedium = 2 };
constexpr std::uint32_t kBlack = 8;
constexpr std::uint32_t kWindowText = 64;
constexpr std::uint32_t kWindowBack = 65;

// Little-endian bytes of one record's body.
class Body {
public:
    Body& u8(std::uint32_t value) {
        bytes_.push_back(char(value & 0xFF));
        return *this;
    }
    Body& u16(std::uint32_t value) { return u8(value).u8(value >> 8); }
    Body& u32(std::uint32_t value) { return u16(value).u16(value >> 16); }
    Body& f64(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return u32(std::uint32_t(bits)).u32(std::uint32_t(bits >> 32));
    }
    // UTF-16 characters without a header.
    Body& chars(const QString& text) {
        for (const QChar c : text) u16(c.unicode());
        return *this;
    }
    // A string with a one-byte (short) or two-byte length, stored as UTF-16.
    Body& short_string(const QString& text) { return u8(std::uint32_t(text.size())).u8(1).chars(text); }
    Body& long_string(const QString& text) { return u16(std::uint32_t(text.size())).u8(1).chars(text); }

    const std::string& bytes() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

// The workbook stream: records one after the other.
class Stream {
public:
    void record(std::uint16_t id, const Body& body) { record(id, body.bytes()); }
    void record(std::uint16_t id, const std::string& body) {
        Body header;
        header.u16(id).u16(std::uint32_t(body.size()));
        bytes_ += header.bytes();
        bytes_ += body;
    }
    size_t position() const { return bytes_.size(); }
    std::string& bytes() { return bytes_; }

private:
    std::string bytes_;
};

// The borders of one cell: the line styles of its four edges.
struct Borders {
    std::uint32_t left = kNone, right = kNone, top = kNone, bottom = kNone;
    auto operator<=>(const Borders&) const = default;
};

Borders borders_of(const PrintedSheet& sheet, int row, int column) {
    const CellRules rules = rules_of(sheet, row, column);
    if (!rules.ruled) return {};
    const auto line = [](bool outline) { return outline ? kMedium : kThin; };
    return {line(rules.left_outline), line(rules.right_outline), line(rules.top_outline),
            line(rules.bottom_outline)};
}

// What each cell of the sheet is: its text (an index into the shared
// strings) or nothing, and its format.
struct CellRecord {
    int row;
    int column;
    std::uint16_t xf;
    int string;  // -1 for a cell with borders only
};

struct SheetContents {
    std::vector<CellRecord> cells;
    std::vector<QString> strings;  // shared strings, each once
    int string_uses = 0;
    std::map<Borders, std::uint16_t> border_xfs;
    int rows = 0;  // rows used
    int columns = 0;
};

QString text_at(const PrintedSheet& sheet, int row, int column) {
    if (row >= int(sheet.cells.size()) || column >= int(sheet.cells[size_t(row)].size())) return {};
    return sheet.cells[size_t(row)][size_t(column)];
}

// The format of a cell with these borders, numbered in order of first use.
std::uint16_t xf_of(SheetContents& contents, const Borders& borders) {
    if (borders == Borders{}) return kPlainXf;
    const auto next = std::uint16_t(kPlainXf + 1 + contents.border_xfs.size());
    return contents.border_xfs.try_emplace(borders, next).first->second;
}

SheetContents contents_of(const PrintedSheet& sheet) {
    SheetContents contents;
    std::unordered_map<QString, int> string_index;
    contents.rows = used_rows(sheet);
    for (const PrintedSheet::Block& block : sheet.blocks)
        contents.columns = std::max(contents.columns, block.last_column + 1);
    for (const auto& row : sheet.cells) contents.columns = std::max(contents.columns, int(row.size()));
    for (int row = 0; row < contents.rows; ++row) {
        for (int column = 0; column < contents.columns; ++column) {
            const QString text = text_at(sheet, row, column);
            const Borders borders = borders_of(sheet, row, column);
            if (text.isEmpty() && borders == Borders{}) continue;
            int string = -1;
            if (!text.isEmpty()) {
                const auto [found, added] = string_index.try_emplace(text, int(contents.strings.size()));
                if (added) contents.strings.push_back(text);
                string = found->second;
                ++contents.string_uses;
            }
            contents.cells.push_back({row, column, xf_of(contents, borders), string});
        }
    }
    return contents;
}

Body bof(std::uint16_t substream) {
    Body body;
    body.u16(0x0600).u16(substream).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x0006);
    return body;
}

Body font(const QString& name, double points, std::uint8_t charset) {
    Body body;
    body.u16(std::uint32_t(points * kTwipsPerPoint))
        .u16(0)
        .u16(0x7FFF)
        .u16(400)
        .u16(0)
        .u8(0)
        .u8(0)
        .u8(charset)
        .u8(0);
    body.short_string(name);
    return body;
}

Body style_xf() {
    Body body;
    body.u16(0).u16(0).u16(0xFFF5).u8(0x20).u8(0).u8(0).u8(0);
    body.u32(0).u32(0).u16(kWindowText | kWindowBack << 7);
    return body;
}

// A cell format in the sheet's font, vertically centred, shrunk to fit and
// not wrapped, with the given borders in black.
Body cell_xf(std::uint16_t font_index, bool shrink, const Borders& borders) {
    constexpr std::uint8_t kVerticalCentre = 1 << 4;
    constexpr std::uint8_t kShrinkToFit = 1 << 4;
    constexpr std::uint8_t kAttributesSet = 0xF8;
    Body body;
    body.u16(font_index).u16(0).u16(0x0001).u8(kVerticalCentre).u8(0).u8(shrink ? kShrinkToFit : 0);
    body.u8(kAttributesSet);
    body.u32(borders.left | borders.right << 4 | borders.top << 8 | borders.bottom << 12 | kBlack << 16 |
             kBlack << 23);
    body.u32(kBlack | kBlack << 7);
    body.u16(kWindowText | kWindowBack << 7);
    return body;
}

// The shared strings, split over CONTINUE records where a record fills
// up; a string cut in two goes on after a new option byte. The place of
// every dsst-th string (at least every eighth, at most 128 places) is kept
// for the EXTSST index, by which Excel finds strings without reading all.
class SharedStrings {
public:
    SharedStrings(Stream& stream, const SheetContents& contents) : stream_(stream) {
        dsst_ = std::max<size_t>(8, contents.strings.size() / 128 + 1);
        current_.u32(std::uint32_t(contents.string_uses)).u32(std::uint32_t(contents.strings.size()));
        for (size_t i = 0; i < contents.strings.size(); ++i) add(contents.strings[i], i % dsst_ == 0);
        flush();
        write_index();
    }

private:
    void add(const QString& text, bool indexed) {
        constexpr size_t kHeader = 3;
        if (current_.size() + kHeader + 2 > kMaxRecordBody) flush();
        if (indexed) {
            const size_t offset_in_record = 4 + current_.size();
            index_.push_back(
                {std::uint32_t(stream_.position() + offset_in_record), std::uint16_t(offset_in_record)});
        }
        current_.u16(std::uint32_t(text.size())).u8(1);
        qsizetype next = 0;
        while (true) {
            const qsizetype room = qsizetype((kMaxRecordBody - current_.size()) / 2);
            const qsizetype taken = std::min(room, text.size() - next);
            current_.chars(text.mid(next, taken));
            next += taken;
            if (next == text.size()) break;
            flush();
            current_.u8(1);
        }
    }
    void flush() {
        stream_.record(first_ ? kSst : kContinue, current_);
        first_ = false;
        current_ = Body();
    }
    void write_index() {
        Body body;
        body.u16(std::uint32_t(dsst_));
        for (const auto& [position, offset] : index_) body.u32(position).u16(offset).u16(0);
        stream_.record(kExtSst, body);
    }

    Stream& stream_;
    Body current_;
    bool first_ = true;
    size_t dsst_;
    std::vector<std::pair<std::uint32_t, std::uint16_t>> index_;
};

// The workbook's global records; returns where the sheet's position is to
// be filled in once known.
size_t write_globals(Stream& stream, const PrintedSheet& sheet, const SheetContents& contents) {
    stream.record(kBof, bof(0x0005));
    stream.record(kCodepage, Body().u16(kCodepageUtf16));
    stream.record(kWindow1,
                  Body().u16(0).u16(0).u16(0x3A98).u16(0x2328).u16(0x0038).u16(0).u16(0).u16(1).u16(0x0258));
    stream.record(kDateMode, Body().u16(0));
    // The standard font sets the unit of the column widths. Arial 9 keeps
    // wide sheets as wide as Excel shows them in spreadsheet programs that
    // measure its digits from the outline rather than in screen pixels.
    for (int i = 0; i < 4; ++i) stream.record(kFont, font("Arial", 9, 0));
    constexpr std::uint8_t kChineseBig5 = 136;
    stream.record(kFont, font(sheet.font_name, sheet.font_points, kChineseBig5));
    for (int i = 0; i < kDefaultCellXf; ++i) stream.record(kXf, style_xf());
    stream.record(kXf, cell_xf(0, false, {}));
    stream.record(kXf, cell_xf(kSheetFont, sheet.shrink_to_fit, {}));
    std::vector<std::pair<std::uint16_t, Borders>> by_index;
    for (const auto& [borders, xf] : contents.border_xfs) by_index.emplace_back(xf, borders);
    std::sort(by_index.begin(), by_index.end());
    for (const auto& [xf, borders] : by_index)
        stream.record(kXf, cell_xf(kSheetFont, sheet.shrink_to_fit, borders));
    stream.record(kStyle, Body().u16(0x8000).u8(0).u8(0xFF));
    const size_t sheet_position_at = stream.position() + 4;
    stream.record(kBoundSheet, Body().u32(0).u8(0).u8(0).short_string("工作表1"));
    SharedStrings(stream, contents);
    stream.record(kEof, Body());
    return sheet_position_at;
}

void write_page_setup(Stream& stream, const PrintedSheet& sheet) {
    constexpr std::uint16_t kShowAutoBreaksAndOutlineSymbols = 0x04C1;
    stream.record(kWsBool, Body().u16(kShowAutoBreaksAndOutlineSymbols));
    if (!sheet.page_breaks_before.empty()) {
        const size_t count = std::min(sheet.page_breaks_before.size(), kMaxPageBreaks);
        Body breaks;
        breaks.u16(std::uint32_t(count));
        for (size_t i = 0; i < count; ++i)
            breaks.u16(std::uint32_t(sheet.page_breaks_before[i])).u16(0).u16(255);
        stream.record(kHorizontalPageBreaks, breaks);
    }
    if (!sheet.right_header.isEmpty()) stream.record(kHeader, Body().long_string("&R" + sheet.right_header));
    if (!sheet.center_footer.isEmpty())
        stream.record(kFooter, Body().long_string("&C" + sheet.center_footer));
    stream.record(kHCenter, Body().u16(sheet.center_horizontally ? 1 : 0));
    stream.record(kVCenter, Body().u16(0));
    stream.record(kLeftMargin, Body().f64(sheet.margins.left));
    stream.record(kRightMargin, Body().f64(sheet.margins.right));
    stream.record(kTopMargin, Body().f64(sheet.margins.top));
    stream.record(kBottomMargin, Body().f64(sheet.margins.bottom));
    constexpr std::uint16_t kPortrait = 0x0002;
    Body setup;
    setup.u16(kPaperA4).u16(std::uint32_t(sheet.print_scale_percent)).u16(1).u16(1).u16(1).u16(kPortrait);
    setup.u16(600).u16(600).f64(sheet.margins.header).f64(sheet.margins.footer).u16(1);
    stream.record(kSetup, setup);
}

// A width as Excel stores it: the characters shown plus the cell's padding,
// for the standard font's 7-pixel digits and 5 pixels of padding.
double stored_width(double characters) {
    constexpr int kDigitPixels = 7;
    constexpr int kPaddingPixels = 5;
    const int pixels = int(characters * kDigitPixels + 0.5) + kPaddingPixels;
    return double(pixels) / kDigitPixels * 256;
}

void write_columns(Stream& stream, const PrintedSheet& sheet) {
    for (size_t column = 0; column < sheet.column_widths.size(); ++column) {
        const auto width = std::uint32_t(stored_width(sheet.column_widths[column]));
        stream.record(kColInfo, Body()
                                    .u16(std::uint32_t(column))
                                    .u16(std::uint32_t(column))
                                    .u16(width)
                                    .u16(kPlainXf)
                                    .u16(0)
                                    .u16(0));
    }
}

// Rows in blocks of 32: the row records, then the cells of those rows.
void write_rows(Stream& stream, const PrintedSheet& sheet, const SheetContents& contents) {
    const auto height = std::uint32_t(sheet.row_height_points * kTwipsPerPoint + 0.5);
    constexpr std::uint32_t kCustomHeightWithFormat = 0x0100 | 0x0040 | 0x0080;
    size_t next_cell = 0;
    for (int first = 0; first < contents.rows; first += kRowsPerBlock) {
        const int end = std::min(contents.rows, first + kRowsPerBlock);
        for (int row = first; row < end; ++row) {
            stream.record(kRow, Body()
                                    .u16(std::uint32_t(row))
                                    .u16(0)
                                    .u16(std::uint32_t(contents.columns))
                                    .u16(height)
                                    .u16(0)
                                    .u16(0)
                                    .u32(kCustomHeightWithFormat | std::uint32_t(kPlainXf) << 16));
        }
        for (; next_cell < contents.cells.size() && contents.cells[next_cell].row < end; ++next_cell) {
            const CellRecord& cell = contents.cells[next_cell];
            Body body;
            body.u16(std::uint32_t(cell.row)).u16(std::uint32_t(cell.column)).u16(cell.xf);
            if (cell.string >= 0) {
                stream.record(kLabelSst, body.u32(std::uint32_t(cell.string)));
            } else {
                stream.record(kBlank, body);
            }
        }
    }
}

void write_sheet(Stream& stream, const PrintedSheet& sheet, const SheetContents& contents) {
    stream.record(kBof, bof(0x0010));
    write_page_setup(stream, sheet);
    write_columns(stream, sheet);
    stream.record(
        kDimensions,
        Body().u32(0).u32(std::uint32_t(contents.rows)).u16(0).u16(std::uint32_t(contents.columns)).u16(0));
    write_rows(stream, sheet, contents);
    constexpr std::uint16_t kNormalViewSelected = 0x06B6;
    stream.record(kWindow2,
                  Body().u16(kNormalViewSelected).u16(0).u16(0).u16(kWindowText).u16(0).u16(0).u16(0).u32(0));
    stream.record(kEof, Body());
}

std::string workbook_stream(const PrintedSheet& sheet) {
    const SheetContents contents = contents_of(sheet);
    Stream stream;
    const size_t sheet_position_at = write_globals(stream, sheet, contents);
    Body position;
    position.u32(std::uint32_t(stream.position()));
    stream.bytes().replace(sheet_position_at, 4, position.bytes());
    write_sheet(stream, sheet, contents);
    return std::move(stream.bytes());
}

template <typename T>
struct Unref {
    void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using GsfPtr = std::unique_ptr<T, Unref<T>>;

[[noreturn]] void fail(const QString& path, GError* error) {
    const std::string reason = error ? error->message : "write failed";
    if (error) g_error_free(error);
    throw SpreadsheetError(path.toStdString() + ": " + reason);
}

}  // namespace

void write_xls(const PrintedSheet& sheet, const QString& path) {
    static std::once_flag gsf_ready;
    std::call_once(gsf_ready, [] { gsf_init(); });
    const std::string workbook = workbook_stream(sheet);

    GError* error = nullptr;
    GsfPtr<GsfOutput> file(gsf_output_stdio_new(QFile::encodeName(path).constData(), &error));
    if (!file) fail(path, error);
    GsfPtr<GsfOutfile> ole(gsf_outfile_msole_new(file.get()));
    GsfPtr<GsfOutput> stream(gsf_outfile_new_child(ole.get(), "Workbook", FALSE));
    const bool written =
        gsf_output_write(stream.get(), workbook.size(), reinterpret_cast<const guint8*>(workbook.data()));
    // Closing the compound file closes the file under it too.
    const bool closed = gsf_output_close(stream.get()) && gsf_output_close(GSF_OUTPUT(ole.get()));
    if (!written || !closed) {
        const GError* reason = gsf_output_error(file.get());
        fail(path, reason ? g_error_copy(reason) : nullptr);
    }
}
