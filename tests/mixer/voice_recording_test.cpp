#include "playback/voice_recording.h"

#include "foundation/settings.h"
#include "mixer/mixer_fixture.h"
#include "platform/wave_capture.h"
#include "support/fake_wave_capture.h"
#include "support/test_support.h"
#include "support/wave_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class VoiceRecordingTest : public ::testing::Test {
protected:
    VoiceRecordingTest() { state->platform.capture = &capture; }
    void start_take() {
        for (const char* command : {kCaptureCloseAll, kCaptureOpen, kCaptureStop, kCaptureSeekToStart,
                                    kCaptureSetFormat, kCaptureRecord})
            capture.send(command);
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    FakeWaveCapture capture;
    QString record_file = folder.file("2612081405夜曲--歌手甲.wav");
};

TEST_F(VoiceRecordingTest, AnEndedTakeIsSavedUnderItsNameAndTheTemporaryFileGoes) {
    start_take();
    end_recording_take(*state, record_file);
    EXPECT_TRUE(QFile::exists(record_file));
    EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
    EXPECT_EQ(
        capture.commands.mid(6),
        (QStringList{kCaptureStop, kCaptureSavePrefix + folder.file("TEMPWave.wav"), kCaptureCloseAll}));
}

TEST_F(VoiceRecordingTest, WithoutSoundInputNothingIsSavedAndNothingBreaks) {
    capture.fail_open = true;
    start_take();
    end_recording_take(*state, record_file);
    EXPECT_FALSE(QFile::exists(record_file));
    EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
}

TEST_F(VoiceRecordingTest, ATakeThatCannotBeWrittenUnderItsNameIsLostAndLogged) {
    record_file = folder.file("no such folder/take.wav");
    const LogLines log;
    start_take();
    end_recording_take(*state, record_file);
    EXPECT_FALSE(QFile::exists(record_file));
    EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
    EXPECT_EQ(log.of("karaoke.capture"), QStringList{"take lost: neither renamed nor copied from " +
                                                     folder.file("TEMPWave.wav") + " to " + record_file});
}

TEST_F(VoiceRecordingTest, ADiscardedTakeLeavesNoFile) {
    start_take();
    end_recording_take(*state, record_file);  // the cut stops the song first, which ends the take
    discard_recording_take(*state, record_file);
    EXPECT_FALSE(QFile::exists(record_file));
    EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
    EXPECT_EQ(capture.commands.last(), kCaptureCloseAll);
}

}  // namespace

