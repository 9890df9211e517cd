#include "platform/glyph_cache.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// Qt's raster engine keeps pictures of glyphs below this size in pixels.
constexpr double kQtCachedGlyphLimit = 64;
// Enough layouts for every line of several screens.
constexpr qsizetype kLayoutsKept = 4096;
// Glyph pictures are kept for positions an eighth of a pixel apart.
constexpr int kSteps = 8;
// Qt's raster engine hands the rows of a picture of 96 rows or more to its
// thread pool in bands and waits for them: for a glyph of a few hundred rows
// the hand-over costs several times the drawing itself (a screen of 4K text
// took 14 ms instead of 4). Pictures are drawn in bands below that size.
constexpr int kRowsDrawnAtOnce = 64;

// A position on the device split into its pixel and the step within it.
struct Snapped {
    QPoint pixel;
    int step_x;
    int step_y;
};

Snapped snap(QPointF device) {
    const auto steps = [](double value) { return static_cast<int>(std::lround(value * kSteps)); };
    const int x = steps(device.x());
    const int y = steps(device.y());
    const auto pixel = [](int step_count) {
        return static_cast<int>(std::floor(double(step_count) / kSteps));
    };
    return {{pixel(x), pixel(y)}, x - pixel(x) * kSteps, y - pixel(y) * kSteps};
}

void draw_in_bands(QPainter& painter, QPoint top_left, const QImage& picture) {
    for (int row = 0; row < picture.height(); row += kRowsDrawnAtOnce) {
        const QRect band(0, row, picture.width(), std::min(kRowsDrawnAtOnce, picture.height() - row));
        painter.drawImage(top_left + band.topLeft(), picture, band);
    }
}

}  // namespace

GlyphCache::GlyphCache(qsizetype byte_limit) : byte_limit_(byte_limit) {}

void GlyphCache::draw_line(QPainter& painter, QPointF baseline_start, const QString& line,
                           const QFont& font) {
    const QTransform transform = painter.transform();
    const Layout& layout = layout_of(line, font);
    if (!layout.large || transform.type() > QTransform::TxTranslate) {
        painter.setFont(font);
        painter.drawText(baseline_start, line);
        return;
    }
    // The pictures are placed on whole device pixels.
    painter.save();
    painter.resetTransform();
    const QRgb color = painter.pen().color().rgba();
    const QPointF origin = transform.map(baseline_start);
    for (const PlacedGlyph& glyph : layout.glyphs) {
        const Snapped at = snap(origin + glyph.position);
        const Picture& picture = picture_of({glyph.face, glyph.index, at.step_x, at.step_y, color});
        draw_in_bands(painter, at.pixel + picture.offset, picture.image);
    }
    painter.restore();
    keep_within_limit();
}

const GlyphCache::Layout& GlyphCache::layout_of(const QString& line, const QFont& font) {
    const QPair<QFont, QString> key(font, line);
    const auto found = layouts_.constFind(key);
    if (found != layouts_.cend()) return *found;
    if (layouts_.size() >= kLayoutsKept) layouts_.clear();
    return *layouts_.insert(key, lay_out(line, font));
}

// The glyphs Qt's text engine chooses for the line, fallback faces
// included, where it would place them.
GlyphCache::Layout GlyphCache::lay_out(const QString& line, const QFont& font) {
    QTextLayout text_layout(line, font);
    text_layout.setCacheEnabled(true);
    text_layout.beginLayout();
    const QTextLine text_line = text_layout.createLine();
    text_layout.endLayout();
    Layout layout;
    if (!text_line.isValid()) return layout;
    const QPointF baseline(0, text_line.ascent());
    layout.large = true;
    for (const QGlyphRun& run : text_layout.glyphRuns()) {
        const QRawFont face = run.rawFont();
        if (face.pixelSize() < kQtCachedGlyphLimit) layout.large = false;
        const int number = face_number(face);
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i)
            layout.glyphs.push_back({number, indexes[i], positions[i] - baseline});
    }
    return layout;
}

int GlyphCache::face_number(const QRawFont& face) {
    for (size_t i = 0; i < faces_.size(); ++i)
        if (faces_[i] == face) return static_cast<int>(i);
    faces_.push_back(face);
    return static_cast<int>(faces_.size() - 1);
}

const GlyphCache::Picture& GlyphCache::picture_of(const PictureKey& key) {
    auto found = pictures_.find(key);
    if (found != pictures_.end()) {
        uses_.splice(uses_.begin(), uses_, found->use);
        return *found;
    }
    Picture picture = render(key);
    bytes_used_ += picture.image.sizeInBytes();
    uses_.push_front(key);
    picture.use = uses_.begin();
    return *pictures_.insert(key, std::move(picture));
}

// Qt fills the glyph's outline into a transparent picture, at the same
// position within a pixel as on the device.
GlyphCache::Picture GlyphCache::render(const PictureKey& key) const {
    const QRawFont& face = faces_[static_cast<size_t>(key.face)];
    const QPointF within_pixel(double(key.step_x) / kSteps, double(key.step_y) / kSteps);
    const QRect ink =
        face.boundingRect(key.index).translated(within_pixel).toAlignedRect().adjusted(-1, -1, 1, 1);
    Picture picture;
    if (ink.isEmpty()) return picture;
    picture.offset = ink.topLeft();
    picture.image = QImage(ink.size(), QImage::Format_ARGB32_Premultiplied);
    picture.image.fill(Qt::transparent);
    QGlyphRun run;
    run.setRawFont(face);
    run.setGlyphIndexes({key.index});
    run.setPositions({within_pixel - QPointF(ink.topLeft())});
    QPainter painter(&picture.image);
    painter.setPen(QColor::fromRgba(key.color));
    painter.drawGlyphRun(QPointF(0, 0), run);
    return picture;
}

// Pictures drawn in the current paint are never dropped before it ends:
// the limit is applied after each line.
void GlyphCache::keep_within_limit() {
    while (bytes_used_ > byte_limit_ && !uses_.empty()) {
        const auto found = pictures_.find(uses_.back());
        bytes_used_ -= found->image.sizeInBytes();
        pictures_.erase(found);
        uses_.pop_back();
    }
}

GlyphCache& glyph_cache() {
    static GlyphCache cache;
    return cache;
}
