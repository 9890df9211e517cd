#include "songbook_fixture.h"

#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "platform/desktop.h"
#include "support/test_catalogue.h"

#include <QJsonDocument>
#include <QProcess>

SongBookTest::SongBookTest(CatalogueStore store)
    : server_missing_(store == CatalogueStore::Server && !use_catalogue_server(*state)) {
    install_font_substitutions();
    prepare_catalogue(state->db_path);
    state->kind_names = song_kind_names();
    state->platform.dialogs = &dialogs;
    state->platform.printing = &printing;
    singer = add_test_singer(*state, "江蕙");
}

SongBookTest::~SongBookTest() {
    close_kept_connection();
}

void SongBookTest::SetUp() {
    if (server_missing_) GTEST_SKIP() << "no PostgreSQL server for the tests";
}

void SongBookTest::add_song(const QString& num, int kind, const QString& name, int singer_code,
                            const QString& build_date) {
    ::add_song(shared_session(state->db_path), {.num = num,
                                                .kind = kind,
                                                .name = name,
                                                .text_count = int(name.size()),
                                                .singer_code = singer_code,
                                                .build_date = build_date,
                                                .location = "/songs/a.mpg"});
}

void SongBookTest::add_songs(int kind, int length, int count, const QString& stem,
                             const QString& build_date) {
    WriteTransaction write(shared_session(state->db_path));  // one write of the file instead of many
    for (int i = 1; i <= count; ++i) {
        const int digits = length - int(stem.size());
        const QString name = stem + QString::number(i).rightJustified(digits, '0');
        const QString num =
            QString("%1%2%3").arg(kind).arg(length, 2, 10, QChar('0')).arg(next_serial++, 3, 10, QChar('0'));
        add_song(num, kind, name, singer, build_date);
    }
    write.commit();
}

QStringList pdf_pages(const QString& path) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", path, "-"});
    pdftotext.waitForFinished(60'000);
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

QJsonObject read_spreadsheet(const QString& path) {
    const QString reader = path.endsWith(".xlsx") ? "read_xlsx.py" : "read_xls.py";
    QProcess python;
    python.start("/usr/bin/python3",
                 {QString(KARAOKE_TEST_SOURCE_DIR) + "/songbook/readers/" + reader, path});
    python.waitForFinished(120'000);
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}
