#include "foundation/lookups.h"
#include "manager/batch_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

const QStringList kFolder{"a.txt", "song07.mpg", "歌07.mp3", "love song.avi", "x1234.dat"};

BatchCheck check(const QString& text, const QStringList& folder = kFolder) {
    return check_batch_file(text, folder, song_kind_names());
}

TEST(BatchFile, Utf8WithOrWithoutMarkAndBig5AreRead) {
    const QString text = "歌07,家後,台語,江蕙,2\n";
    EXPECT_EQ(decode_text_file(text.toUtf8()), text);
    EXPECT_EQ(decode_text_file("\xEF\xBB\xBF" + text.toUtf8()), text);
    // "家後" in Big5 (code page 950): AE61 AB E1.
    EXPECT_EQ(decode_text_file(QByteArray("1,\xAE\x61\xAB\xE1,x\r\n")), "1,家後,x\r\n");
    // A Big5 file starting with a UTF-8 mark by mistake still reads.
    EXPECT_EQ(decode_text_file(QByteArray("\xEF\xBB\xBF\xAE\x61")), "家");
}

TEST(BatchFile, CrLfAndLfBothEndLines) {
    EXPECT_EQ(text_lines("a\r\nb\nc\r\n"), QStringList({"a", "b", "c"}));
    EXPECT_EQ(text_lines("a\r\n\r\nb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(text_lines(""), QStringList());
}

TEST(BatchFile, TheFirstFieldFindsTheExactNameOrTheEndOfABaseName) {
    EXPECT_EQ(find_batch_media_file("love song.avi", kFolder), "love song.avi");
    EXPECT_EQ(find_batch_media_file("7", kFolder), "song07.mpg");  // the first in folder order
    EXPECT_EQ(find_batch_media_file("07", kFolder), "song07.mpg");
    EXPECT_EQ(find_batch_media_file(" 007 ", kFolder), "song07.mpg");
    EXPECT_EQ(find_batch_media_file("1234", kFolder), "x1234.dat");
    EXPECT_EQ(find_batch_media_file("SONG", kFolder), "love song.avi");  // the end of the name, in any case
    EXPECT_EQ(find_batch_media_file("avi", kFolder), "");                // the extension is no part of it
    EXPECT_EQ(find_batch_media_file("lov", kFolder), "");
    EXPECT_EQ(find_batch_media_file("8", kFolder), "");
    EXPECT_EQ(find_batch_media_file("", kFolder), "");
    EXPECT_EQ(find_batch_media_file("../a.txt", kFolder), "");
}

TEST(BatchFile, CommentsAndBlankLinesAreNoData) {
    const BatchCheck result = check("# 說明\r\n   # 又一行\r\n\r\n   \r\n");
    EXPECT_EQ(result.problem, BatchProblem::None);
    EXPECT_EQ(result.data_lines, 0);
    EXPECT_TRUE(result.songs.empty());
}

TEST(BatchFile, DataLinesGiveFileTitleKindSingerAndLength) {
    const BatchCheck result = check("7, 家後 ,台語, 江蕙 ,2,extra\nlove song.avi,Love,英語,Band,3.9\n");
    ASSERT_EQ(result.problem, BatchProblem::None);
    ASSERT_EQ(result.songs.size(), 2u);
    EXPECT_EQ(result.songs[0].file_name, "song07.mpg");
    EXPECT_EQ(result.songs[0].song_name, "家後");
    EXPECT_EQ(result.songs[0].song_kind, 0);
    EXPECT_EQ(result.songs[0].singer, "江蕙");
    EXPECT_EQ(result.songs[0].text_count, 2);
    EXPECT_EQ(result.songs[1].song_kind, 3);
    EXPECT_EQ(result.songs[1].text_count, 3);
}

TEST(BatchFile, EachProblemNamesTheLineAndStopsTheCheck) {
    BatchCheck result = check("7,家後,台語,江蕙\n8,x,y\n");
    EXPECT_EQ(result.problem, BatchProblem::TooFewFields);
    EXPECT_EQ(result.message(), "批次檔內容錯誤 !\n7,家後,台語,江蕙");

    result = check("7,家後,台語,江蕙,2\n8,家後,台語,江蕙,2\n");
    EXPECT_EQ(result.message(), "您所指定的批次檔中=>8,家後,台語,江蕙,2<=找不到指定的檔!");
    EXPECT_TRUE(result.songs.empty());

    result = check("7,家後, 國語,江蕙,2");
    EXPECT_EQ(result.message(), "您所指定的批次檔中=>7,家後, 國語,江蕙,2<=找不到指定的歌曲種類!");

    for (const char* count : {"0.5", "0", "abc", "", "-2", "255", "1e9"}) {
        result = check(QString("7,家後,國語,江蕙,%1").arg(count));
        EXPECT_EQ(result.message(),
                  QString("您所指定的批次檔中=>7,家後,國語,江蕙,%1<=所定義的字數有問題!").arg(count));
    }
}

TEST(BatchFile, MoreThan501DataLinesAreRefusedBeforeAnyCheck) {
    QString text = "# 501 lines pass\n";
    for (int i = 0; i < kMostBatchLines; ++i) text += "7,歌,國語,人,1\n";
    EXPECT_EQ(check(text).problem, BatchProblem::None);
    text += "no fields\n";
    const BatchCheck result = check(text);
    EXPECT_EQ(result.problem, BatchProblem::TooManyLines);
    EXPECT_TRUE(result.message().contains("501"));
    EXPECT_TRUE(result.message().contains("502"));
}

}  // namespace
