#include "foundation/queue_journal.h"
#include "support/test_support.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// The queue as the screens see it: number, display text and file of each slot.
QStringList entries_of(const PlayQueue& queue) {
    QStringList entries;
    for (int slot = 0; slot < queue.size(); ++slot)
        entries << queue.number_at(slot) + "|" + queue.display_at(slot) + "|" + queue.media_path_at(slot);
    return entries;
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

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    PlayQueue ordered;
};

TEST_F(QueueJournalTest, EveryChangeOfTheQueueIsOnDiskAtOnce) {
    EXPECT_EQ(resume_queue_journal(*state), 0);
    for (int slot = 0; slot < ordered.size(); ++slot)
        state->play_queue.append(ordered.number_at(slot), ordered.display_at(slot),
                                 ordered.media_path_at(slot));
    EXPECT_EQ(journal_on_disk(), queue_journal_bytes(state->play_queue));
    state->play_queue.move_forward(2, 0, "歌3--插播");
    EXPECT_EQ(journal_on_disk(), queue_journal_bytes(state->play_queue));
    state->play_queue.remove_head();
    state->play_queue.delete_at(1);
    EXPECT_EQ(entries_of(*read_queue_journal(journal_on_disk())), entries_of(state->play_queue));
}

TEST_F(QueueJournalTest, TheNextStartAfterAnUncleanEndHasTheQueueBack) {
    resume_queue_journal(*state);
    for (int slot = 0; slot < ordered.size(); ++slot)
        state->play_queue.append(ordered.number_at(slot), ordered.display_at(slot),
                                 ordered.media_path_at(slot));

    auto next_run = make_test_state(folder);
    EXPECT_EQ(resume_queue_journal(*next_run), 3);
    EXPECT_EQ(entries_of(next_run->play_queue), entries_of(ordered));
}

TEST_F(QueueJournalTest, AfterAProperEndTheNextStartHasAnEmptyQueue) {
    resume_queue_journal(*state);
    state->play_queue.append(ordered.number_at(0), ordered.display_at(0), ordered.media_path_at(0));
    close_queue_journal(*state);
    state->play_queue.append(ordered.number_at(1), ordered.display_at(1), ordered.media_path_at(1));
    EXPECT_FALSE(QFile::exists(queue_journal_path(*state)));

    auto next_run = make_test_state(folder);
    EXPECT_EQ(resume_queue_journal(*next_run), 0);
    EXPECT_TRUE(next_run->play_queue.empty());
}

TEST_F(QueueJournalTest, ARestoredSongWhoseFileIsGoneIsDroppedAsASkippedSong) {
    write_file(queue_journal_path(*state), queue_journal_bytes(ordered));
    QFile::remove(ordered.media_path_at(1));
    const LogLines log;
    EXPECT_EQ(resume_queue_journal(*state), 2);
    EXPECT_EQ(entries_of(state->play_queue), (QStringList{entries_of(ordered)[0], entries_of(ordered)[2]}));
    EXPECT_EQ(log.of("karaoke.playback"),
              QStringList{"skipped song 1000002 " + ordered.media_path_at(1) + " : no such file"});
    // The journal holds what came back.
    EXPECT_EQ(journal_on_disk(), queue_journal_bytes(state->play_queue));
}

// A power cut leaves a journal whole or not at all; this checks that even
// a journal cut anywhere (another cause) never gives a wrong queue.
TEST_F(QueueJournalTest, AJournalCutAtAnyByteRestoresNothingOrTheWholeQueue) {
    const QByteArray journal = queue_journal_bytes(ordered);
    for (qsizetype length = 0; length <= journal.size(); ++length) {
        const std::optional<PlayQueue> read = read_queue_journal(journal.first(length));
        if (length < journal.size())
            EXPECT_FALSE(read) << "cut at " << length;
        else
            EXPECT_EQ(entries_of(*read), entries_of(ordered));
    }
}

TEST_F(QueueJournalTest, ACutJournalOnDiskGivesAnEmptyQueueAndALogLine) {
    const QByteArray journal = queue_journal_bytes(ordered);
    for (const qsizetype length : {qsizetype(0), qsizetype(10), journal.size() / 2, journal.size() - 1}) {
        write_file(queue_journal_path(*state), journal.first(length));
        auto run = make_test_state(folder);
        const LogLines log;
        EXPECT_EQ(resume_queue_journal(*run), 0);
        EXPECT_TRUE(run->play_queue.empty());
        EXPECT_EQ(log.of("karaoke.playback"), QStringList{"queue journal not restored: cut short"});
    }
}

TEST_F(QueueJournalTest, ForeignDamagedAndNewerJournalsAreNotRead) {
    QString problem;
    EXPECT_FALSE(read_queue_journal("[queue]\nsong=1000001\n", &problem));
    EXPECT_EQ(problem, "not a queue journal");

    QByteArray damaged = queue_journal_bytes(ordered);
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x20);
    EXPECT_FALSE(read_queue_journal(damaged, &problem));
    EXPECT_EQ(problem, "damaged");

    // The version follows the magic text's line.
    QByteArray newer = queue_journal_bytes(ordered);
    const qsizetype version_at = newer.indexOf('\n') + 1;
    qToLittleEndian<quint32>(2, newer.data() + version_at);
    EXPECT_FALSE(read_queue_journal(newer, &problem));
    EXPECT_EQ(problem, "written by a newer version (2)");

    write_file(queue_journal_path(*state), newer);
    const LogLines log;
    EXPECT_EQ(resume_queue_journal(*state), 0);
    EXPECT_EQ(log.of("karaoke.playback"),
              QStringList{"queue journal not restored: written by a newer version (2)"});
}

}  // namespace
