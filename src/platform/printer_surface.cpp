#include "platform/printer_surface.h"

#include <QPrinter>

namespace {

constexpr double kTwipsPerInch = 1440;

}  // namespace

PrinterSurface::PrinterSurface(std::unique_ptr<QPrinter> printer)
    : printer_(std::move(printer)), dpi_(printer_->resolution()) {
    font_changed();
}

PrinterSurface::~PrinterSurface() {
    if (painter_.isActive()) painter_.end();
}

double PrinterSurface::scale_width() const {
    return printer_->pageLayout().paintRect(QPageLayout::Inch).width() * kTwipsPerInch;
}

double PrinterSurface::scale_height() const {
    return printer_->pageLayout().paintRect(QPageLayout::Inch).height() * kTwipsPerInch;
}

QPainter& PrinterSurface::painter() {
    if (!painter_.isActive() && !painter_.begin(printer_.get())) {
        throw PrintError("無法列印到 " + (printer_->outputFileName().isEmpty() ? printer_->printerName()
                                                                               : printer_->outputFileName())
                                             .toStdString());
    }
    return painter_;
}

void PrinterSurface::end_document() {
    if (painter_.isActive()) painter_.end();
}

void PrinterSurface::start_next_page() {
    painter();
    printer_->newPage();
}

void PrinterSurface::put_text(const QString& line, QPointF top_left, bool) {
    if (line.isEmpty()) return;
    QPainter& on = painter();
    on.setFont(face_);
    on.setPen(fore_color());
    const QPointF at = pixels(top_left);
    on.drawText(QPointF(at.x(), at.y() + metrics_->ascent()), line);
}

void PrinterSurface::put_line(QPointF from, QPointF to, QColor color) {
    QPainter& on = painter();
    on.setPen(QPen(color, 0));
    on.drawLine(pixels(from), pixels(to));
}

void PrinterSurface::put_box(const QRectF& box, QColor color) {
    painter().fillRect(QRectF(pixels(box.topLeft()), pixels(box.bottomRight())), color);
}

void PrinterSurface::put_picture(const QImage& picture, const QRectF& target) {
    painter().drawImage(QRectF(pixels(target.topLeft()), pixels(target.bottomRight())), picture);
}

// Point sizes are taken at the device's own resolution, so 24 points are
// 24/72 of an inch on paper.
void PrinterSurface::font_changed() {
    const FontSpec& spec = font_spec();
    face_ = QFont(spec.name);
    face_.setPointSizeF(spec.size);
    face_.setBold(spec.bold);
    metrics_.emplace(face_, printer_.get());
}

double PrinterSurface::line_width(const QString& line) const {
    return metrics_->horizontalAdvance(line) * kTwipsPerInch / dpi_;
}

double PrinterSurface::line_height() const {
    return metrics_->lineSpacing() * kTwipsPerInch / dpi_;
}
