#include "platform/printing.h"

#include "platform/printer_surface.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

constexpr const char* kDocumentName = "Vocari's Karaoke";

}  // namespace

bool SystemPrinting::has_default_printer() const {
    // Without a default printer a plain QPrinter silently writes a PDF
    // somewhere instead; callers must know before they print.
    return !QPrinterInfo::defaultPrinter().isNull();
}

std::unique_ptr<PageSurface> SystemPrinting::open_default_printer() {
    auto printer = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer->setDocName(kDocumentName);
    return std::make_unique<PrinterSurface>(std::move(printer));
}

// A4 without margins: the whole sheet is printable, so the song book's
// table (1.3 cm to 19.35 cm across, 1 cm to 27.5 cm down) stands on the
// sheet as it would on paper fed to a printer.
std::unique_ptr<PageSurface> SystemPrinting::open_pdf_file(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setDocName(kDocumentName);
    printer->setCreator(kDocumentName);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    return std::make_unique<PrinterSurface>(std::move(printer));
}
