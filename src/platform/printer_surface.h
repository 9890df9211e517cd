#pragma once

#include "platform/surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>

class QPrinter;

// Printing on the device failed to start (no access to the printer, a PDF
// file that cannot be written).
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A surface on a QPrinter: a real printer or a PDF file. Twips are addressed
// from the printable area's top-left corner and a point is 20 twips, so the
// layout comes out in true centimetres whatever the device's resolution.
// The device document (print job) begins with the first thing drawn and ends
// with end_document; drawing after that begins the next one.
class PrinterSurface : public PageSurface {
public:
    explicit PrinterSurface(std::unique_ptr<QPrinter> printer);
    ~PrinterSurface() override;

    double scale_width() const override;
    double scale_height() const override;
    void end_document() override;

protected:
    void erase_all() override {}
    void put_text(const QString& line, QPointF top_left, bool ends_line) override;
    void put_line(QPointF from, QPointF to, QColor color) override;
    void put_box(const QRectF& box, QColor color) override;
    void put_picture(const QImage& picture, const QRectF& target) override;
    void font_changed() override;
    double line_width(const QString& line) const override;
    double line_height() const override;
    void start_next_page() override;

private:
    QPainter& painter();
    double pixels(double twips) const { return twips * dpi_ / 1440.0; }
    QPointF pixels(QPointF twips) const { return twips * dpi_ / 1440.0; }

    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    double dpi_;
    QFont face_;
    std::optional<QFontMetricsF> metrics_;
};
