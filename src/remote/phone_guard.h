#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <deque>

// Who may try a PIN, and when. Wrong PINs count per address and in total:
// five from one address make that address wait a minute; ten from anywhere
// within ten minutes make every new login wait, a minute at first and twice
// as long after each further wrong PIN, at most a night, until six quiet
// hours have passed since the last wait ended. An address tries ten logins a
// minute at most. Times are the caller's milliseconds.
class PinGuard {
public:
    static constexpr int kWrongPinsPerAddress = 5;
    static constexpr qint64 kAddressWaitMs = 60'000;
    static constexpr int kWrongPinsInTotal = 10;
    static constexpr qint64 kWrongPinWindowMs = 10 * 60'000;
    static constexpr qint64 kFirstWaitMs = 60'000;
    static constexpr qint64 kLongestWaitMs = 12 * 3'600'000;  // a night
    static constexpr qint64 kQuietBeforeForgivingMs = 6 * 3'600'000;
    static constexpr int kLoginsPerMinute = 10;
    static constexpr int kWrongPinsPerRandomPin = 20;
    static constexpr int kMaxAddresses = 4096;

    enum class Verdict { allowed, everyone_waits, address_waits, too_many_logins };

    // Before the PIN is looked at: counts the try when it is allowed.
    Verdict may_try(const QString& address, qint64 now);
    // Returns whether a random PIN has met enough wrong ones to be changed.
    bool wrong_pin(const QString& address, qint64 now);
    void right_pin(const QString& address);
    void pin_changed() { wrong_since_new_pin_ = 0; }
    bool everyone_waits(qint64 now) const { return now < everyone_waits_until_; }

    int addresses_held() const { return static_cast<int>(addresses_.size()); }

private:
    struct Address {
        int wrong_pins = 0;
        qint64 waits_until = 0;
        qint64 last_wrong_pin = 0;
        std::deque<qint64> logins;  // within the last minute
    };

    Address* address_entry(const QString& address, qint64 now);
    void prune(qint64 now);
    void count_wrong_pin_in_total(qint64 now);

    QHash<QString, Address> addresses_;
    std::deque<qint64> recent_wrong_pins_;  // within the window, before the first wait
    int waits_in_a_row_ = 0;
    qint64 everyone_waits_until_ = 0;
    int wrong_since_new_pin_ = 0;
};

// The guests' sessions: at most a thousand, the one seen least recently
// leaving for a new one, but never a guest who ordered within the hour.
// Orders count per address, across all its sessions: twenty a minute.
class GuestBook {
public:
    static constexpr int kMaxGuests = 1000;
    static constexpr int kOrdersPerMinute = 20;
    static constexpr qint64 kOrderKeepsGuestMs = 3'600'000;

    // Returns false when every place is held by a guest who ordered within the hour.
    bool admit(const QByteArray& token, const QString& address, qint64 now);
    // Whether the token is a guest's; the guest counts as seen now.
    bool visit(const QByteArray& token, qint64 now);
    // Counts an order of the guest's address; false when it ordered too often.
    bool may_order(const QByteArray& token, qint64 now);
    void ordered(const QByteArray& token, qint64 now);

    int guests() const { return static_cast<int>(guests_.size()); }
    int addresses_held() const { return static_cast<int>(orders_.size()); }

private:
    struct Guest {
        QString address;
        qint64 last_seen = 0;
        qint64 last_order = -kOrderKeepsGuestMs;
    };

    bool make_room(qint64 now);

    QHash<QByteArray, Guest> guests_;
    QHash<QString, std::deque<qint64>> orders_;  // by address, within the last minute
};
