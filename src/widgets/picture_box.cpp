#include "widgets/picture_box.h"

#include "platform/glyph_cache.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwipsPerPoint = 20;

template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

}  // namespace

PictureBox::PictureBox(int twips_per_pixel, QWidget* parent)
    : QWidget(parent), twips_per_pixel_(twips_per_pixel) {
    // The display list paints every pixel, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    font_changed();
}

void PictureBox::set_back_color(QColor color) {
    back_color_ = color;
    update();
}

double PictureBox::scale_width() const {
    return static_cast<double>(width()) * twips_per_pixel_;
}

double PictureBox::scale_height() const {
    return static_cast<double>(height()) * twips_per_pixel_;
}

QStringList PictureBox::lines() const {
    QStringList found;
    const TextItem* previous = nullptr;
    for (const Item& item : items_) {
        const auto* text = std::get_if<TextItem>(&item);
        if (!text) continue;
        const bool continues =
            previous && !previous->ends_line && previous->top_left.y() == text->top_left.y();
        if (continues) {
            found.back() += text->text;
        } else {
            found.append(text->text);
        }
        previous = text;
    }
    return found;
}

void PictureBox::erase_all() {
    items_.clear();
    repaint_changes_soon();
}

void PictureBox::put_text(const QString& line, QPointF top_left, bool ends_line) {
    const QSizeF size(metrics_->horizontalAdvance(line), metrics_->lineSpacing());
    add(TextItem{line, top_left, font_spec(), fore_color(), ends_line, face_, metrics_->ascent(), size});
}

void PictureBox::put_line(QPointF from, QPointF to, QColor color) {
    add(LineItem{from, to, color});
}

void PictureBox::put_box(const QRectF& box, QColor color) {
    add(BoxItem{box, color});
}

void PictureBox::put_picture(const QImage& picture, const QRectF& target) {
    add(PictureItem{picture, target});
}

void PictureBox::add(Item item) {
    items_.push_back(std::move(item));
    repaint_changes_soon();
}

// Once the key handler that draws has returned, and before the next frame.
void PictureBox::repaint_changes_soon() {
    if (changes_pending_) return;
    changes_pending_ = true;
    QMetaObject::invokeMethod(this, &PictureBox::repaint_changes, Qt::QueuedConnection);
}

void PictureBox::repaint_changes() {
    changes_pending_ = false;
    QRegion changed;
    const size_t count = std::max(items_.size(), on_screen_.size());
    for (size_t i = 0; i < count; ++i) {
        const bool drawn = i < items_.size();
        const bool shown = i < on_screen_.size();
        if (drawn && shown && items_[i] == on_screen_[i]) continue;
        if (drawn) changed += pixels_of(items_[i]);
        if (shown) changed += pixels_of(on_screen_[i]);
    }
    on_screen_ = items_;
    if (!changed.isEmpty()) update(changed);
}

void PictureBox::font_changed() {
    const FontSpec& spec = font_spec();
    // Sizes are kept in points of the jukebox's own scale (a point is 20
    // twips, a pixel `twips_per_pixel` twips) whatever DPI the screen
    // reports, so that layouts computed in twips fit the text printed.
    const double pixels = spec.size * kTwipsPerPoint / twips_per_pixel_;
    face_ = QFont(spec.name);
    face_.setPointSizeF(pixels * 72.0 / logicalDpiY());
    face_.setBold(spec.bold);
    metrics_.emplace(face_, this);
}

double PictureBox::line_width(const QString& line) const {
    return metrics_->horizontalAdvance(line) * twips_per_pixel_;
}

double PictureBox::line_height() const {
    return metrics_->lineSpacing() * twips_per_pixel_;
}

QPointF PictureBox::to_pixels(QPointF twips) const {
    return twips / twips_per_pixel_;
}

// A box covers every pixel its edges touch, so a rule thinner than a pixel
// still shows as one pixel.
QRect PictureBox::box_pixels(const QRectF& box) const {
    const auto pixel = [this](double twips) {
        return static_cast<int>(std::floor(twips / twips_per_pixel_));
    };
    return QRect(QPoint(pixel(box.left()), pixel(box.top())),
                 QPoint(pixel(box.right()), pixel(box.bottom())));
}

// Glyphs may reach beyond their advance and line (a slanted stroke, an
// accent), lines and box edges into the pixels they touch.
QRect PictureBox::pixels_of(const Item& item) const {
    const auto pixels = Overloaded{
        [&](const TextItem& text) {
            const double margin = 0.25 * text.size_px.height();
            return QRectF(to_pixels(text.top_left), text.size_px)
                .adjusted(-margin, -margin, margin, margin)
                .toAlignedRect();
        },
        [&](const LineItem& line) {
            return QRectF(to_pixels(line.from), to_pixels(line.to))
                .normalized()
                .toAlignedRect()
                .adjusted(-1, -1, 1, 1);
        },
        [&](const BoxItem& box) { return box_pixels(box.box); },
        [&](const PictureItem& picture) {
            return QRectF(to_pixels(picture.target.topLeft()), picture.target.size() / twips_per_pixel_)
                .toAlignedRect()
                .adjusted(-1, -1, 1, 1);
        },
    };
    return std::visit(pixels, item);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), back_color_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const auto paint = Overloaded{
        [&](const TextItem& text) {
            if (text.text.isEmpty()) return;
            painter.setPen(text.color);
            // Baselines lie on whole pixels, as for Qt's own glyph pictures,
            // so that a glyph is kept once for every line it appears on.
            const QPointF top_left = to_pixels(text.top_left);
            const double baseline = std::round(top_left.y() + text.ascent_px);
            glyph_cache().draw_line(painter, QPointF(top_left.x(), baseline), text.text, text.face);
        },
        [&](const LineItem& line) {
            painter.setPen(line.color);
            painter.drawLine(to_pixels(line.from), to_pixels(line.to));
        },
        [&](const BoxItem& box) { painter.fillRect(box_pixels(box.box), box.color); },
        [&](const PictureItem& picture) {
            painter.drawImage(
                QRectF(to_pixels(picture.target.topLeft()), picture.target.size() / twips_per_pixel_),
                picture.picture);
        },
    };
    // Only what the frame repaints is drawn.
    const QRegion repainted = event->region();
    for (const Item& item : items_)
        if (repainted.intersects(pixels_of(item))) std::visit(paint, item);
}
