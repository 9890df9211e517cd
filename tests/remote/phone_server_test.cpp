#include "phone_server_fixture.h"

#include "foundation/song_orders.h"
#include "playback/playback_session.h"
#include "support/fake_media_player.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QSignalSpy>
#include <QWidget>

namespace {

QStringList texts_of(const QJsonArray& entries, const char* field) {
    QStringList texts;
    for (const QJsonValue& entry : entries) texts << entry.toObject().value(field).toString();
    return texts;
}

}  // namespace

TEST_F(PhoneServerTest, ThePinOpensASessionWhoseCookieTheCallsNeed) {
    const PhoneReply page = send("GET", "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(QString::fromUtf8(page.body).contains("輸入密碼"));
    EXPECT_EQ(send("GET", "/api/queue").status, 401);

    const PhoneReply wrong = send("POST", "/api/login", R"({"pin":"9999"})");
    EXPECT_EQ(wrong.status, 403);
    EXPECT_TRUE(wrong.set_cookie.isEmpty());

    const PhoneReply right = send("POST", "/api/login", R"({"pin":"1234"})");
    EXPECT_EQ(right.status, 200);
    EXPECT_TRUE(right.set_cookie.startsWith("karaoke_session="));
    EXPECT_TRUE(right.set_cookie.contains("HttpOnly"));
    EXPECT_TRUE(right.set_cookie.contains("SameSite=Strict"));
    EXPECT_EQ(send("GET", "/api/queue").status, 200);

    // Another phone's session is its own: a second login gives another cookie.
    auto other = new_phone();
    EXPECT_EQ(send(*other, "GET", "/api/queue").status, 401);
    EXPECT_NE(send(*other, "POST", "/api/login", R"({"pin":"1234"})").set_cookie, right.set_cookie);
}

TEST_F(PhoneServerTest, FiveWrongPinsFromOneAddressMakeItWaitAMinute) {
    for (int attempt = 1; attempt <= 5; ++attempt)
        EXPECT_EQ(send("POST", "/api/login", R"({"pin":"0000"})").status, 403) << attempt;
    // Even the right PIN waits now, on every phone of that address.
    EXPECT_EQ(send("POST", "/api/login", R"({"pin":"1234"})").status, 429);
    auto other = new_phone();
    EXPECT_EQ(send(*other, "POST", "/api/login", R"({"pin":"1234"})").status, 429);
    now_ms += 59'999;
    EXPECT_EQ(send("POST", "/api/login", R"({"pin":"1234"})").status, 429);
    now_ms += 1;
    EXPECT_EQ(send("POST", "/api/login", R"({"pin":"1234"})").status, 200);
}

TEST_F(PhoneServerTest, EveryCallButThePageAndTheLoginIsRefusedWithoutTheCookie) {
    const std::vector<std::pair<QByteArray, QString>> calls = {
        {"GET", "/api/songs?q=a"},     {"GET", "/api/queue"},           {"POST", "/api/queue"},
        {"DELETE", "/api/queue/0"},    {"POST", "/api/queue/0/insert"}, {"POST", "/api/player/cut"},
        {"POST", "/api/player/pause"}, {"POST", "/api/player/again"}};
    for (const auto& [method, path] : calls)
        EXPECT_EQ(send(method, path, R"({"num":"1"})").status, 401)
            << method.constData() << path.toStdString();

    // A made-up cookie is no session either.
    QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1/api/queue").arg(phones->port())));
    request.setRawHeader("Cookie", "karaoke_session=00000000000000000000000000000000");
    QNetworkReply* reply = phone->get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 401);
    reply->deleteLater();
    EXPECT_TRUE(state->play_queue.empty());
}

TEST_F(PhoneServerTest, EveryOtherPathIsNotFoundAndNoFileIsServed) {
    log_in();
    for (const QString path : {"/index.html", "/api", "/api/", "/api/queue/0/delete", "/api/player/close",
                               "/karaoke.db", "/Setting.ini", "/api/songs/1", "/api/queue/1/2"})
        EXPECT_EQ(send("GET", path).status, 404) << path.toStdString();
    EXPECT_EQ(send("PUT", "/api/queue").status, 404);
    EXPECT_EQ(raw_status("GET /../../etc/passwd HTTP/1.1"), 404);
    EXPECT_EQ(raw_status("GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1"), 404);
    EXPECT_EQ(raw_status("GET /api/../../karaoke.db HTTP/1.1"), 404);
}

