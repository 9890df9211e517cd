#include "foundation/queue_journal.h"
#include "main_menu_fixture.h"
#include "manager/manager_menu.h"
#include "support/scripted_dialogs.h"

#include <QTest>

namespace {

const QString kRestoredThree = "上次的點歌已恢復，共 3 首";

// The room started again on the same program folder: after a run that
// ended abruptly (the window dropped without any exit path, as a crash or a
// killed process leaves it) or through one of the program's own exits.
class RestoredQueueTest : public MainMenuTest {
protected:
    RestoredQueueTest() {
        state->platform.dialogs = &dialogs;
        const int singer = add_test_singer(*state, "江蕙");
        for (int i = 1; i <= 3; ++i) {
            const QString song = folder.file("song" + QString::number(i) + ".mp4");
            write_file(song);
            add_test_song(*state, song_num(i), 1, "歌" + QString::number(i), singer, song);
        }
        open_menu();
        press("3" + song_num(1) + "E" + song_num(2) + "E" + song_num(3) + "E0E");
    }

    static QString song_num(int i) { return QString::number(1000000 + i); }

    // A new run on the same folder, its services those of the run before.
    void start_again() {
        menu.reset();
        auto next_run = make_test_state(folder);
        next_run->platform = state->platform;
        state = std::move(next_run);
        open_menu();
    }

    QStringList queue_numbers() const {
        QStringList numbers;
        for (int slot = 0; slot < state->play_queue.size(); ++slot)
            numbers << state->play_queue.number_at(slot);
        return numbers;
    }
    QString message() const { return menu->Label3.text(); }

    // After each of the program's own exits the next start is the usual one.
    void expect_usual_start() const {
        EXPECT_TRUE(state->play_queue.empty());
        EXPECT_EQ(screen(), kMainMenuLines);
        EXPECT_EQ(message(), "");
    }

    ScriptedDialogs dialogs;
};

TEST_F(RestoredQueueTest, AfterAnAbruptEndTheQueueComesBackAndTheMenuSaysSoForAFewSeconds) {
    ASSERT_EQ(queue_numbers(), (QStringList{song_num(1), song_num(2), song_num(3)}));
    start_again();
    EXPECT_EQ(queue_numbers(), (QStringList{song_num(1), song_num(2), song_num(3)}));
    EXPECT_EQ(state->play_queue.display_at(0), "歌1--江蕙");
    EXPECT_EQ(screen(), kMainMenuLines);
    EXPECT_EQ(message(), kRestoredThree);
    QTest::qWait(state->clock.real_ms(4000));
    EXPECT_EQ(message(), kRestoredThree);
    EXPECT_TRUE(QTest::qWaitFor([this] { return message().isEmpty(); }, state->clock.real_ms(2000)));

    // Only the first showing says it.
    menu->Form_Activate();
    EXPECT_EQ(message(), "");
}

TEST_F(RestoredQueueTest, ARestoredSongWhoseFileIsGoneIsDroppedAndNotCounted) {
    QFile::remove(folder.file("song2.mp4"));
    const LogLines log;
    start_again();
    EXPECT_EQ(queue_numbers(), (QStringList{song_num(1), song_num(3)}));
    EXPECT_EQ(message(), "上次的點歌已恢復，共 2 首");
    EXPECT_EQ(log.of("karaoke.playback"), QStringList{"skipped song " + song_num(2) + " " +
                                                      folder.file("song2.mp4") + " : no such file"});
}

TEST_F(RestoredQueueTest, AnUnreadableJournalGivesTheUsualStartWithAnEmptyQueue) {
    QFile journal(queue_journal_path(*state));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly | QIODevice::Truncate));
    journal.write("KARAOKE QUEUE");
    journal.close();
    const LogLines log;
    start_again();
    EXPECT_TRUE(state->play_queue.empty());
    EXPECT_EQ(screen(), kMainMenuLines);
    EXPECT_EQ(message(), "");
    EXPECT_EQ(log.of("karaoke.playback"), QStringList{"queue journal not restored: cut short"});
}

TEST_F(RestoredQueueTest, EndingTheProgramFromTheShutdownMenuLeavesAnEmptyQueue) {
    press("02");
    EXPECT_EQ(program_ends, 1);
    start_again();
    expect_usual_start();
}

TEST_F(RestoredQueueTest, SwitchingOffFromTheShutdownMenuLeavesAnEmptyQueue) {
    press("01");
    EXPECT_EQ(power_off_requests, 1);
    start_again();
    expect_usual_start();
}

TEST_F(RestoredQueueTest, LeavingFromManagerModeLeavesAnEmptyQueue) {
    {
        manager_menu manager(*state, menu.get());
        manager.Command2.click();
    }
    EXPECT_EQ(program_ends, 1);
    start_again();
    expect_usual_start();
}

TEST_F(RestoredQueueTest, ClosingTheMainWindowLeavesAnEmptyQueue) {
    menu->close();
    start_again();
    expect_usual_start();
}

}  // namespace
