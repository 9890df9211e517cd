#pragma once

#include "platform/surface.h"

#include <QString>

#include <memory>

// Where printed pages go: the system's default printer, or a PDF file.
// Tests bring a printer that records its pages.
class Printing {
public:
    virtual ~Printing() = default;

    // Whether the system names a default printer.
    virtual bool has_default_printer() const = 0;
    // A document on the default printer. Every end_document sends the pages
    // drawn since the last one as one print job; drawing after it starts the
    // next job.
    virtual std::unique_ptr<PageSurface> open_default_printer() = 0;
    // A document written to a PDF file; end_document finishes the file.
    virtual std::unique_ptr<PageSurface> open_pdf_file(const QString& path) = 0;
};

// The system's printers through Qt's print support (CUPS on Linux).
class SystemPrinting : public Printing {
public:
    bool has_default_printer() const override;
    std::unique_ptr<PageSurface> open_default_printer() override;
    std::unique_ptr<PageSurface> open_pdf_file(const QString& path) override;
};
