#include "platform/http_server.h"
#include "remote/phone_guard.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

namespace {

constexpr qint64 kMinute = 60'000;
constexpr qint64 kHour = 60 * kMinute;
using Verdict = PinGuard::Verdict;

QString address(int n) {
    return QString("10.0.%1.%2").arg(n / 250).arg(n % 250 + 1);
}

// Wrong PINs from `count` different addresses, one each, at `now`.
void wrong_pins(PinGuard& guard, int count, qint64 now) {
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(guard.may_try(address(i), now), Verdict::allowed) << i;
        guard.wrong_pin(address(i), now);
    }
}

// An attacker with any number of addresses, trying a PIN whenever a login is
// let through; `rests` lets it stay quiet that long after each refusal
// (zero: it tries again at once, every second). Returns the PINs it could try
// within a day.
int pins_tried_in_a_day(qint64 rests) {
    PinGuard guard;
    int tried = 0;
    int next_address = 0;
    for (qint64 now = 0; now < 24 * kHour;) {
        const QString from = address(next_address++ % 5000);
        if (guard.may_try(from, now) == Verdict::allowed) {
            guard.wrong_pin(from, now);
            ++tried;
            now += 1'000;
        } else {
            now += rests > 0 ? rests : 1'000;
        }
    }
    return tried;
}

}  // namespace

TEST(PinGuard, FiveWrongPinsMakeTheirAddressWaitAMinuteAndOthersGoOn) {
    PinGuard guard;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(guard.may_try("10.0.0.1", i), Verdict::allowed);
        guard.wrong_pin("10.0.0.1", i);
    }
    EXPECT_EQ(guard.may_try("10.0.0.1", 10), Verdict::address_waits);
    EXPECT_EQ(guard.may_try("10.0.0.2", 10), Verdict::allowed);
    EXPECT_FALSE(guard.everyone_waits(10));
    EXPECT_EQ(guard.may_try("10.0.0.1", 4 + kMinute), Verdict::allowed);
}

TEST(PinGuard, TenWrongPinsFromAnywhereMakeEveryLoginWaitTwiceAsLongEachTime) {
    PinGuard guard;
    wrong_pins(guard, 9, 0);
    EXPECT_FALSE(guard.everyone_waits(0));
    wrong_pins(guard, 1, 0);  // the tenth
    EXPECT_TRUE(guard.everyone_waits(0));
    EXPECT_EQ(guard.may_try("10.9.9.9", kMinute - 1), Verdict::everyone_waits);
    qint64 now = kMinute;
    for (const qint64 wait : {2, 4, 8, 16, 32, 64, 128, 256, 512, 720, 720}) {
        ASSERT_EQ(guard.may_try("10.9.9.9", now), Verdict::allowed) << wait;
        guard.wrong_pin("10.9.9.9", now);
        EXPECT_TRUE(guard.everyone_waits(now + wait * kMinute - 1)) << wait;
        EXPECT_FALSE(guard.everyone_waits(now + wait * kMinute)) << wait;
        now += wait * kMinute;
    }
}

TEST(PinGuard, WrongPinsSpreadOverMoreThanTenMinutesCostNothing) {
    PinGuard guard;
    for (int i = 0; i < 30; ++i) {
        wrong_pins(guard, 1, i * 2 * kMinute);
        EXPECT_FALSE(guard.everyone_waits(i * 2 * kMinute)) << i;
    }
}

TEST(PinGuard, SixQuietHoursAfterTheLastWaitForgiveTheWaits) {
    PinGuard guard;
    wrong_pins(guard, 10, 0);
    guard.wrong_pin("10.9.9.9", kMinute);  // a wait of two minutes, to 3 minutes
    const qint64 quiet_end = 3 * kMinute + 6 * kHour;
    guard.wrong_pin("10.9.9.9", quiet_end - 1);  // still counted: four minutes now
    EXPECT_TRUE(guard.everyone_waits(quiet_end));
    const qint64 forgiven = quiet_end - 1 + 4 * kMinute + 6 * kHour;
    wrong_pins(guard, 9, forgiven);
    EXPECT_FALSE(guard.everyone_waits(forgiven));
}

TEST(PinGuard, AnAddressTriesTenLoginsAMinute) {
    PinGuard guard;
    for (int i = 0; i < 10; ++i) ASSERT_EQ(guard.may_try("10.0.0.1", i), Verdict::allowed) << i;
    EXPECT_EQ(guard.may_try("10.0.0.1", 10), Verdict::too_many_logins);
    EXPECT_EQ(guard.may_try("10.0.0.2", 10), Verdict::allowed);
    EXPECT_EQ(guard.may_try("10.0.0.1", kMinute), Verdict::allowed);
}

TEST(PinGuard, ARandomPinIsDueForAChangeAfterTwentyWrongOnes) {
    PinGuard guard;
    qint64 now = 0;
    for (int i = 1; i <= 19; ++i) {
        EXPECT_FALSE(guard.wrong_pin(address(i), now)) << i;
        now += 2 * kMinute;  // slow enough never to make logins wait
    }
    EXPECT_TRUE(guard.wrong_pin(address(20), now));
    guard.pin_changed();
    EXPECT_FALSE(guard.wrong_pin(address(21), now + 2 * kMinute));
}

