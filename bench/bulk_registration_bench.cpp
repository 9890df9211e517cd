// Registration by file name of a folder of 100,000 well-formed media files
// (empty files, names "歌手,新曲000001,國語,8.mpg") into a catalogue of
// 100,000 songs and 10,000 singers, through the window's own handlers:
//   BM_ScanFolder       choosing the folder: listing, checking each file
//                       against the catalogue, filling the list box
//   BM_RegisterFolder   "登錄": storing every file (a transaction per 300
//                       files), then the rescan that shows them registered
//   BM_RescanRegistered the rescan on its own, to tell it from the storing
//   BM_RegisterOneStatementPerFile  "登錄" on 2,000 files with every
//                       statement committed on its own, as the catalogue
//                       takes statements one by one
//   BM_RegisterOwnFolder/loudness:0 and /loudness:1  BM_RegisterFolder on a
//                       folder of its own, without and with Loudness = 1
//                       (the files then go to the background measurement
//                       once the window has rescanned them); run each in a
//                       process of its own to compare them
// Each runs once (seconds each); counter files_per_s.

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "manager/reg_by_filename.h"
#include "support/folder_dialogs.h"
#include "support/synthetic_catalogue.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

namespace {

constexpr int kFolderFiles = 100'000;
constexpr int kOneByOneFiles = 2'000;

QStringList singer_names(const QString& db_path) {
    QStringList names;
    for (Recordset rows = open_recordset("SELECT singer_name FROM singer ORDER BY singer_code", db_path);
         !rows.Eof(); rows.MoveNext())
        names << rows.Field("singer_name");
    return names;
}

// A folder of well-formed names: every singer in turn, every fifth file two
// of them, titles that no stored title resembles.
void make_song_files(const QString& folder, int files, const QStringList& singers) {
    QDir().mkpath(folder);
    const auto& kinds = song_kind_names();
    for (int i = 0; i < files; ++i) {
        QString singer = singers[i % singers.size()];
        if (i % 5 == 0) singer += "+" + singers[(i * 7 + 1) % singers.size()];
        QFile file(folder + QString("/%1,新曲%2,%3,8.mpg")
                                .arg(singer)
                                .arg(i, 6, 10, QChar('0'))
                                .arg(kinds[static_cast<size_t>(i % 8)]));
        if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot make the song files");
    }
}

// A copy of the synthetic catalogue and a folder of song files, with the
// registration window on them.
class Registration {
public:
    explicit Registration(int files, int loudness = 0) {
        state_.settings.Loudness = loudness;
        QFile::copy(source().db_path(), dir_.path() + "/karaoke.db");
        state_.app_folder = dir_.path() + "/";
        state_.db_path = dir_.path() + "/karaoke.db";
        state_.platform.dialogs = &dialogs_;
        dialogs_.folder = dir_.path() + "/songs";
        make_song_files(dialogs_.folder, files, singer_names(state_.db_path));
        window_ = std::make_unique<reg_by_filename>(state_, nullptr);
    }
    reg_by_filename& window() { return *window_; }
    const QString& notice() const { return dialogs_.last_notice; }

private:
    static const SyntheticCatalogueFolder& source() {
        static const SyntheticCatalogueFolder folder;
        return folder;
    }

    QTemporaryDir dir_{QDir::tempPath() + "/karaoke-bench-XXXXXX"};
    AppState state_;
    FolderDialogs dialogs_;
    std::unique_ptr<reg_by_filename> window_;
};

Registration& big_folder() {
    static Registration registration(kFolderFiles);
    return registration;
}

template <typename Step>
void time_once(benchmark::State& bench, int files, Step&& step) {
    double seconds = 0;
    for (auto _ : bench) {
        QElapsedTimer timer;
        timer.start();
        step();
        seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        bench.SetIterationTime(seconds);
    }
    bench.counters["files"] = files;
    bench.counters["seconds"] = seconds;
    bench.counters["files_per_s"] = files / seconds;
}

void BM_ScanFolder(benchmark::State& bench) {
    Registration& registration = big_folder();
    time_once(bench, kFolderFiles, [&] { registration.window().cmdBrowse_Click(); });
    if (registration.window().lstFileInfo.count() != kFolderFiles)
        bench.SkipWithError("files missing from the list");
}
BENCHMARK(BM_ScanFolder)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_RegisterFolder(benchmark::State& bench) {
    Registration& registration = big_folder();
    time_once(bench, kFolderFiles, [&] { registration.window().cmdReg_Click(); });
    if (!registration.notice().isEmpty()) bench.SkipWithError(qPrintable(registration.notice()));
    if (registration.window().labSongInfo.text() != QString("已完成%1筆資料的登錄! ").arg(kFolderFiles))
        bench.SkipWithError("not every file was registered");
}
BENCHMARK(BM_RegisterFolder)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_RescanRegistered(benchmark::State& bench) {
    Registration& registration = big_folder();
    time_once(bench, kFolderFiles, [&] { registration.window().cmdBrowse_Click(); });
}
BENCHMARK(BM_RescanRegistered)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_RegisterOwnFolder(benchmark::State& bench) {
    Registration registration(kFolderFiles, static_cast<int>(bench.range(0)));
    registration.window().cmdBrowse_Click();
    time_once(bench, kFolderFiles, [&] { registration.window().cmdReg_Click(); });
    if (!registration.notice().isEmpty()) bench.SkipWithError(qPrintable(registration.notice()));
    if (registration.window().labSongInfo.text() != QString("已完成%1筆資料的登錄! ").arg(kFolderFiles))
        bench.SkipWithError("not every file was registered");
}
BENCHMARK(BM_RegisterOwnFolder)
    ->ArgName("loudness")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

void BM_RegisterOneStatementPerFile(benchmark::State& bench) {
    Registration registration(kOneByOneFiles);
    registration.window().files_per_transaction = 0;
    registration.window().cmdBrowse_Click();
    time_once(bench, kOneByOneFiles, [&] { registration.window().cmdReg_Click(); });
    if (!registration.notice().isEmpty()) bench.SkipWithError(qPrintable(registration.notice()));
}
BENCHMARK(BM_RegisterOneStatementPerFile)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
