#include "foundation/play_queue.h"

#include <algorithm>

int PlayQueue::append(const QString& number, const QString& display_text, const QString& media_path) {
    // An empty number would stand for "end of queue" on every listing, so
    // such an entry could never be seen, played or deleted.
    if (full() || number.isEmpty()) return -1;
    entries_.push_back({number, display_text, media_path});
    announce_change();
    return size() - 1;
}

void PlayQueue::remove_head() {
    delete_at(0);
}

void PlayQueue::delete_at(int slot) {
    if (!holds(slot)) return;
    entries_.erase(entries_.begin() + slot);
    announce_change();
}

void PlayQueue::move_forward(int from, int to, const QString& display_text) {
    if (!holds(from) || to < 0 || to > from) return;
    const auto first = entries_.begin() + to;
    const auto moved = entries_.begin() + from;
    std::rotate(first, moved, moved + 1);
    first->display_text = display_text;
    announce_change();
}

QString PlayQueue::number_at(int slot) const {
    return holds(slot) ? entries_[slot].number : QString();
}

QString PlayQueue::display_at(int slot) const {
    return holds(slot) ? entries_[slot].display_text : QString();
}

QString PlayQueue::media_path_at(int slot) const {
    return holds(slot) ? entries_[slot].media_path : QString();
}
