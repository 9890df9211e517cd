#include "support/fake_printing.h"

namespace {

// Pages are kept in the jobs of the printing that made the device; a job
// begins with the first thing drawn after the last end of document.
class RecordingPrinter : public PageSurface {
public:
    explicit RecordingPrinter(std::vector<PrintJob>& jobs) : jobs_(jobs) {}

    double scale_width() const override { return 21 * 567; }
    double scale_height() const override { return 29.7 * 567; }
    void end_document() override {
        if (!jobs_.empty()) jobs_.back().ended = true;
    }

protected:
    void erase_all() override {}
    void put_text(const QString& line, QPointF top_left, bool) override {
        page().texts.push_back({line, top_left, font_spec()});
    }
    void put_line(QPointF from, QPointF to, QColor) override { page().boxes.push_back(QRectF(from, to)); }
    void put_box(const QRectF& box, QColor) override { page().boxes.push_back(box); }
    void put_picture(const QImage&, const QRectF& target) override { page().boxes.push_back(target); }
    void font_changed() override {}
    double line_width(const QString& line) const override {
        return FakePrinting::width_of(line, font_spec().size);
    }
    // Lines 1.2 sizes apart.
    double line_height() const override { return font_spec().size * 24; }
    void start_next_page() override { job().pages.emplace_back(); }

private:
    PrintJob& job() {
        if (jobs_.empty() || jobs_.back().ended) jobs_.emplace_back();
        return jobs_.back();
    }
    PrintedPage& page() {
        PrintJob& current = job();
        if (current.pages.empty()) current.pages.emplace_back();
        return current.pages.back();
    }

    std::vector<PrintJob>& jobs_;
};

}  // namespace

double FakePrinting::width_of(const QString& text, double points) {
    double ems = 0;
    for (const QChar c : text) ems += c.unicode() < 0x1100 ? 0.5 : 1;
    return ems * points * 20;
}

QString PrintedPage::text_at(QPointF top_left) const {
    for (const PrintedText& text : texts)
        if (text.top_left == top_left) return text.text;
    return {};
}

QStringList PrintedPage::texts_in_order() const {
    QStringList found;
    for (const PrintedText& text : texts) found << text.text;
    return found;
}

std::unique_ptr<PageSurface> FakePrinting::open_default_printer() {
    return std::make_unique<RecordingPrinter>(jobs);
}

std::unique_ptr<PageSurface> FakePrinting::open_pdf_file(const QString& path) {
    return pdf_.open_pdf_file(path);
}

std::vector<const PrintedPage*> FakePrinting::all_pages() const {
    std::vector<const PrintedPage*> pages;
    for (const PrintJob& job : jobs)
        for (const PrintedPage& page : job.pages) pages.push_back(&page);
    return pages;
}
