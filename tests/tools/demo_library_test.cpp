#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "support/test_support.h"
#include "tools/demo_library.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace {

// Four songs hold a duet and two songs of one category and title length.
constexpr int kSongs = 4;

DemoOptions short_demo(int songs = kSongs) {
    DemoOptions options;
    options.song_count = songs;
    options.seconds = 2;
    return options;
}

struct SongRow {
    QString number, title, location, date;
    int kind, length, singer_code;
};

std::vector<SongRow> song_rows(const TempFolder& folder) {
    std::vector<SongRow> rows;
    Recordset song =
        open_recordset("SELECT * FROM song ORDER BY song_num, song_singer_code", folder.file("karaoke.db"));
    for (; !song.Eof(); song.MoveNext()) {
        rows.push_back({song.Field("song_num"), song.Field("song_name"), song.Field("song_location"),
                        song.Field("song_build_date"), song.FieldInt("song_kind"),
                        song.FieldInt("song_text_count"), song.FieldInt("song_singer_code")});
    }
    return rows;
}

QStringList stream_types(const QString& clip) {
    QProcess ffprobe;
    ffprobe.start("ffprobe", {"-v", "error", "-show_entries", "stream=codec_type", "-of", "csv=p=0", clip});
    ffprobe.waitForFinished(30000);
    return QString(ffprobe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

QDateTime modified(const QString& path) {
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
}

class DemoLibraryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = std::make_unique<TempFolder>();
        outcome = make_demo_library(folder->path(), short_demo());
    }
    static void TearDownTestSuite() {
        close_kept_connection();
        folder.reset();
    }
    std::vector<SongRow> rows() const { return song_rows(*folder); }

    static std::unique_ptr<TempFolder> folder;
    static DemoOutcome outcome;
};
std::unique_ptr<TempFolder> DemoLibraryTest::folder;
DemoOutcome DemoLibraryTest::outcome;

TEST_F(DemoLibraryTest, RegistersEachSongUnderANumberOfItsCategoryAndTitleLength) {
    ASSERT_TRUE(outcome.made);
    std::map<QString, QString> title_of_number;
    for (const SongRow& row : rows()) {
        const QString prefix = QString::number(row.kind) + QString("%1").arg(row.length, 2, 10, QChar('0'));
        EXPECT_TRUE(row.number.startsWith(prefix)) << row.number.toStdString();
        EXPECT_EQ(row.number.size(), prefix.size() + 3);
        EXPECT_EQ(row.length, row.title.size());
        EXPECT_EQ(row.date, QDate::currentDate().toString("yyyy/MM/dd"));
        title_of_number[row.number] = row.title;
    }
    EXPECT_EQ(title_of_number.size(), size_t{kSongs});
    // Two songs of category 0 with five-character titles: the serial counts up.
    EXPECT_EQ(title_of_number["005001"], "阿母的灶跤");
    EXPECT_EQ(title_of_number["005002"], "雨夜的車站");
    EXPECT_EQ(title_of_number["106001"], "城市的另一邊");
}

TEST_F(DemoLibraryTest, ADuetIsOneRowPerSingerUnderOneNumber) {
    std::vector<SongRow> duet;
    for (const SongRow& row : rows())
        if (row.number == "106001") duet.push_back(row);
    ASSERT_EQ(duet.size(), 2u);
    EXPECT_EQ(duet[0].location, duet[1].location);
    std::set<QString> singers;
    for (const SongRow& row : duet)
        singers.insert(
            open_recordset("SELECT * FROM singer WHERE singer_code = " + QString::number(row.singer_code),
                           folder->file("karaoke.db"))
                .Field("singer_name"));
    EXPECT_EQ(singers, (std::set<QString>{"林雨晴", "張明遠"}));
}

TEST_F(DemoLibraryTest, EachSingerIsRegisteredOnceWithTheirCategory) {
    std::map<QString, int> sex_of_singer;
    for (Recordset singer = open_recordset("SELECT * FROM singer", folder->file("karaoke.db")); !singer.Eof();
         singer.MoveNext())
        sex_of_singer[singer.Field("singer_name")] = singer.FieldInt("singer_sex");
    EXPECT_EQ(sex_of_singer,
              (std::map<QString, int>{{"黃柏霖", 1}, {"林雨晴", 0}, {"張明遠", 1}, {"陳映秋", 0}}));
}

