#include "foundation/queue_journal.h"
#include "support/test_support.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

namespace {

// The queue as the screens see it: number, display text and file of each slot.
QStringList entries_of(const PlayQueue& queue) {
    QStringList entries;
    for (int slot = 0; slot < queue.size(); ++slot)
        entries << queue.number_at(slot) + "|" + queue.display_at(slot) + "|" + queue.media_path_at(slot);
    return entries;
}

// The entries a journal's bytes give back; "nothing" when they give no queue.
QStringList restored_from(QByteArrayView journal) {
    const std::optional<PlayQueue> queue = read_queue_journal(journal);
    return queue ? entries_of(*queue) : QStringList{"nothing"};
}

// The first and one past the last byte where two journals differ: what one
// change of the queue wrote.
std::pair<qsizetype, qsizetype> changed_bytes(const QByteArray& before, const QByteArray& after) {
    qsizetype first = 0;
    while (first < after.size() && before.at(first) == after.at(first)) ++first;
    qsizetype end = after.size();
    while (end > first && before.at(end - 1) == after.at(end - 1)) --end;
    return {first, end};
}

class QueueJournalTest : public ::testing::Test {
protected:
    QueueJournalTest() {
        for (int i = 1; i <= 3; ++i) {
            const QString song = folder.file("song" + QString::number(i) + ".mp4");
            write_file(song, "not decoded");
            ordered.append(QString::number(1000000 + i), "歌" + QString::number(i) + "--江蕙", song);
        }
    }