class PhoneSearchTest : public PhoneServerTest {
protected:
    void SetUp() override {
        PhoneServerTest::SetUp();
        const int jiang = add_test_singer(*state, "江蕙", 0);
        const int wu = add_test_singer(*state, "伍佰", 1);
        const int band = add_test_singer(*state, "50%_樂團", 2);
        add_test_song(*state, "102001", 1, "家後", jiang);
        add_test_song(*state, "102002", 1, "酒後的心聲", jiang);
        add_test_song(*state, "203001", 2, "浪人情歌", wu);
        // A duet is two rows under one number.
        add_test_song(*state, "203002", 2, "你是我的花朵", wu);
        add_test_song(*state, "203002", 2, "你是我的花朵", jiang);
        add_test_song(*state, "304001", 3, "100% 'love'", band);
        add_test_song(*state, "304002", 3, "under_score", band);
        add_test_song(*state, "304003", 3, "plain", band);
        log_in();
    }

    QJsonObject search(const QString& q, const QString& kind = {}, const QString& page = {}) {
        const QString query =
            "q=" + QString::fromLatin1(QUrl::toPercentEncoding(q)) + "&kind=" + kind + "&page=" + page;
        const PhoneReply reply = send("GET", "/api/songs?" + query);
        EXPECT_EQ(reply.status, 200) << q.toStdString();
        return reply.json();
    }
    QStringList numbers(const QString& q, const QString& kind = {}) {
        return texts_of(search(q, kind).value("songs").toArray(), "num");
    }

    // The singing window's session on a fake engine, handed to the phones.
    PlaybackSession& open_player() {
        state->platform.make_media_player = players.factory();
        session = std::make_unique<PlaybackSession>(*state, state->platform.make_media_player(&window));
        phones->api().set_playback(session.get());
        return *session;
    }

    FakeMediaPlayers players;
    QWidget window;
    std::unique_ptr<PlaybackSession> session;
};

TEST_F(PhoneSearchTest, FindsSongsByNumberTitlePartSingerPartAndCategory) {
    EXPECT_EQ(numbers("102001"), QStringList({"102001"}));
    EXPECT_EQ(numbers("2030"), QStringList({"203001", "203002"}));
    EXPECT_EQ(numbers("後"), QStringList({"102001", "102002"}));
    EXPECT_EQ(numbers("花"), QStringList({"203002"}));
    EXPECT_EQ(numbers("伍"), QStringList({"203001", "203002"}));
    EXPECT_EQ(numbers("蕙", "1"), QStringList({"102001", "102002"}));
    EXPECT_EQ(numbers("", "2"), QStringList({"203001", "203002"}));
    EXPECT_EQ(numbers("LOVE"), QStringList({"304001"}));
    EXPECT_TRUE(numbers("沒有這首").isEmpty());

    const QJsonObject duet = search("花").value("songs").toArray().first().toObject();
    EXPECT_EQ(duet.value("title").toString(), "你是我的花朵");
    EXPECT_EQ(duet.value("singers").toString(), "伍佰+江蕙");
    EXPECT_FALSE(duet.contains("location"));
}

TEST_F(PhoneSearchTest, SongsRegisteredMeanwhileAreFoundAndDeletedOnesAreNot) {
    EXPECT_TRUE(numbers("新歌").isEmpty());
    add_test_song(*state, "105001", 1, "一首新歌", add_test_singer(*state, "新人"));
    EXPECT_EQ(numbers("新歌"), QStringList({"105001"}));
    execute_sql("DELETE FROM song WHERE song_num = '102001'", state->db_path);
    EXPECT_EQ(numbers("後"), QStringList({"102002"}));
}

TEST_F(PhoneSearchTest, QuotesPercentAndUnderscoreAreFoundLiterally) {
    EXPECT_EQ(numbers("%"), QStringList({"304001", "304002", "304003"}));  // the band's name holds "%"
    EXPECT_EQ(numbers("0% '"), QStringList({"304001"}));
    EXPECT_EQ(numbers("'love'"), QStringList({"304001"}));
    EXPECT_EQ(numbers("r_s"), QStringList({"304002"}));
    EXPECT_EQ(numbers("_"), QStringList({"304001", "304002", "304003"}));
    EXPECT_TRUE(numbers("\\").isEmpty());
    EXPECT_TRUE(numbers("' OR 1=1 --").isEmpty());
}

// The search compares the texts' bytes: "愛一" (U+611B U+4E00) holds the bytes
// of "a" (U+0061) across its two characters, which must not count.
TEST_F(PhoneSearchTest, OnlyWholeCharactersMatch) {
    add_test_song(*state, "105001", 1, "愛一", add_test_singer(*state, "新人"));
    EXPECT_EQ(numbers("a"), QStringList({"304003"}));  // "plain"
    EXPECT_EQ(numbers("愛一"), QStringList({"105001"}));
}