TEST_F(DemoLibraryTest, EveryClipIsInTheProgramFolderWithVideoAndThreeAudioStreams) {
    for (const SongRow& row : rows()) {
        EXPECT_TRUE(QFileInfo(row.location).isAbsolute());
        EXPECT_TRUE(row.location.startsWith(folder->file("demo-songs/"))) << row.location.toStdString();
        EXPECT_EQ(stream_types(row.location), (QStringList{"video", "audio", "audio", "audio"}))
            << row.location.toStdString();
    }
    EXPECT_TRUE(QDir(folder->file("demo-songs")).entryList({"*.part"}, QDir::Files).isEmpty());
}

TEST_F(DemoLibraryTest, TheSongbookFileListsNumberTitleAndSingers) {
    QFile file(folder->file("demo-songbook.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString songbook = QString::fromUtf8(file.readAll());
    EXPECT_EQ(songbook, outcome.songbook);
    const QStringList lines = songbook.split('\n');
    for (const SongRow& row : rows()) {
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const QString& l) { return l.startsWith(row.number); });
        ASSERT_NE(line, lines.end()) << row.number.toStdString();
        EXPECT_TRUE(line->contains(row.title));
    }
    EXPECT_TRUE(songbook.contains(QRegularExpression("106001 +城市的另一邊 +林雨晴、張明遠\n")));
    EXPECT_TRUE(songbook.contains("【台語】\n004001"));
}

TEST_F(DemoLibraryTest, ASecondRunAddsNoSongAndMakesNoClip) {
    const std::vector<SongRow> before = rows();
    const QDateTime clip_time = modified(before[0].location);
    const DemoOutcome again = make_demo_library(folder->path(), short_demo());
    EXPECT_FALSE(again.made);
    EXPECT_EQ(rows().size(), before.size());
    EXPECT_EQ(modified(before[0].location), clip_time);
}

TEST(DemoLibrary, ClipsAlreadyThereAreKeptWhenTheCatalogueIsEmptyAgain) {
    TempFolder folder;
    make_demo_library(folder.path(), short_demo(1));
    const SongRow first = song_rows(folder).at(0);
    const QDateTime clip_time = modified(first.location);
    execute_sql("DELETE FROM song", folder.file("karaoke.db"));

    EXPECT_TRUE(make_demo_library(folder.path(), short_demo(1)).made);
    const std::vector<SongRow> rows = song_rows(folder);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].number, first.number);
    EXPECT_EQ(modified(first.location), clip_time);
    close_kept_connection();
}

TEST(DemoLibrary, AFailureAfterTheInsertsLeavesNoSongsAndTheNextRunTriesAgain) {
    TempFolder folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("demo-songbook.txt"));  // where the song book file belongs
    EXPECT_THROW(make_demo_library(folder.path(), short_demo(1)), std::runtime_error);
    EXPECT_TRUE(song_rows(folder).empty());

    ASSERT_TRUE(QDir(folder.path()).rmdir("demo-songbook.txt"));
    EXPECT_TRUE(make_demo_library(folder.path(), short_demo(1)).made);
    EXPECT_EQ(song_rows(folder).size(), 1u);
    close_kept_connection();
}

TEST(DemoLibrary, TheFullListSpansEveryCategoryLengthAndKindOfSinger) {
    std::set<int> kinds, lengths, sexes;
    int duets = 0;
    for (const DemoSong& song : demo_songs()) {
        kinds.insert(song.kind);
        lengths.insert(static_cast<int>(song.title.size()));
        duets += song.singers.size() == 2;
    }
    for (const DemoSinger& singer : demo_singers()) sexes.insert(singer.sex);
    EXPECT_EQ(kinds, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_GE(lengths.size(), 6u);
    EXPECT_GE(*lengths.rbegin(), 10);  // the screens' "ten and more" group
    EXPECT_EQ(sexes, (std::set<int>{0, 1, 2}));
    EXPECT_GE(demo_singers().size(), 6u);
    EXPECT_EQ(duets, 1);
}

}  // namespace