    static void write_file(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray journal_on_disk() const {
        QFile file(queue_journal_path(*state));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void order(int slot_of_ordered) {
        state->play_queue.append(ordered.number_at(slot_of_ordered), ordered.display_at(slot_of_ordered),
                                 ordered.media_path_at(slot_of_ordered));
    }
    // A run that ordered the three songs and ended without an exit path.
    void leave_three_songs_in_the_journal() {
        resume_queue_journal(*state);
        for (int slot = 0; slot < ordered.size(); ++slot) order(slot);
        state = make_test_state(folder);
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    PlayQueue ordered;
};

TEST_F(QueueJournalTest, EveryChangeOfTheQueueIsOnDiskAtOnce) {
    EXPECT_EQ(resume_queue_journal(*state), 0);
    for (int slot = 0; slot < ordered.size(); ++slot) {
        order(slot);
        EXPECT_EQ(restored_from(journal_on_disk()), entries_of(state->play_queue));
    }
    state->play_queue.move_forward(2, 0, "歌3--插播");
    EXPECT_EQ(restored_from(journal_on_disk()), entries_of(state->play_queue));
    state->play_queue.remove_head();
    EXPECT_EQ(restored_from(journal_on_disk()), entries_of(state->play_queue));
    state->play_queue.delete_at(1);
    EXPECT_EQ(restored_from(journal_on_disk()), entries_of(state->play_queue));
}

TEST_F(QueueJournalTest, TheNextStartAfterAnUncleanEndHasTheQueueBack) {
    leave_three_songs_in_the_journal();
    EXPECT_EQ(resume_queue_journal(*state), 3);
    EXPECT_EQ(entries_of(state->play_queue), entries_of(ordered));
}

TEST_F(QueueJournalTest, AfterAProperEndTheNextStartHasAnEmptyQueue) {
    resume_queue_journal(*state);
    order(0);
    close_queue_journal(*state);
    order(1);
    EXPECT_FALSE(QFile::exists(queue_journal_path(*state)));

    auto next_run = make_test_state(folder);
    EXPECT_EQ(resume_queue_journal(*next_run), 0);
    EXPECT_TRUE(next_run->play_queue.empty());
}

TEST_F(QueueJournalTest, ARestoredSongWhoseFileIsGoneIsDroppedAsASkippedSong) {
    leave_three_songs_in_the_journal();
    QFile::remove(ordered.media_path_at(1));
    const LogLines log;
    EXPECT_EQ(resume_queue_journal(*state), 2);
    EXPECT_EQ(entries_of(state->play_queue), (QStringList{entries_of(ordered)[0], entries_of(ordered)[2]}));
    EXPECT_EQ(log.of("karaoke.playback"),
              QStringList{"skipped song 1000002 " + ordered.media_path_at(1) + " : no such file"});
    // The journal holds what came back.
    EXPECT_EQ(restored_from(journal_on_disk()), entries_of(state->play_queue));
}

// A power cut during a change can leave its write torn anywhere: the new
// bytes up to some point and the slot's earlier bytes after it, or the
// other way round (the disk writes sectors in any order).
TEST_F(QueueJournalTest, AChangeTornAtAnyByteRestoresTheQueueBeforeOrAfterItNeverAMix) {
    resume_queue_journal(*state);
    for (int slot = 0; slot < ordered.size(); ++slot) order(slot);
    const QByteArray before = journal_on_disk();
    const QStringList queue_before = entries_of(state->play_queue);
    state->play_queue.move_forward(2, 0, "歌3--插播");
    const QByteArray after = journal_on_disk();
    const QStringList queue_after = entries_of(state->play_queue);

    const auto [first, end] = changed_bytes(before, after);
    ASSERT_LT(first, end);
    for (qsizetype torn_at = first; torn_at <= end; ++torn_at) {
        const QByteArray new_then_old = after.first(torn_at) + before.sliced(torn_at);
        const QByteArray old_then_new = before.first(torn_at) + after.sliced(torn_at);
        for (const QByteArray& torn : {new_then_old, old_then_new}) {
            const QStringList restored = restored_from(torn);
            EXPECT_TRUE(restored == queue_before || restored == queue_after)
                << "torn at " << torn_at << ": " << restored.join(", ").toStdString();
        }
    }
    EXPECT_EQ(restored_from(after), queue_after);
}

// Another cause than a power cut (a copy cut short, a full disk) can leave
// the file cut anywhere: it still never gives a queue that was not kept.
TEST_F(QueueJournalTest, AJournalCutAtAnyByteRestoresNothingOrAQueueItKept) {
    resume_queue_journal(*state);
    order(0);
    order(1);
    const QStringList two_songs = entries_of(state->play_queue);
    order(2);
    const QStringList three_songs = entries_of(state->play_queue);
    const QByteArray journal = journal_on_disk();

    // Every byte in and around what was written; in the unwritten room of the
    // slots, a byte in every sector or so.
    const auto near_written = [&journal](qsizetype at) {
        const qsizetype from = std::max<qsizetype>(0, at - 32);
        const QByteArray around = journal.sliced(from, std::min<qsizetype>(64, journal.size() - from));
        return std::any_of(around.begin(), around.end(), [](char byte) { return byte != '\0'; });
    };
    int cuts_giving_two_songs = 0;
    for (qsizetype length = 0; length < journal.size(); length += near_written(length) ? 1 : 509) {
        const QStringList restored = restored_from(QByteArrayView(journal).first(length));
        ASSERT_TRUE(restored == QStringList{"nothing"} || restored == two_songs || restored == three_songs)
            << "cut at " << length << ": " << restored.join(", ").toStdString();
        cuts_giving_two_songs += restored == two_songs;
    }
    EXPECT_EQ(restored_from(journal), three_songs);
    // A cut through the newest queue still leaves the one before it.
    EXPECT_GT(cuts_giving_two_songs, 0);
}

// Each change goes to the other slot, in place in the same file: whichever
// change is torn, the queue of the change before is still whole.
TEST_F(QueueJournalTest, ManyChangesAlternateSlotsOfOneFileEachLeavingThePreviousQueueWhole) {
    resume_queue_journal(*state);
    order(0);
    struct stat first_written {};
    ASSERT_EQ(::stat(QFile::encodeName(queue_journal_path(*state)).constData(), &first_written), 0);

    for (int change = 0; change < 60; ++change) {
        const QByteArray before = journal_on_disk();
        const QStringList queue_before = entries_of(state->play_queue);
        if (change % 3 == 2)
            state->play_queue.delete_at(0);
        else
            order(change % ordered.size());
        QByteArray torn = journal_on_disk();
        ASSERT_EQ(torn.size(), before.size()) << "change " << change;
        ASSERT_EQ(restored_from(torn), entries_of(state->play_queue)) << "change " << change;
        const qsizetype changed_at = changed_bytes(before, torn).first;
        torn[changed_at] = char(torn.at(changed_at) ^ 0x01);
        ASSERT_EQ(restored_from(torn), queue_before) << "change " << change;
    }
    struct stat last_written {};
    ASSERT_EQ(::stat(QFile::encodeName(queue_journal_path(*state)).constData(), &last_written), 0);
    EXPECT_EQ(last_written.st_ino, first_written.st_ino);
}

TEST_F(QueueJournalTest, AQueueTooLongForItsSlotIsKeptAllTheSame) {
    resume_queue_journal(*state);
    const QString long_title = QString("很長的歌名").repeated(50) + "--江蕙";
    for (int i = 0; i < 150; ++i) state->play_queue.append(QString::number(2000000 + i), long_title);
    state->play_queue.delete_at(75);
    EXPECT_EQ(restored_from(journal_on_disk()), entries_of(state->play_queue));

    auto next_run = make_test_state(folder);
    EXPECT_EQ(resume_queue_journal(*next_run), 149);
    EXPECT_EQ(entries_of(next_run->play_queue), entries_of(state->play_queue));
}

TEST_F(QueueJournalTest, ACutJournalOnDiskGivesAnEmptyQueueAndALogLine) {
    resume_queue_journal(*state);
    order(0);
    const QByteArray journal = journal_on_disk();
    for (const qsizetype length : {qsizetype(0), qsizetype(10), qsizetype(30), journal.size() / 4}) {
        write_file(queue_journal_path(*state), journal.first(length));
        auto run = make_test_state(folder);
        const LogLines log;
        EXPECT_EQ(resume_queue_journal(*run), 0);
        EXPECT_TRUE(run->play_queue.empty());
        EXPECT_EQ(log.of("karaoke.playback"), QStringList{"queue journal not restored: cut short"});
    }
}

TEST_F(QueueJournalTest, ForeignDamagedAndNewerJournalsGiveAnEmptyQueueAndALogLine) {
    // Both slots damaged: the last two changes' bytes each have a bit flipped.
    resume_queue_journal(*state);
    order(0);
    const QByteArray one_song = journal_on_disk();
    order(1);
    const QByteArray two_songs = journal_on_disk();
    order(2);
    QByteArray damaged = journal_on_disk();
    for (const qsizetype at :
         {changed_bytes(one_song, two_songs).first, changed_bytes(two_songs, damaged).first})
        damaged[at] = char(damaged.at(at) ^ 0x20);
    // The version follows the magic text's line.
    QByteArray newer = journal_on_disk();
    qToLittleEndian<quint32>(2, newer.data() + newer.indexOf('\n') + 1);

    const std::pair<QByteArray, QString> journals[] = {
        {"[queue]\nsong=1000001\n", "not a queue journal"},
        {damaged, "damaged"},
        {newer, "written by a newer version (2)"},
    };
    for (const auto& [journal, problem] : journals) {
        write_file(queue_journal_path(*state), journal);
        auto next_run = make_test_state(folder);
        const LogLines log;
        EXPECT_EQ(resume_queue_journal(*next_run), 0) << problem.toStdString();
        EXPECT_TRUE(next_run->play_queue.empty()) << problem.toStdString();
        EXPECT_EQ(log.of("karaoke.playback"), QStringList{"queue journal not restored: " + problem});
    }
}

}  // namespace