namespace {

// Takes over the player on the fake engine and the fake sound input.
class RecordingTakeTest : public ::testing::Test, public MixerFixture {
protected:
    QString record_folder() const { return state->settings.RecordPath + "/"; }
    QString temporary() const { return folder.file("TEMPWave.wav"); }
    // The file name a take of song 1 started now gets, or a minute later.
    QStringList names_of_this_minute() const {
        const QDateTime now = QDateTime::currentDateTime();
        return {record_file_name(state->settings.RecordPath, now, "歌1--江蕙"),
                record_file_name(state->settings.RecordPath, now.addSecs(60), "歌1--江蕙")};
    }
    static QStringList start_commands() {
        return {kCaptureCloseAll,    kCaptureOpen,      kCaptureStop,
                kCaptureSeekToStart, kCaptureSetFormat, kCaptureRecord};
    }
    QStringList end_commands() const {
        return {kCaptureStop, kCaptureSavePrefix + temporary(), kCaptureCloseAll};
    }
};

TEST_F(RecordingTakeTest, ATakeRestartsTheSongAfterTwoSecondsOfBackgroundAndIsSavedWhenItEnds) {
    open_playing();
    const QString url = media().played_urls.value(0);
    bool background_meanwhile = false;
    int commands_meanwhile = -1;
    const qint64 pressed = state->clock.elapsed_design_ms();
    during([&] { key(Settings::HotKeyRecord); }, 1000,
           [&] {
               background_meanwhile = background_shown;
               commands_meanwhile = capture.commands.size();
           });
    EXPECT_GE(state->clock.elapsed_design_ms() - pressed, 2000);
    EXPECT_TRUE(background_meanwhile);
    EXPECT_EQ(commands_meanwhile, 0);
    EXPECT_EQ(media().played_urls, (QStringList{url, url}));  // from its beginning again
    EXPECT_EQ(media().play_state(), play_state::playing);
    EXPECT_EQ(capture.commands, start_commands());
    EXPECT_TRUE(capture.recording);
    EXPECT_TRUE(session().is_recording());
    EXPECT_TRUE(session().watching());
    EXPECT_EQ(mixer().cmdRecord.text(), "錄音中");
    EXPECT_EQ(message(), "錄音");
    EXPECT_TRUE(names_of_this_minute().contains(session().record_file()))
        << session().record_file().toStdString();

    // The control panel's "4音效" opened during the take shows it too.
    mixer().Form_KeyPress('0');
    QString caption_on_reload;
    QTimer::singleShot(0, &mixer(), [&] {
        caption_on_reload = mixer().cmdRecord.text();
        mixer().Form_KeyPress('0');
    });
    mixer().show_from_panel({});
    EXPECT_EQ(caption_on_reload, "錄音中");

    media().finish_song();
    EXPECT_FALSE(session().is_recording());
    EXPECT_EQ(mixer().cmdRecord.text(), "9錄音");
    EXPECT_EQ(capture.commands.mid(6), end_commands());
    QByteArray frames;
    EXPECT_TRUE(read_recorded_wave(session().record_file(), frames));
    EXPECT_FALSE(QFile::exists(temporary()));
}

TEST_F(RecordingTakeTest, RecordPressedTwiceStartsAgainIntoTheSameName) {
    open_playing();
    mixer().Form_KeyPress('9');
    const QString first_name = session().record_file();
    QString caption_meanwhile;
    during([&] { mixer().cmdRecord_Click(); }, 1000, [&] { caption_meanwhile = mixer().cmdRecord.text(); });
    EXPECT_EQ(caption_meanwhile, "重錄");
    EXPECT_EQ(session().record_file(), first_name);
    EXPECT_EQ(media().played_urls.size(), 3);
    EXPECT_TRUE(session().is_recording());
    EXPECT_EQ(mixer().cmdRecord.text(), "錄音中");
    // Stopping the song ends the first take, whose file the restart removes.
    const QStringList restart{kCaptureStop,        kCaptureCloseAll,  kCaptureOpen,
                              kCaptureSeekToStart, kCaptureSetFormat, kCaptureRecord};
    EXPECT_EQ(capture.commands.mid(6), end_commands() + restart);
    EXPECT_FALSE(QFile::exists(first_name));

    media().finish_song();
    QByteArray frames;
    EXPECT_TRUE(read_recorded_wave(first_name, frames));
    EXPECT_EQ(QDir(record_folder()).entryList(QDir::Files).size(), 1);
}

TEST_F(RecordingTakeTest, RecordDoesNothingWhileNoSongPlays) {
    queue_song(2);
    open_playing();
    // During the three seconds of background before song 2.
    during([&] { media().finish_song(); }, 1000, [&] { key(Settings::HotKeyRecord); });
    EXPECT_EQ(media().played_urls.size(), 2);
    // Paused, and after the queue ran out.
    media().pause();
    mixer().cmdRecord_Click();
    media().play();
    media().finish_song();
    ASSERT_EQ(media().play_state(), play_state::undefined);
    mixer().Form_KeyPress('9');
    EXPECT_TRUE(capture.commands.isEmpty());
    EXPECT_FALSE(session().is_recording());
    EXPECT_EQ(mixer().cmdRecord.text(), "9錄音");
    EXPECT_TRUE(QDir(record_folder()).isEmpty());
}

TEST_F(RecordingTakeTest, WithoutSoundInputATakeLeavesNoFileAndTheLogSaysWhy) {
    capture.fail_open = true;
    const LogLines log;
    open_playing();
    key(Settings::HotKeyRecord);
    EXPECT_TRUE(session().is_recording());  // the song plays on; nothing tells the guest
    media().finish_song();
    EXPECT_FALSE(session().is_recording());
    EXPECT_TRUE(QDir(record_folder()).isEmpty());
    EXPECT_FALSE(QFile::exists(temporary()));
    EXPECT_EQ(log.of("karaoke.capture"), QStringList{QString("capture command failed: ") + kCaptureOpen +
                                                     " -> no sound input (missing, busy or failed)"});
}

TEST_F(RecordingTakeTest, ClosingThePlayerDuringTheBackgroundStartsNoTake) {
    open_playing();
    during([&] { key(Settings::HotKeyRecord); }, 1000, [&] { session().close(); });
    EXPECT_FALSE(session().is_recording());
    EXPECT_TRUE(capture.commands.isEmpty());
    EXPECT_EQ(media().played_urls.size(), 1);
}

TEST_F(RecordingTakeTest, ASecondTakeOfTheSameSongInTheSameMinuteKeepsTheFirst) {
    for (const QString& name : names_of_this_minute()) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("first take");
    }
    open_playing();
    key(Settings::HotKeyRecord);
    EXPECT_TRUE(session().record_file().endsWith("歌1--江蕙 (2).wav"))
        << session().record_file().toStdString();
    media().finish_song();
    for (const QString& name : names_of_this_minute()) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "first take");
    }
}

