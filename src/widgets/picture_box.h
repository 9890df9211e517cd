#pragma once

#include "platform/surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <variant>
#include <vector>

// The on-screen surface: a widget that keeps everything drawn on it as a
// display list and paints that list (so a covered window repaints by itself,
// and tests read what a guest would see). Twips become pixels by division by
// `twips_per_pixel`; a point is 20 twips. Drawing only records an item, so a
// screen of fifteen lines costs next to nothing until the next frame. Before
// that frame the new list is compared with the one on screen, item by item,
// and only where they differ is repainted: a screen printed again as it
// stood, or with one line changed, costs next to nothing to paint either.
class PictureBox : public QWidget, public Surface {
    Q_OBJECT

public:
    struct TextItem {
        QString text;  // one line, possibly empty
        QPointF top_left;
        FontSpec font;
        QColor color;
        bool ends_line;  // the print moved on to the next line after it
        QFont face;      // `font` resolved for painting
        double ascent_px;
        QSizeF size_px;  // the advance and the line height

        bool operator==(const TextItem&) const = default;
    };
    struct LineItem {
        QPointF from;
        QPointF to;
        QColor color;

        bool operator==(const LineItem&) const = default;
    };
    struct BoxItem {
        QRectF box;
        QColor color;

        bool operator==(const BoxItem&) const = default;
    };
    struct PictureItem {
        QImage picture;
        QRectF target;

        // The same picture object, not a pixel-by-pixel comparison.
        bool operator==(const PictureItem& other) const {
            return picture.cacheKey() == other.picture.cacheKey() && target == other.target;
        }
    };
    using Item = std::variant<TextItem, LineItem, BoxItem, PictureItem>;

    explicit PictureBox(int twips_per_pixel = 15, QWidget* parent = nullptr);

    QColor back_color() const { return back_color_; }
    void set_back_color(QColor color);

    double scale_width() const override;
    double scale_height() const override;

    // The display list, in drawing order, and views of it.
    const std::vector<Item>& items() const { return items_; }
    template <class T>
    std::vector<T> items_of() const;
    std::vector<TextItem> texts() const { return items_of<TextItem>(); }
    // The printed lines in order. Texts printed one after the other on the
    // same line (the first printed with `print_inline`) form one line.
    QStringList lines() const;

protected:
    void paintEvent(QPaintEvent* event) override;

    void erase_all() override;
    void put_text(const QString& line, QPointF top_left, bool ends_line) override;
    void put_line(QPointF from, QPointF to, QColor color) override;
    void put_box(const QRectF& box, QColor color) override;
    void put_picture(const QImage& picture, const QRectF& target) override;
    void font_changed() override;
    double line_width(const QString& line) const override;
    double line_height() const override;

private:
    void add(Item item);
    void repaint_changes_soon();
    void repaint_changes();
    QPointF to_pixels(QPointF twips) const;
    QRect box_pixels(const QRectF& box) const;
    // The pixels an item may paint on.
    QRect pixels_of(const Item& item) const;

    int twips_per_pixel_;
    QColor back_color_ = Qt::white;
    std::vector<Item> items_;
    std::vector<Item> on_screen_;  // as the pending repaints leave the screen
    bool changes_pending_ = false;
    QFont face_;
    std::optional<QFontMetricsF> metrics_;
};

template <class T>
std::vector<T> PictureBox::items_of() const {
    std::vector<T> found;
    for (const Item& item : items_) {
        if (const T* wanted = std::get_if<T>(&item)) found.push_back(*wanted);
    }
    return found;
}
