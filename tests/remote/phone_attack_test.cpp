// The phones' server under the attacks a stranger on the room's network can
// make, on a loopback port: every attack is answered or closed, the memory
// stays bounded, the queue stays as it was, and a real phone goes on.

#include "attack_client.h"
#include "phone_server_fixture.h"

#include "foundation/song_orders.h"

#include <QFile>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

qint64 resident_megabytes() {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
    return 0;
}

QByteArray request_head(const QByteArray& line, const QByteArray& more_headers = {}) {
    return line + "\r\nHost: 127.0.0.1\r\n" + more_headers + "\r\n";
}

// A login whose body comes in chunks of a KiB, `body_bytes` long in all.
QByteArray chunked_login(qsizetype body_bytes) {
    QByteArray body = R"({"pin":"1234"})";
    body += QByteArray(body_bytes - body.size(), ' ');
    QByteArray request = request_head("POST /api/login HTTP/1.1",
                                      "Content-Type: application/json\r\nTransfer-Encoding: chunked\r\n");
    for (qsizetype at = 0; at < body.size(); at += 1024) {
        const QByteArray chunk = body.mid(at, 1024);
        request += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return request + "0\r\n\r\n";
}

class PhoneAttackTest : public PhoneServerTest {
protected:
    void SetUp() override {
        PhoneServerTest::SetUp();
        const int singer = add_test_singer(*state, "江蕙", 0);
        for (const char* number : {"102001", "102002", "203001", "304001"})
            add_test_song(*state, number, 1, "家後", singer);
        log_in();  // a guest signed in before the attack
        for (const char* number : {"102001", "203001", "304001"}) add_song_to_queue(*state, number);
        queue_before = queue_numbers();
        idle_megabytes = resident_megabytes();
    }

    QStringList queue_numbers() const {
        QStringList numbers;
        for (int slot = 0; slot < state->play_queue.size(); ++slot)
            numbers << state->play_queue.number_at(slot);
        return numbers;
    }

    // A phone of another address is answered during the attack.
    void another_phone_is_answered() {
        auto other = new_phone();
        EXPECT_EQ(send(*other, "GET", "/").status, 200);
        EXPECT_EQ(send("GET", "/api/queue").status, 200);
    }

    void nothing_was_lost() {
        EXPECT_EQ(queue_numbers(), queue_before);
        EXPECT_LT(resident_megabytes() - idle_megabytes, 50);
    }

    int sent_alone(int host, const QByteArray& bytes) {
        AttackClient client(host, phones->port());
        client.send_all(bytes);
        return client.status();
    }

    QStringList queue_before;
    qint64 idle_megabytes = 0;
};

}  // namespace

TEST_F(PhoneAttackTest, ATwentyMegabyteBodyIsRefusedOnItsDeclaredLength) {
    AttackClient client(2, phones->port());
    const QByteArray head = request_head("POST /api/login HTTP/1.1",
                                         "Content-Length: 20971520\r\nContent-Type: application/json\r\n");
    const qsizetype sent = client.send_all(head + QByteArray(20 * 1024 * 1024, 'x'));
    EXPECT_EQ(client.status(), 413);
    EXPECT_LT(sent, 20 * 1024 * 1024);  // the server stopped reading
    EXPECT_TRUE(client.closed_by_server());
    another_phone_is_answered();
    nothing_was_lost();
}

TEST_F(PhoneAttackTest, AChunkedMegabyteIsRefusedAsItPassesTheLimitThenClosed) {
    AttackClient client(2, phones->port());
    client.send_all(chunked_login(1024 * 1024));
    EXPECT_EQ(client.status(), 413);
    EXPECT_TRUE(client.closed_by_server());
    another_phone_is_answered();
    nothing_was_lost();
}

TEST_F(PhoneAttackTest, AChunkedBodyOfFourKibibytesIsReadAndOneByteMoreIsNot) {
    EXPECT_EQ(sent_alone(2, chunked_login(kHttpMaxBodyBytes)), 200);
    EXPECT_EQ(sent_alone(2, chunked_login(kHttpMaxBodyBytes + 1)), 413);
}

