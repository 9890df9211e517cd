#include "widgets/picture_box.h"

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <gtest/gtest.h>

#include <vector>

namespace {

const QColor kDarkBlue(0, 0, 128);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);

bool image_has(const QImage& image, const QRect& area, QColor color) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) == color) return true;
        }
    }
    return false;
}

// The regions the frames after a change repaint.
class RepaintWatch : public QObject {
public:
    explicit RepaintWatch(QWidget& widget) { widget.installEventFilter(this); }
    std::vector<QRegion> regions;

    // Runs the event loop's pending work, as before the next frame.
    std::vector<QRegion> next_frames() {
        regions.clear();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return regions;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
};

class PictureBoxTest : public ::testing::Test {
protected:
    PictureBoxTest() {
        box.resize(640, 480);
        box.set_font_size(27);
    }
    PictureBox box;
};

}  // namespace

TEST_F(PictureBoxTest, PrintMovesToTheStartOfTheNextLine) {
    box.print("   主目錄");
    box.print("1.字數點歌");
    box.print("");
    box.print("9.上一目錄");

    EXPECT_EQ(box.lines(), (QStringList{"   主目錄", "1.字數點歌", "", "9.上一目錄"}));
    const double line = box.text_height("主");
    const auto texts = box.texts();
    ASSERT_EQ(texts.size(), 4u);
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].top_left, QPointF(0, static_cast<double>(i) * line));
    }
    EXPECT_EQ(box.current_x(), 0);
    EXPECT_EQ(box.current_y(), 4 * line);
}

TEST_F(PictureBoxTest, InlinePrintStaysOnTheLineAfterTheText) {
    box.print_inline("001.");
    box.print("月亮代表我的心--鄧麗君");
    box.print("成功點入:");

    EXPECT_EQ(box.lines(), (QStringList{"001.月亮代表我的心--鄧麗君", "成功點入:"}));
    const auto texts = box.texts();
    EXPECT_EQ(texts[1].top_left, QPointF(box.text_width("001."), 0));
    EXPECT_EQ(texts[2].top_left, QPointF(0, box.text_height("001.")));
}

TEST_F(PictureBoxTest, PlacedTextsGoWhereTheCurrentPositionSays) {
    // Rows of a listing: an inline row number with nothing after it must not
    // run into the row below.
    box.move_to(0, 300);
    box.print_inline("1.");
    box.move_to(0, 900);
    box.print_inline("2.");
    box.set_current_x(box.text_width("2.   "));
    box.print("歌--手");
    box.set_current_y(1500.5);
    box.print("第 1 頁");

    EXPECT_EQ(box.lines(), (QStringList{"1.", "2.歌--手", "第 1 頁"}));
    const auto texts = box.texts();
    EXPECT_EQ(texts[0].top_left, QPointF(0, 300));
    EXPECT_EQ(texts[2].top_left, QPointF(box.text_width("2.   "), 900));
    EXPECT_EQ(texts[3].top_left, QPointF(0, 1500.5));
}

TEST_F(PictureBoxTest, LineBreaksInsideATextStartNewLines) {
    box.print("目前播放 : \r\nsong.mp3");
    box.print_inline("a\nb");
    box.print("c");

    EXPECT_EQ(box.lines(), (QStringList{"目前播放 : ", "song.mp3", "a", "bc"}));
    EXPECT_EQ(box.text_height("x\r\ny"), 2 * box.text_height("x"));
    EXPECT_EQ(box.text_width("ab\nabcd"), box.text_width("abcd"));
}

TEST_F(PictureBoxTest, ClearEmptiesTheListAndReturnsToTheCorner) {
    box.print("1.字數點歌");
    box.fill_box({0, 100}, {500, 110}, kGreen);
    box.move_to(200, 300);
    box.clear();

    EXPECT_TRUE(box.items().empty());
    EXPECT_TRUE(box.lines().isEmpty());
    EXPECT_EQ(box.current_x(), 0);
    EXPECT_EQ(box.current_y(), 0);
}

