#include "foundation/settings_file.h"

#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <climits>

namespace {

QByteArray read_bytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void write_bytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The file a fresh program folder receives, written out in full so that any
// change to a comment, a blank or a line end shows.
QByteArray fresh_file(const QString& app_folder) {
    const QString home = QDir::homePath();
    const QStringList lines = {
        "# 小視窗離上位置, 單位=twip, 1cm=567 twip",
        "SmallScreenTop = 200",
        "# 小視窗離左位置, 單位=twip, 1cm=567 twip",
        "SmallScreenLeft = 700",
        "# 錄音檔位置",
        "RecordPath = " + app_folder + "Record",
        "# CD-ROM / DVD-ROM 的路徑",
        "pathCDROM = /media/cdrom",
        "# 音樂檔的路徑",
        "pathMusic = " + home + "/Music",
        "# 音樂檔的副檔名",
        "ExtMusic = mp3,wav,mid,cda",
        "# 圖片檔的路徑",
        "pathPicture = " + home + "/Pictures",
        "# 圖片檔的副檔名",
        "ExtPicture = jpg,bmp",
        "# 圖片檔的副檔名",
        "ExtPictureMov = avi,mpg,mpeg,dat",
        "# 鍵盤定義 .. \"/\" ",
        "keyDevide = 47",
        "# 鍵盤定義 .. \"*\" ",
        "keyMultiplication = 42",
        "# 鍵盤定義 .. \"-\" ",
        "keyMinus = 45",
        "# 鍵盤定義 .. \"+\" ",
        "keyPlus = 43",
        "# 鍵盤定義 .. \"Enter\" ",
        "keyEnter = 13",
        "# 鍵盤定義 .. \".\" ",
        "keyDot = 46",
        "# 鍵盤定義 .. \"0\" ",
        "keyNum(0) = 48",
        "# 鍵盤定義 .. \"1\" ",
        "keyNum(1) = 49",
        "# 鍵盤定義 .. \"2\" ",
        "keyNum(2) = 50",
        "# 鍵盤定義 .. \"3\" ",
        "keyNum(3) = 51",
        "# 鍵盤定義 .. \"4\" ",
        "keyNum(4) = 52",
        "# 鍵盤定義 .. \"5\" ",
        "keyNum(5) = 53",
        "# 鍵盤定義 .. \"6\" ",
        "keyNum(6) = 54",
        "# 鍵盤定義 .. \"7\" ",
        "keyNum(7) = 55",
        "# 鍵盤定義 .. \"8\" ",
        "keyNum(8) = 56",
        "# 鍵盤定義 .. \"9\" ",
        "keyNum(9) = 57",
        "# 熱鍵定義 聲道1 default=Q  ",
        "HotKeySoundChannel1 = 81",
        "# 熱鍵定義 聲道2 default=W  ",
        "HotKeySoundChannel2 = 87",
        "# 熱鍵定義 聲道3 default=E  ",
        "HotKeySoundChannel3 = 69",
        "# 熱鍵定義 錄音  default=R ",
        "HotKeyRecord = 82",
        "# 熱鍵定義 暫停  default=P ",
        "HotKeyPause = 80",
        "# 熱鍵定義 重唱  default=A ",
        "HotKeyReplay = 65",
        "# 熱鍵定義 大聲  default=X ",
        "HotKeyVolIncrease = 88",
        "# 熱鍵定義 小聲  default=Z ",
        "HotKeyVolDecrease = 90",
    };
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

class SettingsFile : public ::testing::Test {
protected:
    QString ini() const { return folder_.file("Setting.ini"); }

    // Starts up on a Setting.ini holding exactly these bytes.
    const Settings& load_from(const QByteArray& bytes) {
        write_bytes(ini(), bytes);
        load_settings(*state_);
        return state_->settings;
    }

    Settings defaults() const { return default_settings(folder_.path()); }

    TempFolder folder_;
    std::unique_ptr<AppState> state_ = make_test_state(folder_);
};

TEST_F(SettingsFile, FreshFolderGetsEveryPairInOrderAndTheDefaults) {
    load_settings(*state_);

    EXPECT_EQ(read_bytes(ini()), fresh_file(folder_.path()));
    EXPECT_EQ(state_->settings, defaults());
    EXPECT_TRUE(QFileInfo(folder_.file("Record")).isDir());
}

TEST_F(SettingsFile, SecondStartAppendsNothing) {
    load_settings(*state_);
    const QByteArray first = read_bytes(ini());
    load_settings(*state_);
    EXPECT_EQ(read_bytes(ini()), first);
}

TEST_F(SettingsFile, MissingKeysAreAppendedAfterTheUsersLines) {
    const QByteArray fresh = fresh_file(folder_.path());
    const QByteArray without_music_block = QByteArray(fresh).replace(
        "# 音樂檔的路徑\r\npathMusic = " + QDir::homePath().toUtf8() + "/Music\r\n", "");

    // With and without a line end after the user's only line: the appended
    // comment must never run into it.
    for (const QByteArray& own_line :
         {QByteArray("pathmusic=/songs/mp3\r\n"), QByteArray("pathmusic=/songs/mp3")}) {
        const Settings& settings = load_from(own_line);
        EXPECT_EQ(settings.pathMusic, "/songs/mp3");
        EXPECT_EQ(read_bytes(ini()), "pathmusic=/songs/mp3\r\n" + without_music_block);
    }
}

TEST_F(SettingsFile, ValuesAreReadByKind) {
    const Settings& settings = load_from(
        "keyPlus = 0107\r\n"
        "SmallScreenTop = 2.5\r\n"
        "SmallScreenLeft=3.5 twips\r\n"
        "keyNum(3) =  97\r\n"
        "keyDot = dot\r\n"
        "pathPicture = /photos=old\r\n"
        "ExtMusic =   mp3 , ogg  \r\n");
    EXPECT_EQ(settings.keyPlus, "107");
    EXPECT_EQ(settings.SmallScreenTop, 2);
    EXPECT_EQ(settings.SmallScreenLeft, 4);
    EXPECT_EQ(settings.keyNum[3], "97");
    EXPECT_EQ(settings.keyDot, "0");
    EXPECT_EQ(settings.pathPicture, "/photos");
    EXPECT_EQ(settings.ExtMusic, "mp3 , ogg");
}

TEST_F(SettingsFile, OptionalFeatureKeysAreReadButNeverAdded) {
    load_settings(*state_);
    for (const char* key : {"ExportXlsx", "StereoChannel", "KeyChange"})
        EXPECT_FALSE(read_bytes(ini()).contains(key)) << key;
    EXPECT_EQ(state_->settings.ExportXlsx, 0);
    EXPECT_EQ(state_->settings.StereoChannel, 0);
    EXPECT_EQ(state_->settings.KeyChange, 0);

    EXPECT_EQ(load_from("exportxlsx = 1\r\n").ExportXlsx, 1);
    EXPECT_EQ(read_bytes(ini()).count("ExportXlsx"), 0);
    EXPECT_EQ(read_bytes(ini()).count("exportxlsx"), 1);

    const Settings both = load_from("StereoChannel = 1\r\nkeychange = 1\r\n");
    EXPECT_EQ(both.StereoChannel, 1);
    EXPECT_EQ(both.KeyChange, 1);
    EXPECT_EQ(read_bytes(ini()).count("StereoChannel"), 1);
    EXPECT_EQ(read_bytes(ini()).count("KeyChange"), 0);
}

TEST_F(SettingsFile, PhoneOrderingKeysAreReadButNeverAdded) {
    load_settings(*state_);
    EXPECT_FALSE(read_bytes(ini()).contains("PhoneOrdering"));
    EXPECT_EQ(state_->settings.PhoneOrdering, 0);
    EXPECT_EQ(state_->settings.PhoneOrderingPort, 8080);
    EXPECT_EQ(state_->settings.PhoneOrderingPin, "");

    const Settings settings =
        load_from("PhoneOrdering = 1\r\nPhoneOrderingPort = 9090\r\nPhoneOrderingPin = 0042\r\n");
    EXPECT_EQ(settings.PhoneOrdering, 1);
    EXPECT_EQ(settings.PhoneOrderingPort, 9090);
    EXPECT_EQ(settings.PhoneOrderingPin, "0042");
    EXPECT_EQ(read_bytes(ini()).count("PhoneOrdering"), 3);
}

TEST_F(SettingsFile, CatalogueServerKeyIsReadButNeverAdded) {
    load_settings(*state_);
    EXPECT_FALSE(read_bytes(ini()).contains("CatalogueServer"));
    EXPECT_EQ(load_from("CatalogueServer = postgresql://room:pw@10.0.0.5:5432/karaoke\r\n").CatalogueServer,
              "postgresql://room:pw@10.0.0.5:5432/karaoke");
}

TEST_F(SettingsFile, OurTextKeysTakeTheWholeRestOfTheLineAndTheJukeboxKeysStopAtASecondEquals) {
    const Settings& settings = load_from(
        "CatalogueServer =  postgresql://room:p=w@db/karaoke?host=/run/pg&sslmode=verify-full  \r\n"
        "PhoneOrderingPin = 12=34\r\n"
        "PhoneOrderingPort = 9090=80\r\n"
        "pathMusic = /songs=old\r\n"
        "SmallScreenTop = 300=400\r\n"
        "keyPlus = 43=45\r\n");
    EXPECT_EQ(settings.CatalogueServer, "postgresql://room:p=w@db/karaoke?host=/run/pg&sslmode=verify-full");
    EXPECT_EQ(settings.PhoneOrderingPin, "12=34");
    EXPECT_EQ(settings.PhoneOrderingPort, 9090);
    EXPECT_EQ(settings.pathMusic, "/songs");
    EXPECT_EQ(settings.SmallScreenTop, 300);
    EXPECT_EQ(settings.keyPlus, "43");
}

TEST_F(SettingsFile, AByteOrderMarkDoesNotHideTheFirstKey) {
    EXPECT_EQ(load_from("\xEF\xBB\xBFpathMusic = /bom\r\n").pathMusic, "/bom");
    EXPECT_EQ(read_bytes(ini()).count("pathMusic ="), 1);
}

TEST_F(SettingsFile, AWordForAnIntegerReadsZero) {
    EXPECT_EQ(load_from("SmallScreenTop = high\r\n").SmallScreenTop, 0);
}

TEST_F(SettingsFile, KeysIgnoreCaseAndTheLastOccurrenceWins) {
    const Settings& settings = load_from(
        "PATHMUSIC = /first\r\n"
        "PathMusic = /second\r\n"
        "smallscreenleft = 10\r\n");
    EXPECT_EQ(settings.pathMusic, "/second");
    EXPECT_EQ(settings.SmallScreenLeft, 10);
}

TEST_F(SettingsFile, CommentsUnknownKeysAndHotkeysChangeNothing) {
    const QByteArray own_lines =
        "# pathMusic = /commented\r\n"
        "   # SmallScreenTop = 1\r\n"
        "\r\n"
        "Volume = 7\r\n"
        "HotKeyPause = 99\r\n";
    Settings expected = defaults();
    EXPECT_EQ(load_from(own_lines), expected);

    // The commented keys count as missing and are appended; the user's
    // hotkey line is kept as it is.
    const QString file = QString::fromUtf8(read_bytes(ini()));
    EXPECT_TRUE(file.startsWith(QString::fromUtf8(own_lines)));
    EXPECT_TRUE(file.contains("\r\npathMusic = "));
    EXPECT_TRUE(file.contains("\r\nSmallScreenTop = 200\r\n"));
    EXPECT_FALSE(file.contains("HotKeyPause = 80"));
}

TEST_F(SettingsFile, ABareKeyWithoutValueIsHarmless) {
    EXPECT_EQ(load_from("RecordPath\r\n"), defaults());
    EXPECT_TRUE(QFileInfo(folder_.file("Record")).isDir());
}

TEST_F(SettingsFile, RecordFolderIsCreatedOneLevelDeep) {
    load_from("RecordPath = " + folder_.file("songs").toUtf8() + "\r\n");
    EXPECT_TRUE(QFileInfo(folder_.file("songs")).isDir());

    load_from("RecordPath = " + folder_.file("no/such/parent").toUtf8() + "\r\n");
    EXPECT_EQ(state_->settings.RecordPath, folder_.file("no/such/parent"));
    EXPECT_FALSE(QFileInfo::exists(folder_.file("no")));
}

TEST(SettingsFileFailures, AFolderThatCannotHoldTheFileLeavesTheDefaults) {
    TempFolder folder;
    auto state = make_test_state(folder);
    state->app_folder = folder.file("missing/");
    state->settings.SmallScreenTop = 1;
    const LogLines log;

    load_settings(*state);

    EXPECT_EQ(state->settings, default_settings(folder.file("missing/")));
    EXPECT_FALSE(QFileInfo::exists(folder.file("missing")));
    EXPECT_TRUE(log.of("karaoke.settings")
                    .value(0)
                    .startsWith("could not create " + folder.file("missing/Setting.ini")))
        << log.of("karaoke.settings").join("\n").toStdString();
}

TEST(SettingsFileFailures, AnUnreadableFileLeavesTheDefaultsAndIsNotReplaced) {
    TempFolder folder;
    auto state = make_test_state(folder);
    ASSERT_TRUE(QDir().mkdir(folder.file("Setting.ini")));  // a folder cannot be read as a file

    load_settings(*state);

    EXPECT_EQ(state->settings, default_settings(folder.path()));
    EXPECT_TRUE(QFileInfo(folder.file("Setting.ini")).isDir());
}

TEST(NumericValue, ReadsTheLeadingNumber) {
    EXPECT_EQ(numeric_value("0107"), 107);
    EXPECT_EQ(numeric_value("  -12.5kg"), -12.5);
    EXPECT_EQ(numeric_value("+3"), 3);
    EXPECT_EQ(numeric_value(".5"), 0.5);
    EXPECT_EQ(numeric_value("1e3"), 1000);
    EXPECT_EQ(numeric_value("1 2"), 12);
    EXPECT_EQ(numeric_value("4.7.1"), 4.7);
    EXPECT_EQ(numeric_value(""), 0);
    EXPECT_EQ(numeric_value("abc"), 0);
    EXPECT_EQ(numeric_value("inf"), 0);
    EXPECT_EQ(numeric_value("二十"), 0);
}

TEST(NumericValue, IntegersRoundHalvesToEvenAndStayInRange) {
    EXPECT_EQ(integer_value("2.5"), 2);
    EXPECT_EQ(integer_value("3.5"), 4);
    EXPECT_EQ(integer_value("-2.5"), -2);
    EXPECT_EQ(integer_value("2.51"), 3);
    EXPECT_EQ(integer_value("1e30"), INT_MAX);
    EXPECT_EQ(integer_value("-1e30"), INT_MIN);
}

TEST(NumericValue, KeyCodesBecomePlainDecimalTexts) {
    EXPECT_EQ(key_code_text("047"), "47");
    EXPECT_EQ(key_code_text(" 13 "), "13");
    EXPECT_EQ(key_code_text("-0"), "0");
    EXPECT_EQ(key_code_text("Enter"), "0");
}

}  // namespace
