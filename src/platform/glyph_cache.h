#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <list>
#include <vector>

class QPainter;

// Paints text too large for Qt's own glyph cache from pictures of its
// glyphs. Qt keeps pictures of glyphs only up to 64 pixels and fills every
// larger glyph from its outline on every paint, which at the text sizes of a
// full-HD or 4K television costs tens of milliseconds a screen. Here each
// glyph is filled from its outline once, by Qt itself, into a picture kept
// per face, size, colour and position within a pixel (to an eighth); later paints only copy
// the pictures. Smaller text is left to Qt, whose own cache serves it.
//
// Glyphs rather than whole lines are kept because guests page through lists
// whose lines are new on every page while their characters repeat. The
// pictures are bounded by a byte limit, the least recently drawn going
// first; line layouts are kept too, a bounded number of them.
class GlyphCache {
public:
    static constexpr qsizetype kDefaultByteLimit = 96 * 1024 * 1024;

    explicit GlyphCache(qsizetype byte_limit = kDefaultByteLimit);

    // Draws one line of text in the painter's pen colour with its baseline
    // starting at `baseline_start`, as painter.drawText(baseline_start, line)
    // would draw it.
    void draw_line(QPainter& painter, QPointF baseline_start, const QString& line, const QFont& font);

    qsizetype byte_limit() const { return byte_limit_; }
    qsizetype bytes_used() const { return bytes_used_; }
    qsizetype glyphs_kept() const { return pictures_.size(); }

private:
    struct PlacedGlyph {
        int face;  // index into faces_
        quint32 index;
        QPointF position;  // from the line's baseline start
    };
    struct Layout {
        std::vector<PlacedGlyph> glyphs;
        bool large = false;  // drawn from our pictures rather than by Qt
    };
    struct PictureKey {
        int face;
        quint32 index;
        int step_x;  // the glyph's position within its pixel, in eighths
        int step_y;
        QRgb color;

        bool operator==(const PictureKey&) const = default;
    };
    friend size_t qHash(const PictureKey& key, size_t seed) {
        return qHashMulti(seed, key.face, key.index, key.step_x, key.step_y, key.color);
    }
    struct Picture {
        QImage image;
        QPoint offset;  // of the image's top-left corner from the glyph's origin pixel
        std::list<PictureKey>::iterator use;
    };

    const Layout& layout_of(const QString& line, const QFont& font);
    Layout lay_out(const QString& line, const QFont& font);
    int face_number(const QRawFont& face);
    const Picture& picture_of(const PictureKey& key);
    Picture render(const PictureKey& key) const;
    void keep_within_limit();

    qsizetype byte_limit_;
    qsizetype bytes_used_ = 0;
    std::vector<QRawFont> faces_;
    QHash<QPair<QFont, QString>, Layout> layouts_;
    QHash<PictureKey, Picture> pictures_;
    std::list<PictureKey> uses_;  // the most recently drawn first
};

// The application's cache, for the GUI thread.
GlyphCache& glyph_cache();
