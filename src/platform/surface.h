#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

// The font a surface prints with: a family name as the screens give it
// (substitution to an installed face happens once at start-up) and a size in
// points, fractions allowed.
struct FontSpec {
    QString name = "標楷體";
    double size = 12;
    bool bold = false;

    bool operator==(const FontSpec&) const = default;
};

// What the windows and the song-book printer draw on: a text area addressed
// in twips from its top-left corner, used the way a picture box is used.
// There is a current position; printing a text puts the text's top-left
// corner there and then either moves to the start of the next line
// (`print`) or stays on the line right after the text (`print_inline`).
// Line breaks inside a text start new lines as well. Drawing a line or a box
// moves the current position to the second point given.
//
// The rules above are kept here once; an implementation supplies only the
// primitives below (record or paint a text, a line, a box, a picture) and
// the measures of its current font.
class Surface {
public:
    virtual ~Surface() = default;

    // Erases everything and moves to the top-left corner.
    void clear();

    // Prints text at the current position, then moves to the next line.
    void print(const QString& text);
    // Prints text at the current position and stays on its line, after it.
    void print_inline(const QString& text);

    double current_x() const { return current_.x(); }
    double current_y() const { return current_.y(); }
    void set_current_x(double twips) { current_.setX(twips); }
    void set_current_y(double twips) { current_.setY(twips); }
    void move_to(double x, double y) { current_ = {x, y}; }

    const FontSpec& font_spec() const { return font_; }
    void set_font_name(const QString& name);
    void set_font_size(double points);
    void set_font_bold(bool bold);
    void set_font(const FontSpec& font);

    QColor fore_color() const { return fore_color_; }
    void set_fore_color(QColor color) { fore_color_ = color; }

    // A one-pixel line from `from` to `to`, and a box filled edge to edge
    // between two opposite corners (a rule of any thickness), in twips.
    void draw_line(QPointF from, QPointF to, QColor color);
    void fill_box(QPointF corner, QPointF opposite, QColor color);

    // Draws picture scaled into target (twips); the position stays.
    void draw_picture(const QImage& picture, const QRectF& target);

    // Measures of a text in the current font, in twips: the widest of its
    // lines, and one line height per line.
    double text_width(const QString& text) const;
    double text_height(const QString& text) const;

    // The drawable area in twips.
    virtual double scale_width() const = 0;
    virtual double scale_height() const = 0;

protected:
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Primitives, all positions in twips. `put_text` receives single lines;
    // `ends_line` tells whether the print moved to the next line after it.
    virtual void erase_all() = 0;
    virtual void put_text(const QString& line, QPointF top_left, bool ends_line) = 0;
    virtual void put_line(QPointF from, QPointF to, QColor color) = 0;
    virtual void put_box(const QRectF& box, QColor color) = 0;
    virtual void put_picture(const QImage& picture, const QRectF& target) = 0;
    // Called after every font change, before the next measure or text.
    virtual void font_changed() = 0;
    virtual double line_width(const QString& line) const = 0;
    virtual double line_height() const = 0;

private:
    void print_lines(const QString& text, bool stay_on_line);
    void next_line();

    QPointF current_;
    FontSpec font_;
    QColor fore_color_ = Qt::black;
};

// A surface made of pages: the printer.
class PageSurface : public Surface {
public:
    // Finishes the page and starts the next one at its top-left corner.
    void new_page();
    // Finishes the document and hands it to the device.
    virtual void end_document() = 0;

protected:
    virtual void start_next_page() = 0;
};
