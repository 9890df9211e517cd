#include "platform/surface.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

// The lines of a text: "\r\n", "\n" and "\r" each end a line. Most texts
// have no break, and they are split without a pattern match.
QStringList lines_of(const QString& text) {
    if (!text.contains('\n') && !text.contains('\r')) return {text};
    static const QRegularExpression line_break("\r\n|\n|\r");
    return text.split(line_break);
}

}  // namespace

void Surface::clear() {
    erase_all();
    current_ = {0, 0};
}

void Surface::print(const QString& text) {
    print_lines(text, false);
}

void Surface::print_inline(const QString& text) {
    print_lines(text, true);
}

void Surface::print_lines(const QString& text, bool stay_on_line) {
    const QStringList lines = lines_of(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        const bool ends_line = !last || !stay_on_line;
        put_text(lines[i], current_, ends_line);
        if (ends_line) {
            next_line();
        } else {
            current_.rx() += line_width(lines[i]);
        }
    }
}

void Surface::next_line() {
    current_ = {0, current_.y() + line_height()};
}

void Surface::set_font_name(const QString& name) {
    font_.name = name;
    font_changed();
}

void Surface::set_font_size(double points) {
    font_.size = points;
    font_changed();
}

void Surface::set_font_bold(bool bold) {
    font_.bold = bold;
    font_changed();
}

void Surface::set_font(const FontSpec& font) {
    font_ = font;
    font_changed();
}

void Surface::draw_line(QPointF from, QPointF to, QColor color) {
    put_line(from, to, color);
    current_ = to;
}

void Surface::fill_box(QPointF corner, QPointF opposite, QColor color) {
    put_box(QRectF(corner, opposite).normalized(), color);
    current_ = opposite;
}

void Surface::draw_picture(const QImage& picture, const QRectF& target) {
    put_picture(picture, target);
}

double Surface::text_width(const QString& text) const {
    double widest = 0;
    for (const QString& line : lines_of(text)) widest = std::max(widest, line_width(line));
    return widest;
}

double Surface::text_height(const QString& text) const {
    return static_cast<double>(lines_of(text).size()) * line_height();
}

void PageSurface::new_page() {
    start_next_page();
    move_to(0, 0);
}
