#include "ordering/main_menu_fixture.h"
#include "remote/phone_ordering.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

class PhoneScreensTest : public MainMenuTest {
protected:
    void switch_phone_ordering_on() {
        write_settings("PhoneOrdering = 1\r\nPhoneOrderingPort = 0\r\nPhoneOrderingPin = 1357\r\n");
    }
    std::vector<PictureBox::PictureItem> pictures() const {
        return menu->Picture1.items_of<PictureBox::PictureItem>();
    }
    // What a phone does through the API, signed in.
    PhoneResponse phone(const QByteArray& method, const QByteArray& path, const QByteArray& body = {}) {
        PhoneApi& api = menu->phone_ordering()->api();
        if (cookie.isEmpty())
            cookie = api.handle({"POST", "/api/login", {}, R"({"pin":"1357"})", {}, "phone"})
                         .set_cookie.split(';')[0];
        return api.handle({method, path, {}, body, cookie, "phone"});
    }
    QByteArray cookie;
};

// Pixels of the notice's red on a card.
int red_pixels(const QImage& card) {
    int count = 0;
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x) {
            const QColor color = card.pixelColor(x, y);
            count += color.red() > 200 && color.green() < 100 && color.blue() < 100 ? 1 : 0;
        }
    return count;
}

PhoneResponse wrong_pin(PhoneApi& api, int from) {
    return api.handle({"POST", "/api/login", {}, R"({"pin":"0000"})", {}, QString("10.0.0.%1").arg(from)});
}

}  // namespace

TEST_F(PhoneScreensTest, WithoutTheSettingTheMainMenuIsAsBeforeAndNothingListens) {
    open_menu();
    EXPECT_EQ(menu->phone_ordering(), nullptr);
    EXPECT_EQ(screen(), kMainMenuLines);
    EXPECT_TRUE(pictures().empty());
}

TEST_F(PhoneScreensTest, TheMainMenuShowsTheCardInTheCornerOfItsTextAreaCoveringNoLine) {
    switch_phone_ordering_on();
    open_menu();
    ASSERT_NE(menu->phone_ordering(), nullptr);
    ASSERT_TRUE(menu->phone_ordering()->listening());
    EXPECT_EQ(menu->phone_ordering()->pin(), "1357");
    EXPECT_EQ(screen(), kMainMenuLines);
    ASSERT_EQ(pictures().size(), 1u);
    const QRectF card = pictures().front().target;
    EXPECT_LE(card.right(), menu->Picture1.scale_width());
    EXPECT_LE(card.bottom(), menu->Picture1.scale_height());
    EXPECT_GT(card.left(), menu->Picture1.scale_width() / 2);
    for (const auto& line : menu->Picture1.texts()) {
        const double twips = state->twips_per_pixel;
        const QRectF text(line.top_left, QSizeF(line.size_px.width() * twips, line.size_px.height() * twips));
        EXPECT_FALSE(card.intersects(text)) << line.text.toStdString();
    }
    // The card is drawn once and kept: printing the menu again paints nothing new.
    const qint64 first = pictures().front().picture.cacheKey();
    menu->show_main_menu();
    EXPECT_EQ(pictures().front().picture.cacheKey(), first);
}

TEST_F(PhoneScreensTest, APhoneOrderOrDeletionRepaintsTheQueueScreenTheKeypadShows) {
    switch_phone_ordering_on();
    add_songs(3);
    open_menu();
    press("4");  // deleting
    EXPECT_FALSE(screen().join('\n').contains("歌2--江蕙"));
    EXPECT_EQ(phone("POST", "/api/queue", R"({"num":"1000002"})").status, 200);
    EXPECT_TRUE(screen().join('\n').contains("歌2--江蕙"));
    EXPECT_EQ(phone("DELETE", "/api/queue/0").status, 200);
    EXPECT_FALSE(screen().join('\n').contains("歌2--江蕙"));
}

TEST_F(PhoneScreensTest, TenWrongPinsPutTheNoticeOnTheMainMenusCardWhileLoginsWait) {
    switch_phone_ordering_on();
    open_menu();
    PhoneApi& api = menu->phone_ordering()->api();
    qint64 now = 1'000'000;
    api.set_time_source([&now] { return now; });
    EXPECT_EQ(red_pixels(pictures().front().picture), 0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(wrong_pin(api, i).status, 403);
    EXPECT_GT(red_pixels(pictures().front().picture), 100);
    EXPECT_EQ(screen(), kMainMenuLines);
    const PhoneResponse refused = api.handle({"POST", "/api/login", {}, R"({"pin":"1357"})", {}, "phone"});
    EXPECT_EQ(refused.status, 429);
    EXPECT_TRUE(refused.body.contains("有人一直輸錯密碼，手機點歌暫停"));

    now += 60'000;  // the wait is over: the card is as before
    QTest::qWait(state->clock.real_ms(1100));
    EXPECT_EQ(red_pixels(pictures().front().picture), 0);
}

TEST(PhoneApiPin, ARandomPinChangesAfterTwentyWrongOnesAndAChosenOneStays) {
    TempFolder folder;
    auto state = make_test_state(folder);
    for (const bool random : {true, false}) {
        PhoneApi api(*state, "1357");
        api.set_pin_is_random(random);
        qint64 now = 0;
        api.set_time_source([&now] { return now; });
        QSignalSpy changed(&api, &PhoneApi::sign_changed);
        for (int i = 0; i < 20; ++i, now += 120'000) ASSERT_EQ(wrong_pin(api, i % 4).status, 403) << i;
        EXPECT_EQ(changed.count(), random ? 1 : 0);  // the screens show the new one
        if (!random) {
            EXPECT_EQ(api.pin(), "1357");
        }
    }
}

TEST(PhoneBackground, TheCardAndTheNextSongStandOverThePicture) {
    TempFolder folder;
    auto state = make_test_state(folder);
    PhoneOrdering phones(*state, "1357", 0, QHostAddress::LocalHost, "192.168.1.20");
    QImage screen(1920, 1080, QImage::Format_RGB32);
    screen.fill(Qt::blue);
    QPainter painter(&screen);
    paint_between_songs(painter, screen.rect(), phones, "家後--江蕙");
    painter.end();
    // The card's white stands in the bottom-right corner, the top left stays.
    EXPECT_EQ(screen.pixelColor(1900, 1060), QColor(Qt::blue));  // the margin
    EXPECT_EQ(screen.pixelColor(1880 - 10, 1040 - 10), QColor(Qt::white));
    EXPECT_EQ(screen.pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(phones.address(), QString("http://192.168.1.20:%1/").arg(phones.port()));
}
