#include "foundation/lookups.h"
#include "manager/song_file_name.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

SongFileName parse(const QString& name) {
    return parse_song_file_name(name, song_kind_names());
}

TEST(SongFileName, AWellFormedNameGivesSingersTitleKindAndLength) {
    const SongFileName song = parse(" 江蕙 + 陳雷 ,  家後 ,國語, 2 .mp3");
    EXPECT_EQ(song.format_error, FileNameError::None);
    EXPECT_EQ(song.singer, "江蕙 + 陳雷");
    EXPECT_EQ(song.singer_names(), QStringList({"江蕙", "陳雷"}));
    EXPECT_EQ(song.song_name, "家後");
    EXPECT_EQ(song.kind_name, "國語");
    EXPECT_EQ(song.text_count, 2);
}

TEST(SongFileName, OnlyTheLastExtensionIsCutOff) {
    const SongFileName song = parse("歌手,Mr.Lonely,英語,9.mpg");
    EXPECT_EQ(song.format_error, FileNameError::None);
    EXPECT_EQ(song.song_name, "Mr.Lonely");
    EXPECT_EQ(song.text_count, 9);
}

TEST(SongFileName, AnUnknownCategoryIsErrorOneAndABadLengthWinsOverIt) {
    EXPECT_EQ(parse("歌手,歌名,華語,2.mp3").format_error, FileNameError::UnknownKind);
    EXPECT_EQ(parse("歌手,歌名, 國語 ,2.mp3").format_error, FileNameError::None);  // parts are trimmed
    EXPECT_EQ(parse("歌手,歌名,華語,0.mp3").format_error, FileNameError::BadTextCount);
}

TEST(SongFileName, LengthsOutsideOneTo254OrNoNumberAreErrorTwo) {
    for (const char* count : {"0", "255", "abc", "", "-3", "0.4", "254.6", "1e3", "nan", "inf", "3,"}) {
        const SongFileName song = parse(QString("歌手,歌名,國語,%1.mp3").arg(count));
        EXPECT_NE(song.format_error, FileNameError::None) << count;
        EXPECT_EQ(song.text_count, kNoTextCount) << count;
    }
    EXPECT_EQ(parse("歌手,歌名,國語,254.mp3").text_count, 254);
    EXPECT_EQ(parse("歌手,歌名,國語,1.mp3").text_count, 1);
    EXPECT_EQ(parse("歌手,歌名,國語,2.6.x.mp3").text_count, kNoTextCount);
}

TEST(SongFileName, FractionalLengthsRoundHalfToEven) {
    EXPECT_EQ(parse("歌手,歌名,國語,3.7.mp3").text_count, 4);
    EXPECT_EQ(parse("歌手,歌名,國語,2.5.mp3").text_count, 2);
    EXPECT_EQ(parse("歌手,歌名,國語,3.5.mp3").text_count, 4);
    EXPECT_EQ(parse("歌手,歌名,國語,0.6.mp3").text_count, 1);
}

TEST(SongFileName, TwoOrFivePartsOrEmptyNamesAreErrorThree) {
    EXPECT_EQ(parse("歌手,歌名.mp3").format_error, FileNameError::WrongPartCount);
    EXPECT_EQ(parse("歌手,歌名,國語,2,多.mp3").format_error, FileNameError::WrongPartCount);
    EXPECT_EQ(parse("noext").format_error, FileNameError::WrongPartCount);
    EXPECT_EQ(parse("歌手, ,國語,2.mp3").format_error, FileNameError::WrongPartCount);
    EXPECT_EQ(parse("甲++乙,歌名,國語,2.mp3").format_error, FileNameError::WrongPartCount);
    EXPECT_EQ(parse(",歌名,國語,2.mp3").format_error, FileNameError::WrongPartCount);
}

TEST(SongFileName, SupportedExtensionsInAnyCase) {
    for (const char* name : {"a.dat", "a.MPG", "a.Avi", "a.mpeg", "a.WAV", "a.mp3", "a.MID", "x,y,z,1.Mp3"})
        EXPECT_TRUE(is_supported_song_file(name)) << name;
    for (const char* name : {"a.mp4", "a.txt", "mp3", "a.mp3.bak", "a.", ""})
        EXPECT_FALSE(is_supported_song_file(name)) << name;
}

TEST(SongFileName, UserNumbers) {
    double value = 0;
    EXPECT_TRUE(parse_user_number(" 3.9 ", value));
    EXPECT_DOUBLE_EQ(value, 3.9);
    EXPECT_TRUE(parse_user_number(".5", value));
    EXPECT_TRUE(parse_user_number("+2", value));
    EXPECT_TRUE(parse_user_number("1e2", value));
    EXPECT_DOUBLE_EQ(value, 100);
    for (const char* text : {"", " ", "abc", "1e999", "0x10", "1,5", "3a", "--1", "."})
        EXPECT_FALSE(parse_user_number(text, value)) << text;
}

}  // namespace