TEST_F(PhoneSearchTest, PagesHoldFiftySongsAndSayWhetherMoreFollow) {
    const int singer = add_test_singer(*state, "多歌", 0);
    execute_sql("BEGIN", state->db_path);  // one write of the file instead of 120
    for (int i = 0; i < 120; ++i)
        add_test_song(*state, QString::number(500000 + i), 4, "情歌" + QString::number(i), singer);
    execute_sql("COMMIT", state->db_path);
    const QJsonObject first = search("多歌");
    EXPECT_EQ(first.value("songs").toArray().size(), 50);
    EXPECT_TRUE(first.value("more").toBool());
    EXPECT_EQ(texts_of(first.value("songs").toArray(), "num").first(), "500000");
    const QJsonObject third = search("多歌", {}, "3");
    EXPECT_EQ(third.value("songs").toArray().size(), 20);
    EXPECT_FALSE(third.value("more").toBool());
    EXPECT_EQ(texts_of(third.value("songs").toArray(), "num").first(), "500100");
}

TEST_F(PhoneSearchTest, OversizedOrMalformedInputIsRefused) {
    const QString base = "/api/songs?q=";
    EXPECT_EQ(send("GET", base + QString(10'000, 'a')).status, 414);  // refused before the API sees it
    EXPECT_EQ(send("GET", base + QString(1'000, 'a')).status, 400);
    EXPECT_EQ(send("GET", base + QString(101, 'a')).status, 400);
    EXPECT_EQ(send("GET", base + QString(100, 'a')).status, 200);
    EXPECT_EQ(send("GET", base + "%FF%FE").status, 400);
    EXPECT_EQ(send("GET", base + "a&page=0").status, 400);
    EXPECT_EQ(send("GET", base + "a&page=x").status, 400);
    EXPECT_EQ(send("GET", base + "a&kind=8").status, 400);
    EXPECT_EQ(send("GET", base + "a&kind=-1").status, 400);

    EXPECT_EQ(send("POST", "/api/queue", "{\"num\":\"1\",\"pad\":\"" + QByteArray(5000, 'x') + "\"}").status,
              413);
    EXPECT_EQ(
        send("POST", "/api/login", "{\"pin\":\"1234\",\"pad\":\"" + QByteArray(5000, 'x') + "\"}").status,
        413);
    EXPECT_EQ(order("12345678901").status, 400);
    EXPECT_EQ(order("").status, 400);
    EXPECT_EQ(order("10200a").status, 400);
    EXPECT_EQ(order("１０２００１").status, 400);  // full-width digits
    EXPECT_EQ(send("POST", "/api/queue", "{\"num\":\"\xFF\"}").status, 400);
    EXPECT_EQ(send("POST", "/api/queue", "not json").status, 400);
    EXPECT_EQ(send("DELETE", "/api/queue/5001").status, 400);
    EXPECT_EQ(send("POST", "/api/queue/99999999999/insert").status, 400);
    EXPECT_TRUE(state->play_queue.empty());
}

TEST_F(PhoneSearchTest, OrdersJoinTheOneQueueTheKeypadUses) {
    QSignalSpy changed(&phones->api(), &PhoneApi::queue_changed);
    add_song_to_queue(*state, "203001");  // ordered on the keypad
    const PhoneReply ordered = order("102001");
    EXPECT_EQ(ordered.status, 200);
    EXPECT_EQ(texts_of(ordered.json().value("queue").toArray(), "text"),
              QStringList({"浪人情歌--伍佰", "家後--江蕙"}));
    EXPECT_TRUE(ordered.json().value("playing").isNull());
    EXPECT_EQ(state->play_queue.number_at(1), "102001");
    EXPECT_EQ(changed.count(), 1);

    const PhoneReply unknown = order("999999");
    EXPECT_EQ(unknown.status, 404);
    EXPECT_EQ(unknown.json().value("error").toString(), "沒這種歌!");
    EXPECT_EQ(state->play_queue.size(), 2);
    EXPECT_FALSE(QString::fromUtf8(send("GET", "/api/queue").body).contains("/songs/"));  // no media paths
}

TEST_F(PhoneSearchTest, TwentyOrdersAMinuteEachAddressWhateverItsSessions) {
    for (int i = 0; i < 20; ++i) ASSERT_EQ(order("102001").status, 200) << i;
    EXPECT_EQ(order("102001").status, 429);
    // A second session of the same address orders no more.
    auto other = new_phone();
    log_in(*other);
    EXPECT_EQ(send(*other, "POST", "/api/queue", R"({"num":"102002"})").status, 429);
    now_ms += 60'000;
    EXPECT_EQ(send(*other, "POST", "/api/queue", R"({"num":"102002"})").status, 200);
    EXPECT_EQ(order("102001").status, 200);
    EXPECT_EQ(state->play_queue.size(), 22);
}

TEST_F(PhoneSearchTest, AFullQueueTakesNoMore) {
    while (!state->play_queue.full()) state->play_queue.append("102002", "酒後的心聲--江蕙");
    const PhoneReply refused = order("102001");
    EXPECT_EQ(refused.status, 409);
    EXPECT_EQ(state->play_queue.size(), PlayQueue::kCapacity);
    EXPECT_EQ(state->play_queue.number_at(PlayQueue::kCapacity - 1), "102002");
}

TEST_F(PhoneSearchTest, WhileIdleAnyEntryIsDeletedOrInsertedAtTheHead) {
    for (const char* number : {"102001", "102002", "203001"}) add_song_to_queue(*state, number);
    const PhoneReply inserted = send("POST", "/api/queue/2/insert");
    EXPECT_EQ(inserted.status, 200);
    EXPECT_EQ(state->play_queue.number_at(0), "203001");
    EXPECT_EQ(state->play_queue.display_at(0), "浪人情歌--插播");
    EXPECT_EQ(state->play_queue.number_at(1), "102001");

    EXPECT_EQ(send("DELETE", "/api/queue/0").status, 200);
    EXPECT_EQ(state->play_queue.number_at(0), "102001");
    EXPECT_EQ(state->play_queue.size(), 2);
    EXPECT_EQ(send("DELETE", "/api/queue/2").status, 404);
    EXPECT_EQ(send("POST", "/api/queue/7/insert").status, 404);
    EXPECT_EQ(send("POST", "/api/player/cut").status, 409);  // no player open
}

TEST_F(PhoneSearchTest, WhileASongPlaysItStaysAndInsertsGoRightAfterIt) {
    PlaybackSession& playing = open_player();
    for (const char* number : {"102001", "102002", "203001", "304001"}) add_song_to_queue(*state, number);
    playing.start_head_if_idle();
    ASSERT_EQ(players.last()->play_state(), play_state::playing);

    const QJsonObject listed = send("GET", "/api/queue").json();
    EXPECT_EQ(listed.value("playing").toObject().value("num").toString(), "102001");
    EXPECT_TRUE(listed.value("player").toObject().value("open").toBool());
    EXPECT_EQ(send("DELETE", "/api/queue/0").status, 409);
    EXPECT_EQ(send("POST", "/api/queue/0/insert").status, 409);

    EXPECT_EQ(send("POST", "/api/queue/3/insert").status, 200);
    EXPECT_EQ(state->play_queue.number_at(0), "102001");
    EXPECT_EQ(state->play_queue.number_at(1), "304001");
    EXPECT_EQ(state->play_queue.display_at(1), "100% 'love'--插播");
    EXPECT_EQ(state->play_queue.number_at(2), "102002");

    EXPECT_EQ(send("POST", "/api/player/pause").status, 200);
    QCoreApplication::processEvents();
    EXPECT_TRUE(playing.paused());
    EXPECT_TRUE(send("GET", "/api/queue").json().value("player").toObject().value("paused").toBool());
}

TEST_F(PhoneSearchTest, AnOrderIntoAnEmptyQueueStartsTheOpenPlayer) {
    open_player();
    EXPECT_EQ(order("203001").status, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(players.last()->play_state(), play_state::playing);
}

TEST(PhoneOrderingSwitch, WithoutTheSettingNothingListens) {
    TempFolder folder;
    auto state = make_test_state(folder);
    EXPECT_FALSE(start_phone_ordering(*state));
    state->settings.PhoneOrdering = 1;
    state->settings.PhoneOrderingPort = 0;  // any free port
    state->settings.PhoneOrderingPin = "0042";
    const auto phones = start_phone_ordering(*state);
    ASSERT_NE(phones, nullptr);
    EXPECT_EQ(phones->pin(), "0042");
    state->settings.PhoneOrderingPin = "";
    EXPECT_TRUE(QRegularExpression("^[0-9]{4}$").match(start_phone_ordering(*state)->pin()).hasMatch());
}
