// The song books of a 100,000-song, 10,000-singer catalogue, through the
// manager's buttons: the whole catalogue into a PDF (target: 60 s), and every
// song exported as new songs to .xls and .xlsx (target: 20 s). Each run
// includes the queries; the files go to a temporary folder and are removed.
// Counters: pages and size of the file written.

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/printing.h"
#include "songbook/songbook.h"
#include "support/synthetic_catalogue.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One-sided, no default printer, yes to the PDF, and the file named.
class AnsweringDialogs : public Dialogs {
public:
    QString file;
    void notice(QWidget*, const QString& text) override { qWarning("notice: %s", qPrintable(text)); }
    bool ask_yes_no(QWidget*, const QString&) override { return true; }
    Answer ask_yes_no_cancel(QWidget*, const QString&) override { return Answer::No; }
    QString open_file(QWidget*, const QString&, const QString&, const QStringList&) override { return {}; }
    QString save_file(QWidget*, const QString&, const QString&, const QStringList&) override { return file; }
};

// PDF files only, even on a machine with a printer.
class PdfPrinting : public Printing {
public:
    bool has_default_printer() const override { return false; }
    std::unique_ptr<PageSurface> open_default_printer() override { return nullptr; }
    std::unique_ptr<PageSurface> open_pdf_file(const QString& path) override {
        return pdf_.open_pdf_file(path);
    }

private:
    SystemPrinting pdf_;
};

const SyntheticCatalogueFolder& catalogue() {
    static const SyntheticCatalogueFolder folder;
    return folder;
}

struct Manager {
    Manager() {
        state.db_path = catalogue().db_path();
        state.app_folder = catalogue().app_folder();
        state.kind_names = song_kind_names();
        state.platform.dialogs = &dialogs;
        state.platform.printing = &printing;
    }
    AppState state;
    AnsweringDialogs dialogs;
    PdfPrinting printing;
};

int pdf_page_count(const QString& path) {
    QProcess pdfinfo;
    pdfinfo.start("pdfinfo", {path});
    pdfinfo.waitForFinished();
    const auto match = QRegularExpression(R"(Pages:\s+(\d+))").match(pdfinfo.readAllStandardOutput());
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

void report_file(benchmark::State& state, const QString& path) {
    state.counters["MiB"] = double(QFileInfo(path).size()) / (1024 * 1024);
}

void BM_whole_song_book_to_pdf(benchmark::State& state) {
    Manager manager;
    QTemporaryDir folder;
    manager.dialogs.file = folder.filePath("book.pdf");
    for (auto _ : state) print_whole_song_book(manager.state, nullptr);
    report_file(state, manager.dialogs.file);
    state.counters["pages"] = pdf_page_count(manager.dialogs.file);
}
BENCHMARK(BM_whole_song_book_to_pdf)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void export_all_songs(benchmark::State& state, const QString& name) {
    Manager manager;
    QTemporaryDir folder;
    manager.dialogs.file = folder.filePath(name);
    manager.state.settings.ExportXlsx = 1;  // the .xlsx format is offered only when switched on
    for (auto _ : state) print_new_songs(manager.state, nullptr, "2024/01/01", "", true);
    report_file(state, manager.dialogs.file);
}

void BM_export_all_songs_xls(benchmark::State& state) {
    export_all_songs(state, "songs.xls");
}
BENCHMARK(BM_export_all_songs_xls)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_export_all_songs_xlsx(benchmark::State& state) {
    export_all_songs(state, "songs.xlsx");
}
BENCHMARK(BM_export_all_songs_xlsx)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    install_font_substitutions();
    catalogue();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    close_kept_connection();
    return 0;
}
