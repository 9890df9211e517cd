#include "foundation/play_queue.h"

#include <gtest/gtest.h>

namespace {

// A queue of `count` songs numbered "0", "1", ... with display texts "song i--singer i".
PlayQueue queue_of(int count) {
    PlayQueue queue;
    for (int i = 0; i < count; ++i) {
        queue.append(QString::number(i), QString("song %1--singer %1").arg(i));
    }
    return queue;
}

std::vector<QString> numbers_of(const PlayQueue& queue) {
    std::vector<QString> numbers;
    for (int slot = 0; slot < queue.size(); ++slot) numbers.push_back(queue.number_at(slot));
    return numbers;
}

// True when every entry still carries the display text it was appended with.
bool pairs_intact(const PlayQueue& queue) {
    for (int slot = 0; slot < queue.size(); ++slot) {
        if (queue.display_at(slot) != QString("song %1--singer %1").arg(queue.number_at(slot))) return false;
    }
    return true;
}

}  // namespace

TEST(PlayQueue, AppendsInOrderFromSlotZero) {
    PlayQueue queue;
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(queue.append("105001", "月亮代表我的心--鄧麗君"), 0);
    EXPECT_EQ(queue.append("105001", "月亮代表我的心--鄧麗君"), 1);  // the same song may wait twice
    EXPECT_EQ(queue.size(), 2);
    EXPECT_EQ(queue.number_at(0), "105001");
    EXPECT_EQ(queue.display_at(0), "月亮代表我的心--鄧麗君");
    EXPECT_TRUE(queue.number_at(2).isEmpty());  // past the end reads as an empty slot
    EXPECT_TRUE(queue.display_at(-1).isEmpty());
}

TEST(PlayQueue, EmptyNumberIsRefused) {
    PlayQueue queue = queue_of(2);
    EXPECT_EQ(queue.append("", "ghost--nobody"), -1);
    EXPECT_EQ(numbers_of(queue), (std::vector<QString>{"0", "1"}));
}

TEST(PlayQueue, FullQueueRefusesAndRemovingTheHeadFreesTheLastSlot) {
    PlayQueue queue = queue_of(PlayQueue::kCapacity);
    EXPECT_TRUE(queue.full());
    EXPECT_EQ(queue.append("999", "one--too many"), -1);
    EXPECT_EQ(queue.size(), PlayQueue::kCapacity);
    EXPECT_EQ(queue.number_at(5000), "5000");

    queue.remove_head();
    EXPECT_EQ(queue.size(), 5000);
    EXPECT_EQ(queue.number_at(0), "1");
    EXPECT_EQ(queue.number_at(4999), "5000");
    EXPECT_TRUE(queue.number_at(5000).isEmpty());
    EXPECT_TRUE(queue.display_at(5000).isEmpty());
    EXPECT_TRUE(pairs_intact(queue));
    EXPECT_EQ(queue.append("999", "song 999--singer 999"), 5000);
}

TEST(PlayQueue, RemovingTheOnlyEntryEmptiesTheQueue) {
    PlayQueue queue = queue_of(1);
    queue.remove_head();
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(queue.number_at(0).isEmpty());
    EXPECT_TRUE(queue.display_at(0).isEmpty());
    queue.remove_head();  // nothing left to remove
    EXPECT_TRUE(queue.empty());
}

TEST(PlayQueue, DeleteInTheMiddleClosesTheGapAndKeepsPairs) {
    PlayQueue queue = queue_of(5);
    queue.delete_at(2);
    EXPECT_EQ(numbers_of(queue), (std::vector<QString>{"0", "1", "3", "4"}));
    EXPECT_TRUE(pairs_intact(queue));

    queue.delete_at(4);  // past the end
    queue.delete_at(-1);
    EXPECT_EQ(queue.size(), 4);
}

TEST(PlayQueue, MoveForwardShiftsTheEntriesBetweenAndRelabelsTheMovedOne) {
    PlayQueue queue = queue_of(6);
    queue.move_forward(3, 0, "song 3--插播");
    EXPECT_EQ(numbers_of(queue), (std::vector<QString>{"3", "0", "1", "2", "4", "5"}));
    EXPECT_EQ(queue.display_at(0), "song 3--插播");
    for (int slot = 1; slot < queue.size(); ++slot) {
        EXPECT_EQ(queue.display_at(slot), QString("song %1--singer %1").arg(queue.number_at(slot)));
    }

    queue.move_forward(5, 2, "song 5--插播");  // the small window's target during playback
    EXPECT_EQ(numbers_of(queue), (std::vector<QString>{"3", "0", "5", "1", "2", "4"}));
    EXPECT_EQ(queue.display_at(2), "song 5--插播");
}

TEST(PlayQueue, MoveOntoItselfOnlyRelabelsAndBadSlotsChangeNothing) {
    PlayQueue queue = queue_of(3);
    queue.move_forward(0, 0, "song 0--插播");
    EXPECT_EQ(numbers_of(queue), (std::vector<QString>{"0", "1", "2"}));
    EXPECT_EQ(queue.display_at(0), "song 0--插播");

    queue.move_forward(3, 0, "x");   // no entry at 3
    queue.move_forward(1, 2, "x");   // backwards is no move forward
    queue.move_forward(2, -1, "x");  // no such target
    EXPECT_EQ(numbers_of(queue), (std::vector<QString>{"0", "1", "2"}));
    EXPECT_EQ(queue.display_at(1), "song 1--singer 1");
}
