#pragma once

#include "platform/printing.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One text as it was put on a page, at its top-left corner in twips.
struct PrintedText {
    QString text;
    QPointF top_left;
    FontSpec font;
};

struct PrintedPage {
    std::vector<PrintedText> texts;
    std::vector<QRectF> boxes;

    // The text put at exactly this position, or an empty text.
    QString text_at(QPointF top_left) const;
    QStringList texts_in_order() const;
};

// What the default printer received: one job per end of document.
struct PrintJob {
    std::vector<PrintedPage> pages;
    bool ended = false;
};

// A default printer that keeps every page it is sent (or, switched off, a
// system without one). PDF files are written for real, as the system's
// printing writes them.
class FakePrinting : public Printing {
public:
    bool printer_present = true;
    std::vector<PrintJob> jobs;

    bool has_default_printer() const override { return printer_present; }
    std::unique_ptr<PageSurface> open_default_printer() override;
    std::unique_ptr<PageSurface> open_pdf_file(const QString& path) override;

    // How wide the printer takes a text to be, in twips: Chinese characters
    // as wide as the font is high, Latin letters and digits half as wide.
    static double width_of(const QString& text, double points);

    // Every page of every job, in the order printed.
    std::vector<const PrintedPage*> all_pages() const;

private:
    SystemPrinting pdf_;
};
