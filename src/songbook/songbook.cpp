#include "songbook/songbook.h"

#include "foundation/app_state.h"
#include "platform/dialogs.h"
#include "platform/log.h"
#include "platform/printing.h"
#include "songbook/book_source.h"
#include "songbook/song_book.h"
#include "songbook/song_sheet.h"

#include <optional>
#include <stdexcept>

namespace {

const QString kAskTwoSided = "請問您是否要印成雙面?";
const QString kOddPagesFirst = "開始處理列印, 按下\"確定\"按鍵, 將會開始印第 1,3,5,7,9....頁";
const QString kTurnThePaper =
    "單數頁資料處理完畢, 等印表機把單數頁印完後, 請將紙反過來, 將會印第 2,4,6,8,10....頁, "
    "請注意您紙張的排列";
const QString kNoData = "沒有資料";
const QString kNoPrinter = "找不到預設印表機, 要把目錄存成 PDF 檔嗎?";
const QString kSavePdfTitle = "儲存 PDF 檔";
const QString kPdfFilter = "PDF Files(*.pdf)";

enum class Sides { One, Two };

// The answer to the two-sided question; nothing for Cancel.
std::optional<Sides> ask_sides(Dialogs& dialogs, QWidget* parent) {
    switch (dialogs.ask_yes_no_cancel(parent, kAskTwoSided)) {
        case Dialogs::Answer::Yes:
            return Sides::Two;
        case Dialogs::Answer::No:
            return Sides::One;
        case Dialogs::Answer::Cancel:
            break;
    }
    return std::nullopt;
}

// Where the book goes. A PDF takes the whole book in page order: a PDF
// viewer prints both sides by itself, and nobody turns paper in a file.
struct BookOutput {
    std::unique_ptr<PageSurface> device;
    bool whole_book_at_once = false;
};

// The default printer; without one, a PDF file if the manager wants one.
// Nothing when the manager declines: the book is never silently lost.
std::optional<BookOutput> open_book_output(AppState& state, QWidget* parent) {
    Printing& printing = *state.platform.printing;
    if (printing.has_default_printer()) return BookOutput{printing.open_default_printer(), false};
    Dialogs& dialogs = *state.platform.dialogs;
    if (!dialogs.ask_yes_no(parent, kNoPrinter)) return std::nullopt;
    const QString path = dialogs.save_file(parent, kSavePdfTitle, proposed_file_name("pdf"), {kPdfFilter});
    if (path.isEmpty()) return std::nullopt;
    return BookOutput{printing.open_pdf_file(with_suffix(path, "pdf")), true};
}

// One-sided: every page in one job. Two-sided by hand: the odd pages, the
// manager turns the printed stack over, then the even pages.
void print_book(const song_book& book, BookOutput& output, Sides sides, Dialogs& dialogs, QWidget* parent) {
    PageSurface& device = *output.device;
    if (sides == Sides::One || output.whole_book_at_once) {
        book.print_pass(device, PrintedPages::All);
        device.end_document();
        return;
    }
    dialogs.notice(parent, kOddPagesFirst);
    book.print_pass(device, PrintedPages::Odd);
    device.end_document();
    dialogs.notice(parent, kTurnThePaper);
    book.print_pass(device, PrintedPages::Even);
    device.end_document();
}

void print_songs(AppState& state, QWidget* parent, const song_book& book, Sides sides) {
    std::optional<BookOutput> output = open_book_output(state, parent);
    if (output) print_book(book, *output, sides, *state.platform.dialogs, parent);
}

// Runs one button's work; what fails on the way is told in a notice and
// kept in the log.
template <typename Work>
void reporting_failures(AppState& state, QWidget* parent, Work work) {
    try {
        work();
    } catch (const std::runtime_error& error) {
        // The catalogue, the printer or the file written failed.
        const QString reason = QString::fromStdString(error.what());
        qCWarning(lcSongbook).noquote() << "song book not finished:" << reason;
        state.platform.dialogs->notice(parent, reason);
    }
}

}  // namespace

void print_whole_song_book(AppState& state, QWidget* parent) {
    reporting_failures(state, parent, [&] {
        Dialogs& dialogs = *state.platform.dialogs;
        const std::optional<Sides> sides = ask_sides(dialogs, parent);
        if (!sides) return;
        std::vector<BookSong> songs = read_book_songs(BookChoice{}, state.db_path);
        if (songs.empty()) {
            dialogs.notice(parent, kNoData);
            return;
        }
        const song_book book(std::move(songs), {BookSections::Cut::ByKindAndLength, state.kind_names, {}});
        print_songs(state, parent, book, *sides);
    });
}

void print_new_songs(AppState& state, QWidget* parent, const QString& print_start_date,
                     const QString& keyword, bool to_spreadsheet) {
    reporting_failures(state, parent, [&] {
        Dialogs& dialogs = *state.platform.dialogs;
        const std::optional<NewSongsQuery> query = new_songs_query(print_start_date, keyword);
        if (!query) {
            dialogs.notice(parent, kAskForStartDate);
            return;
        }
        if (to_spreadsheet) {
            export_new_songs(state, parent, *query);
            return;
        }
        std::vector<BookSong> songs = read_book_songs(query->choice(), state.db_path);
        if (songs.empty()) {
            dialogs.notice(parent, query->nothing_found_text());
            return;
        }
        const std::optional<Sides> sides = ask_sides(dialogs, parent);
        if (!sides) return;
        const song_book book(std::move(songs), {BookSections::Cut::ByKind, state.kind_names, query->keyword});
        print_songs(state, parent, book, *sides);
    });
}
