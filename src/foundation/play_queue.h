#pragma once

#include <QString>

#include <functional>
#include <utility>
#include <vector>

// The songs waiting to be sung, in play order. Slot 0 is the head: the song
// playing, or the one that plays first when the player opens. Every entry
// keeps its song number and its display text together, and the entries are
// always contiguous from slot 0, so "slot past the end" and "empty slot" are
// the same thing for the screens that list the queue page by page.
class PlayQueue {
public:
    // Most entries the queue holds.
    static constexpr int kCapacity = 5001;

    // Appends an entry; returns the slot it took, or -1 (queue unchanged)
    // when the queue is full or the number is empty. The media path is the
    // song's file when it was ordered: the song plays from it even when the
    // catalogue cannot be reached by then (a catalogue server gone away).
    int append(const QString& number, const QString& display_text, const QString& media_path = {});

    // Removes slot 0; every later entry moves one place forward.
    void remove_head();

    // Removes the entry at slot; every later entry moves one place forward.
    // A slot outside the queue changes nothing.
    void delete_at(int slot);

    // Takes the entry at `from` out, moves the entries of slots to .. from - 1
    // one place back and stores it at `to` with the given display text.
    // `to` == `from` only relabels the entry; anything else with `to` > `from`
    // or a slot outside the queue changes nothing.
    void move_forward(int from, int to, const QString& display_text);

    // The song number and display text at slot; empty texts past the end.
    QString number_at(int slot) const;
    QString display_at(int slot) const;
    // The media path kept with the entry; empty past the end or when none was given.
    QString media_path_at(int slot) const;

    // Called after every change of the entries (not after calls that
    // changed nothing), before the caller goes on: the queue journal keeps
    // the queue on disk through it. An empty function stops the calls.
    void on_change(std::function<void()> listener) { changed_ = std::move(listener); }

    int size() const { return static_cast<int>(entries_.size()); }
    bool empty() const { return entries_.empty(); }
    bool full() const { return size() >= kCapacity; }

private:
    struct Entry {
        QString number;
        QString display_text;
        QString media_path;
    };

    bool holds(int slot) const { return slot >= 0 && slot < size(); }
    void announce_change() const {
        if (changed_) changed_();
    }

    std::vector<Entry> entries_;
    std::function<void()> changed_;
};