TEST_F(RecordingTakeTest, ATrailingSeparatorOnTheRecordingsFolderMakesNoDifference) {
    const QDateTime when(QDate(2006, 12, 7), QTime(14, 5));
    const QString expected = folder.file("Record/0612071405夜曲--歌手甲.wav");
    EXPECT_EQ(record_file_name(folder.file("Record"), when, "  夜曲--歌手甲 "), expected);
    EXPECT_EQ(record_file_name(folder.file("Record/"), when, "夜曲--歌手甲"), expected);

    state->settings.RecordPath = folder.file("Record/");
    open_playing();
    key(Settings::HotKeyRecord);
    media().finish_song();
    EXPECT_EQ(QFileInfo(session().record_file()).absolutePath() + "/", folder.file("Record/"));
    EXPECT_FALSE(session().record_file().contains("//"));
    EXPECT_TRUE(QFile::exists(session().record_file()));
}

TEST_F(RecordingTakeTest, LongTitlesAndSlashesStillGiveOneFileInTheFolder) {
    const QDateTime when(QDate(2006, 12, 7), QTime(14, 5));
    const QString title = QString("夜").repeated(200) + "--歌手甲";
    const QString name = QFileInfo(record_file_name(folder.file("Record"), when, title)).fileName();
    EXPECT_LE(name.toUtf8().size(), 255);
    EXPECT_GE(name.toUtf8().size(), 253);  // cut by whole three-byte characters
    EXPECT_TRUE(name.startsWith("0612071405夜夜"));
    EXPECT_TRUE(name.endsWith("夜.wav"));
    const QString copy = QFileInfo(record_file_name(folder.file("Record"), when, title, 12)).fileName();
    EXPECT_LE(copy.toUtf8().size(), 255);
    EXPECT_TRUE(copy.endsWith(" (12).wav"));
    // A character outside the basic plane is never split.
    const QString emoji =
        QFileInfo(record_file_name("/r", when, QString::fromUtf8("😀").repeated(100))).fileName();
    EXPECT_LE(emoji.toUtf8().size(), 255);
    EXPECT_TRUE(QString::fromUtf8(emoji.toUtf8()) == emoji);
    EXPECT_EQ(record_file_name("/r", when, "AC/DC--歌手"), "/r/0612071405AC／DC--歌手.wav");

    add_test_song(*state, song_num(3), 1, QString("夜").repeated(200), singer, "/songs/long.mpg");
    state->play_queue.remove_head();
    state->play_queue.append(song_num(3), QString("夜").repeated(200) + "/歌手甲");
    open_playing();
    key(Settings::HotKeyRecord);
    media().finish_song();
    QByteArray frames;
    EXPECT_TRUE(read_recorded_wave(session().record_file(), frames));
    EXPECT_EQ(QFileInfo(session().record_file()).absolutePath() + "/", record_folder());
}

}  // namespace