TEST_F(PhoneAttackTest, AMegabyteOfHeadersOrALongUrlIsRefused) {
    QByteArray headers;
    while (headers.size() < 1024 * 1024) headers += "X-Padding: " + QByteArray(100, 'y') + "\r\n";
    const int huge_head = sent_alone(2, request_head("GET / HTTP/1.1", headers));
    EXPECT_TRUE(huge_head == 431 || huge_head == 0) << huge_head;
    EXPECT_EQ(sent_alone(2, request_head("GET /api/songs?q=" + QByteArray(10'000, 'a') + " HTTP/1.1")), 414);
    const QByteArray chinese = QByteArray("%E6%84%9B").repeated(5'000);
    const int long_url = sent_alone(2, request_head("GET /api/songs?q=" + chinese + " HTTP/1.1"));
    EXPECT_TRUE(long_url == 414 || long_url == 431) << long_url;
    another_phone_is_answered();
    nothing_was_lost();
}

TEST_F(PhoneAttackTest, TwoLengthsOrALengthWithChunksAreABadRequestThatCloses) {
    for (const QByteArray& headers : {QByteArray("Content-Length: 2\r\nContent-Length: 3\r\n"),
                                      QByteArray("Content-Length: 2\r\nTransfer-Encoding: chunked\r\n")}) {
        AttackClient client(2, phones->port());
        client.send_all(request_head("POST /api/login HTTP/1.1", headers) + "{}");
        const int status = client.status();
        EXPECT_TRUE(status == 400 || status == 0) << status;
        EXPECT_TRUE(client.closed_by_server());
    }
}

TEST_F(PhoneAttackTest, ConnectionCloseAndHttp10CloseAfterTheAnswer) {
    for (const QByteArray& head :
         {request_head("GET / HTTP/1.1", "Connection: close\r\n"), request_head("GET / HTTP/1.0")}) {
        AttackClient client(2, phones->port());
        client.send_all(head);
        EXPECT_EQ(client.status(), 200);
        EXPECT_TRUE(client.closed_by_server());
    }
}

TEST_F(PhoneAttackTest, IdleSocketsBeyondEightAnAddressAreRefusedAndOthersGoOn) {
    LogLines log;
    std::vector<std::unique_ptr<AttackClient>> idle;
    for (int i = 0; i < 300; ++i) idle.push_back(std::make_unique<AttackClient>(2 + i % 5, phones->port()));
    int refused = 0;
    for (auto& client : idle) refused += client->closed_by_server(50) ? 1 : 0;
    EXPECT_EQ(refused, 300 - 5 * 8);
    another_phone_is_answered();
    nothing_was_lost();
    EXPECT_LE(log.of("karaoke.remote").size(), 1);  // a flood is told once, not per connection
}

TEST_F(PhoneAttackTest, PipelinedRequestsNeverReadAreNotBuffered) {
    AttackClient client(2, phones->port());
    const QByteArray one = request_head("GET / HTTP/1.1");
    client.send_all(one.repeated(10'000), 2'000);
    another_phone_is_answered();
    nothing_was_lost();
}

TEST_F(PhoneAttackTest, AThousandWrongPinsFromFiftyAddressesStopEveryLoginButNotTheGuests) {
    int wrong = 0;
    int waiting = 0;
    for (int i = 0; i < 1'000; ++i) {
        const QByteArray body = QString(R"({"pin":"%1"})").arg(i % 10'000, 4, 10, QChar('0')).toLatin1();
        const int status =
            sent_alone(10 + i % 50, request_head("POST /api/login HTTP/1.1",
                                                 "Content-Type: application/json\r\n"
                                                 "Content-Length: " +
                                                     QByteArray::number(body.size()) + "\r\n") +
                                        body);
        wrong += status == 403 ? 1 : 0;
        waiting += status == 429 ? 1 : 0;
    }
    EXPECT_LE(wrong, PinGuard::kWrongPinsInTotal);
    EXPECT_EQ(wrong + waiting, 1'000);
    EXPECT_TRUE(phones->api().logins_wait());
    auto newcomer = new_phone();
    EXPECT_EQ(send(*newcomer, "POST", "/api/login", R"({"pin":"1234"})").status, 429);
    EXPECT_EQ(order("102002").status, 200);  // the guest signed in before goes on
    queue_before << "102002";
    nothing_was_lost();
}

namespace {

// A server of its own whose requests must be complete within a fifth of a
// second, so that the test waits that long and no more.
class SlowClientTest : public ::testing::Test {
protected:
    static HttpResponse answer_ok(const HttpRequest&) { return {200, "text/plain", "ok\n", {}}; }
    static HttpLimits short_limits() {
        HttpLimits limits;
        limits.request_time = kRequestTime;
        return limits;
    }

    // Sends `bytes` one at a time, 20 ms apart, until they are all out or
    // the server closes; returns how many went out.
    qsizetype drip(AttackClient& client, const QByteArray& bytes) {
        qsizetype sent = 0;
        while (sent < bytes.size() && !client.closed_by_server(20))
            sent += client.send_all(bytes.mid(sent, 1));
        return sent;
    }

    static constexpr auto kRequestTime = 200ms;
    HttpServer server{answer_ok, {}, short_limits()};
    const quint16 port = server.listen(0, true);
    // Eight seconds of dripping, were the connection never closed.
    const QByteArray head = request_head("GET / HTTP/1.1", "X-Padding: " + QByteArray(360, 'y') + "\r\n");
};

}  // namespace

TEST_F(SlowClientTest, ADripFromTheOpeningIsClosedWhenItsRequestIsLate) {
    AttackClient client(2, port);
    QElapsedTimer clock;
    clock.start();
    EXPECT_LT(drip(client, head), head.size());
    EXPECT_TRUE(client.closed_by_server(0));
    EXPECT_GE(clock.elapsed(), kRequestTime.count());
}

TEST_F(SlowClientTest, ADripAfterAnAnsweredRequestIsClosedToo) {
    AttackClient client(2, port);
    client.send_all(request_head("GET / HTTP/1.1"));
    ASSERT_EQ(client.status(), 200);
    EXPECT_LT(drip(client, head), head.size());
    EXPECT_TRUE(client.closed_by_server(0));
}

TEST_F(SlowClientTest, AClientWaitingForItsAnswerIsNotClosed) {
    AttackClient client(2, port);
    client.send_all(request_head("GET / HTTP/1.1"));
    // The window thread is busy past the request time: the answer waits.
    std::this_thread::sleep_for(2 * kRequestTime);
    EXPECT_EQ(client.status(), 200);
}
