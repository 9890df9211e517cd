#include "platform/glyph_cache.h"

#include "platform/cached_text_style.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

const QColor kDarkBlue(0, 0, 128);
const QColor kYellow(255, 255, 0);

// Anti-aliased edges may differ a little: the cache composes each glyph's
// own picture onto the screen and places it to an eighth of a pixel, where
// Qt fills the whole line at once at its exact position. No colour channel
// of any pixel may differ by more than 48 of 255 levels, and fewer than 2%
// of the pixels by more than 16.
constexpr int kEdgeTolerance = 48;
constexpr int kSmallDifference = 16;
constexpr double kShareDiffering = 0.02;

// The text area's font at a size the screens use, in their points (20 twips,
// a pixel being 15 twips).
QFont screen_font(double points) {
    QFont font("AR PL UKai TW");
    font.setPixelSize(qRound(points * 20 / 15));
    return font;
}

const QStringList kLines{"月亮代表我的心--鄧麗君", "Love Me Tender (Elvis Presley)",
                         "0123456789 第 12 頁 共 345 首"};

// Every line printed from `start`, one under the other, as Qt draws it or
// through the cache.
QImage screen(const QFont& font, QPointF start, GlyphCache* cache) {
    const int line_height = QFontMetrics(font).lineSpacing();
    QImage picture(QFontMetrics(font).horizontalAdvance(kLines[0] + kLines[1]), line_height * 4,
                   QImage::Format_RGB32);
    picture.fill(kDarkBlue);
    QPainter painter(&picture);
    painter.setPen(kYellow);
    for (qsizetype i = 0; i < kLines.size(); ++i) {
        const QPointF baseline = start + QPointF(0, double(i) * line_height + QFontMetricsF(font).ascent());
        if (cache) {
            cache->draw_line(painter, baseline, kLines[i], font);
        } else {
            painter.setFont(font);
            painter.drawText(baseline, kLines[i]);
        }
    }
    return picture;
}

struct Difference {
    int largest = 0;       // of any colour channel of any pixel
    double share = 0;      // of pixels that differ at all
    bool has_ink = false;  // the reference shows text at all
};

Difference difference(const QImage& expected, const QImage& actual) {
    Difference found;
    qsizetype differing = 0;
    const QRgb background = expected.pixel(0, 0);
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = expected.pixel(x, y);
            const QRgb b = actual.pixel(x, y);
            if (a != background) found.has_ink = true;
            const int channel = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                          std::abs(qBlue(a) - qBlue(b))});
            found.largest = std::max(found.largest, channel);
            if (channel > kSmallDifference) ++differing;
        }
    }
    found.share = double(differing) / double(expected.width() * expected.height());
    return found;
}

}  // namespace

// Chinese, Latin and digits at the sizes of a 1024 x 768, a full-HD and a
// 4K screen, from whole and fractional positions.
TEST(GlyphCacheTest, DrawsLinesAsQtDrawsThem) {
    for (const double points : {27.0, 60.0, 120.0}) {
        for (const QPointF start : {QPointF(0, 0), QPointF(3.3, 0.6), QPointF(10.75, 5.5)}) {
            SCOPED_TRACE(testing::Message() << points << " points from " << start.x() << "," << start.y());
            GlyphCache cache;
            const QFont font = screen_font(points);
            const QImage expected = screen(font, start, nullptr);
            const QImage cached = screen(font, start, &cache);
            const Difference found = difference(expected, cached);
            EXPECT_TRUE(found.has_ink);
            EXPECT_LE(found.largest, kEdgeTolerance);
            EXPECT_LT(found.share, kShareDiffering);
            // Qt keeps the small text's glyphs itself.
            EXPECT_EQ(cache.glyphs_kept() > 0, points > 40);
            // Drawn again, the kept pictures give the same screen.
            EXPECT_EQ(screen(font, start, &cache), cached);
        }
    }
}

TEST(GlyphCacheTest, DropsTheLeastRecentlyDrawnGlyphsAtItsLimit) {
    const QFont font = screen_font(120);
    GlyphCache cache(2 * 1024 * 1024);
    QImage picture(3000, 400, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setPen(kYellow);
    for (char16_t first = 0x4E00; first < 0x4E00 + 600; first += 20) {
        QString line;
        for (char16_t c = first; c < first + 20; ++c) line += QChar(c);
        cache.draw_line(painter, {0, 200}, line, font);
        EXPECT_LE(cache.bytes_used(), cache.byte_limit());
    }
    EXPECT_GT(cache.bytes_used(), cache.byte_limit() / 2);
    painter.end();
    // What was dropped is drawn again when needed.
    const Difference found = difference(screen(font, {0, 0}, nullptr), screen(font, {0, 0}, &cache));
    EXPECT_TRUE(found.has_ink);
    EXPECT_LE(found.largest, kEdgeTolerance);
}

// A scaled or rotated painter (a printout, say) gets Qt's own drawing.
TEST(GlyphCacheTest, LeavesTransformedPaintersToQt) {
    const QFont font = screen_font(60);
    QImage expected(800, 300, QImage::Format_RGB32);
    expected.fill(kDarkBlue);
    QImage actual = expected;
    GlyphCache cache;
    for (QImage* picture : {&expected, &actual}) {
        QPainter painter(picture);
        painter.scale(1.5, 1.5);
        painter.setPen(kYellow);
        painter.setFont(font);
        if (picture == &actual) {
            cache.draw_line(painter, {5, 100}, kLines[0], font);
        } else {
            painter.drawText(QPointF(5, 100), kLines[0]);
        }
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(cache.glyphs_kept(), 0);
}

// A message as the player shows it over the video: right-aligned, in a bold
// font a quarter of a full-HD screen wide.
TEST(GlyphCacheTest, LabelsWithTheCachedTextStyleLookAsBefore) {
    QLabel label("音量 50  麥克風 ON");
    QFont font("AR PL UKai TW");
    font.setBold(true);
    font.setPixelSize(86);
    label.setFont(font);
    label.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label.resize(900, 120);
    const QImage expected = label.grab().toImage();
    const qsizetype kept_before = glyph_cache().glyphs_kept();

    label.setStyle(cached_text_style());
    static QStringList warnings;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && type != QtInfoMsg) warnings.append(text);
        });
    const QImage cached = label.grab().toImage();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join("\n").toStdString();
    const Difference found = difference(expected, cached);
    EXPECT_TRUE(found.has_ink);
    EXPECT_LE(found.largest, kEdgeTolerance);
    EXPECT_LT(found.share, kShareDiffering);
    EXPECT_GT(glyph_cache().glyphs_kept(), kept_before);
}
