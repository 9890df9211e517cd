#include "remote/phone_guard.h"

#include <algorithm>

namespace {

constexpr qint64 kMinuteMs = 60'000;

void forget_older_than(std::deque<qint64>& times, qint64 oldest_kept) {
    while (!times.empty() && times.front() < oldest_kept) times.pop_front();
}

}  // namespace

PinGuard::Verdict PinGuard::may_try(const QString& address, qint64 now) {
    if (everyone_waits(now)) return Verdict::everyone_waits;
    Address* entry = address_entry(address, now);
    if (!entry) return Verdict::too_many_logins;
    if (entry->waits_until > now) return Verdict::address_waits;
    forget_older_than(entry->logins, now - kMinuteMs + 1);
    if (static_cast<int>(entry->logins.size()) >= kLoginsPerMinute) return Verdict::too_many_logins;
    entry->logins.push_back(now);
    return Verdict::allowed;
}

bool PinGuard::wrong_pin(const QString& address, qint64 now) {
    if (Address* entry = address_entry(address, now)) {
        entry->last_wrong_pin = now;
        if (++entry->wrong_pins >= kWrongPinsPerAddress) {
            entry->wrong_pins = 0;
            entry->waits_until = now + kAddressWaitMs;
        }
    }
    count_wrong_pin_in_total(now);
    return ++wrong_since_new_pin_ >= kWrongPinsPerRandomPin;
}

void PinGuard::count_wrong_pin_in_total(qint64 now) {
    if (waits_in_a_row_ > 0 && now - everyone_waits_until_ >= kQuietBeforeForgivingMs) waits_in_a_row_ = 0;
    if (waits_in_a_row_ == 0) {
        forget_older_than(recent_wrong_pins_, now - kWrongPinWindowMs + 1);
        recent_wrong_pins_.push_back(now);
        if (static_cast<int>(recent_wrong_pins_.size()) < kWrongPinsInTotal) return;
        recent_wrong_pins_.clear();
    }
    waits_in_a_row_ = std::min(waits_in_a_row_ + 1, 30);
    everyone_waits_until_ = now + std::min(kFirstWaitMs << (waits_in_a_row_ - 1), kLongestWaitMs);
}

void PinGuard::right_pin(const QString& address) {
    const auto found = addresses_.find(address);
    if (found != addresses_.end()) found->wrong_pins = 0;
}

// Null when the table is full of addresses still counted.
PinGuard::Address* PinGuard::address_entry(const QString& address, qint64 now) {
    auto found = addresses_.find(address);
    if (found != addresses_.end()) return &found.value();
    if (addresses_.size() >= kMaxAddresses) prune(now);
    if (addresses_.size() >= kMaxAddresses) return nullptr;
    return &addresses_[address];
}

// Addresses with nothing left to count are forgotten.
void PinGuard::prune(qint64 now) {
    addresses_.removeIf([now](const auto& item) {
        const Address& entry = item.value();
        return entry.waits_until <= now && entry.last_wrong_pin <= now - kWrongPinWindowMs &&
               (entry.logins.empty() || entry.logins.back() <= now - kMinuteMs);
    });
}

bool GuestBook::admit(const QByteArray& token, const QString& address, qint64 now) {
    if (guests_.size() >= kMaxGuests && !make_room(now)) return false;
    guests_.insert(token, Guest{address, now});
    return true;
}

// The guest seen least recently leaves, unless every guest ordered within the hour.
bool GuestBook::make_room(qint64 now) {
    auto leaving = guests_.end();
    for (auto guest = guests_.begin(); guest != guests_.end(); ++guest) {
        if (guest->last_order > now - kOrderKeepsGuestMs) continue;
        if (leaving == guests_.end() || guest->last_seen < leaving->last_seen) leaving = guest;
    }
    if (leaving == guests_.end()) return false;
    guests_.erase(leaving);
    return true;
}

bool GuestBook::visit(const QByteArray& token, qint64 now) {
    const auto found = guests_.find(token);
    if (found == guests_.end()) return false;
    found->last_seen = now;
    return true;
}

bool GuestBook::may_order(const QByteArray& token, qint64 now) {
    const auto guest = guests_.constFind(token);
    if (guest == guests_.cend()) return false;
    if (orders_.size() >= kMaxGuests) {
        orders_.removeIf([now](const auto& item) {
            return item.value().empty() || item.value().back() <= now - kMinuteMs;
        });
    }
    std::deque<qint64>& times = orders_[guest->address];
    forget_older_than(times, now - kMinuteMs + 1);
    if (static_cast<int>(times.size()) >= kOrdersPerMinute) return false;
    times.push_back(now);
    return true;
}

void GuestBook::ordered(const QByteArray& token, qint64 now) {
    const auto found = guests_.find(token);
    if (found != guests_.end()) found->last_order = now;
}