TEST(PinGuard, TheTableOfAddressesStaysBoundedAndForgetsOldOnes) {
    PinGuard guard;
    const qint64 evening = 20 * kHour;
    for (int i = 0; i < PinGuard::kMaxAddresses; ++i) guard.may_try(address(i), evening);
    EXPECT_EQ(guard.may_try("10.200.0.1", evening + 1), Verdict::too_many_logins);
    EXPECT_EQ(guard.may_try("10.200.0.1", evening + kMinute), Verdict::allowed);
    EXPECT_LE(guard.addresses_held(), PinGuard::kMaxAddresses);
    EXPECT_LT(guard.addresses_held(), 10);
}

// With 10,000 PINs, fewer than 100 tries a day keep a brute force's chance
// under 1 %, from any number of addresses, trying at once or resting.
TEST(PinGuard, ABruteForceTriesFewerThanAHundredPinsADay) {
    for (const qint64 rests : {qint64(0), 10 * kMinute, 3 * kHour, 6 * kHour, 6 * kHour + kMinute})
        EXPECT_LT(pins_tried_in_a_day(rests), 100) << rests;
}

TEST(GuestBook, TwentyOrdersAMinutePerAddressAcrossItsSessions) {
    GuestBook book;
    for (const char* token : {"a", "b", "c"}) ASSERT_TRUE(book.admit(token, "10.0.0.1", 0));
    ASSERT_TRUE(book.admit("d", "10.0.0.2", 0));
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(book.may_order(i % 2 ? "a" : "b", i)) << i;
    EXPECT_FALSE(book.may_order("c", 30));
    EXPECT_TRUE(book.may_order("d", 30));
    EXPECT_TRUE(book.may_order("c", kMinute));
    EXPECT_FALSE(book.may_order("nobody", kMinute));
}

TEST(GuestBook, AtTheLimitTheGuestSeenLeastRecentlyLeavesButNotOneWhoOrdered) {
    GuestBook book;
    for (int i = 0; i < GuestBook::kMaxGuests; ++i)
        ASSERT_TRUE(book.admit(QByteArray::number(i), address(i), i));
    book.ordered("0", 5'000);             // the oldest ordered: it stays
    ASSERT_TRUE(book.visit("1", 6'000));  // the next one was seen since
    ASSERT_TRUE(book.admit("new", "10.9.9.9", 7'000));
    EXPECT_TRUE(book.visit("0", 7'000));
    EXPECT_TRUE(book.visit("1", 7'000));
    EXPECT_FALSE(book.visit("2", 7'000));  // seen least recently, never ordered
    EXPECT_EQ(book.guests(), GuestBook::kMaxGuests);
}

TEST(GuestBook, WhenEveryGuestOrderedWithinTheHourNoNewOneComesIn) {
    GuestBook book;
    for (int i = 0; i < GuestBook::kMaxGuests; ++i) {
        ASSERT_TRUE(book.admit(QByteArray::number(i), address(i), 0));
        book.ordered(QByteArray::number(i), kMinute);
    }
    EXPECT_FALSE(book.admit("new", "10.9.9.9", kHour));
    EXPECT_TRUE(book.admit("new", "10.9.9.9", kHour + kMinute));
}

TEST(HttpLimits, AHeadIsJudgedBeforeItsBodyIsRead) {
    const HttpHeaders plain{{"Host", "x"}, {"Content-Length", "4096"}};
    EXPECT_EQ(http_head_refusal(10, plain), 0);
    EXPECT_EQ(http_head_refusal(10, {{"Content-Length", "4097"}}), 413);
    EXPECT_EQ(http_head_refusal(10, {{"content-length", "99999999999999999999"}}), 413);
    EXPECT_EQ(http_head_refusal(10, {{"Content-Length", "12"}, {"CONTENT-LENGTH", "12"}}), 400);
    EXPECT_EQ(http_head_refusal(10, {{"Content-Length", "12"}, {"Transfer-Encoding", "chunked"}}), 400);
    EXPECT_EQ(http_head_refusal(10, {{"Content-Length", "-1"}}), 400);
    EXPECT_EQ(http_head_refusal(10, {{"Transfer-Encoding", "chunked"}}), 0);
    EXPECT_EQ(http_head_refusal(kHttpMaxUrlBytes + 1, {}), 414);
    EXPECT_EQ(http_head_refusal(10, {{"X", QByteArray(kHttpMaxHeadBytes, 'x')}}), 431);
}

TEST(HttpLimits, AnIpv6ClientCountsByItsSlash64AndAMappedIpv4OneAsIpv4) {
    sockaddr_in6 six{};
    six.sin6_family = AF_INET6;
    inet_pton(AF_INET6, "2001:db8:1:2:aaaa:bbbb:cccc:dddd", &six.sin6_addr);
    EXPECT_EQ(address_group(reinterpret_cast<sockaddr*>(&six)), "2001:db8:1:2::/64");
    inet_pton(AF_INET6, "2001:db8:1:2::1", &six.sin6_addr);
    EXPECT_EQ(address_group(reinterpret_cast<sockaddr*>(&six)), "2001:db8:1:2::/64");
    inet_pton(AF_INET6, "::ffff:192.168.1.7", &six.sin6_addr);
    EXPECT_EQ(address_group(reinterpret_cast<sockaddr*>(&six)), "192.168.1.7");
    sockaddr_in four{};
    four.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.9", &four.sin_addr);
    EXPECT_EQ(address_group(reinterpret_cast<sockaddr*>(&four)), "127.0.0.9");
}