TEST_F(PictureBoxTest, BoxesLinesAndPicturesAreRecordedInTwips) {
    box.fill_box({box.scale_width(), 1210}, {0, 1200}, kGreen);
    EXPECT_EQ(box.current_x(), 0);  // like a picture box: drawing ends at the second point
    EXPECT_EQ(box.current_y(), 1200);
    box.draw_line({10, 20}, {30, 40}, Qt::black);
    EXPECT_EQ(box.current_x(), 30);
    box.draw_picture(QImage(4, 2, QImage::Format_RGB32), QRectF(1, 1, 9600, 4800));
    EXPECT_EQ(box.current_x(), 30);  // pictures leave the position alone

    const auto boxes = box.items_of<PictureBox::BoxItem>();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].box, QRectF(0, 1200, 9600, 10));
    EXPECT_EQ(boxes[0].color, kGreen);
    ASSERT_EQ(box.items_of<PictureBox::LineItem>().size(), 1u);
    const auto pictures = box.items_of<PictureBox::PictureItem>();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].target, QRectF(1, 1, 9600, 4800));
}

TEST_F(PictureBoxTest, SizesAreTwipsOfTheJukeboxScale) {
    EXPECT_EQ(box.scale_width(), 640 * 15);
    EXPECT_EQ(box.scale_height(), 480 * 15);

    // A Chinese character is one em wide: 27 points are 540 twips.
    EXPECT_NEAR(box.text_width("主目錄"), 3 * 540, 3 * 540 * 0.1);
    const double large = box.text_height("主");
    box.set_font_size(13.5);
    EXPECT_NEAR(box.text_height("主") * 2, large, large * 0.1);

    box.set_font_name("細明體");
    box.set_font_bold(true);
    box.set_fore_color(kYellow);
    box.print("x");
    const auto text = box.texts().back();
    EXPECT_EQ(text.font, (FontSpec{"細明體", 13.5, true}));
    EXPECT_EQ(text.color, kYellow);
}

TEST_F(PictureBoxTest, PaintsBackgroundTextAndRules) {
    box.set_back_color(kDarkBlue);
    box.set_fore_color(kYellow);
    box.print("主目錄");
    box.fill_box({0, 3000}, {box.scale_width(), 3010}, kGreen);  // thinner than a pixel

    const QImage image = box.grab().toImage();
    ASSERT_EQ(image.size(), QSize(640, 480));
    EXPECT_EQ(image.pixelColor(639, 479), kDarkBlue);
    const int line_px = static_cast<int>(box.text_height("主") / 15);
    EXPECT_TRUE(image_has(image, QRect(0, 0, 200, line_px), kYellow));
    EXPECT_FALSE(image_has(image, QRect(0, line_px + 5, 640, 100), kYellow));
    EXPECT_EQ(image.pixelColor(320, 200), kGreen);

    box.clear();
    EXPECT_EQ(box.grab().toImage().pixelColor(320, 200), kDarkBlue);
}

TEST_F(PictureBoxTest, PaintsPicturesScaledIntoTheirRectangle) {
    QImage red(2, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    box.draw_picture(red, QRectF(150, 150, 1500, 750));  // 10,10 .. 110,60 in pixels

    const QImage image = box.grab().toImage();
    EXPECT_EQ(image.pixelColor(12, 12), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(105, 55), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(105, 70), QColor(Qt::white));
}

// A key that prints its screen again as it stood costs no painting; one
// changed line repaints that line's band and nothing of the others.
TEST_F(PictureBoxTest, RepaintsOnlyWhatChangedOnTheScreen) {
    const auto print_screen = [this](const QString& middle) {
        box.clear();
        for (const QString& line : {QString("第 1 頁"), middle, QString("選 \"0\" 可回主目錄")})
            box.print(line);
    };
    RepaintWatch watch(box);
    box.show();
    print_screen("1. 月亮代表我的心");
    watch.next_frames();

    print_screen("1. 月亮代表我的心");
    EXPECT_TRUE(watch.next_frames().empty());

    print_screen("1. 甜蜜蜜");
    const std::vector<QRegion> repainted = watch.next_frames();
    ASSERT_EQ(repainted.size(), 1u);
    const int line_px = static_cast<int>(box.text_height("主") / 15);
    const QRect first_line(0, 0, 100, line_px / 2);
    const QRect middle_line(0, line_px + line_px / 2, 100, 1);
    const QRect last_line(0, 2 * line_px + line_px / 2, 100, line_px / 2);
    EXPECT_TRUE(repainted[0].intersects(middle_line));
    EXPECT_FALSE(repainted[0].intersects(first_line));
    EXPECT_FALSE(repainted[0].intersects(last_line));
    EXPECT_EQ(box.lines(), QStringList({"第 1 頁", "1. 甜蜜蜜", "選 \"0\" 可回主目錄"}));

    box.clear();
    EXPECT_EQ(watch.next_frames().size(), 1u) << "the lines cleared away are painted over";
}
