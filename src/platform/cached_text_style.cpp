#include "platform/cached_text_style.h"

#include "platform/glyph_cache.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPointer>
#include <QTextItem>

#include <vector>

namespace {

// One run of text as Qt would paint it: where its baseline starts, in what
// font and colour.
struct TextRun {
    QPointF baseline_start;
    QString text;
    QFont font;
    QColor color;
};

// A paint engine that paints nothing and writes down the text runs Qt's
// text layout hands it.
class TextRunRecorder final : public QPaintEngine {
public:
    // Able to do everything, so that QPainter hands the text over as it is.
    TextRunRecorder() : QPaintEngine(AllFeatures) {}

    std::vector<TextRun> runs;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return User; }
    void drawTextItem(const QPointF& position, const QTextItem& item) override {
        runs.push_back({position, item.text(), item.font(), state->pen().color()});
    }
};

// A device with the measures of the one really painted on, so that fonts
// resolve to the same pixel sizes.
class RecordingDevice final : public QPaintDevice {
public:
    explicit RecordingDevice(const QPaintDevice& model) : model_(model) {}

    QPaintEngine* paintEngine() const override { return &recorder; }
    mutable TextRunRecorder recorder;

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return model_.width();
            case PdmHeight:
                return model_.height();
            case PdmWidthMM:
                return model_.widthMM();
            case PdmHeightMM:
                return model_.heightMM();
            case PdmNumColors:
                return model_.colorCount();
            case PdmDepth:
                return model_.depth();
            case PdmDpiX:
                return model_.logicalDpiX();
            case PdmDpiY:
                return model_.logicalDpiY();
            case PdmPhysicalDpiX:
                return model_.physicalDpiX();
            case PdmPhysicalDpiY:
                return model_.physicalDpiY();
            case PdmDevicePixelRatio:
                return qRound(model_.devicePixelRatioF());
            case PdmDevicePixelRatioScaled:
                return qRound(model_.devicePixelRatioF() * devicePixelRatioFScale());
            default:
                return QPaintDevice::metric(metric);
        }
    }

private:
    const QPaintDevice& model_;
};

}  // namespace

void CachedTextStyle::drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                                   bool enabled, const QString& text, QPalette::ColorRole role) const {
    // Underlines (of a shortcut letter or of the font) are lines the
    // recording would lose: Qt draws such text itself.
    const QFont& font = painter->font();
    const bool decorated = font.underline() || font.strikeOut() || font.overline() ||
                           ((flags & Qt::TextShowMnemonic) && text.contains('&'));
    if (decorated) {
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
        return;
    }
    RecordingDevice device(*painter->device());
    {
        QPainter recording(&device);
        recording.setFont(font);
        recording.setPen(painter->pen());
        QProxyStyle::drawItemText(&recording, rect, flags, palette, enabled, text, role);
    }
    painter->save();
    // Qt clips text to its rectangle unless told otherwise.
    if (!(flags & Qt::TextDontClip)) painter->setClipRect(rect, Qt::IntersectClip);
    for (const TextRun& run : device.recorder.runs) {
        painter->setPen(run.color);
        glyph_cache().draw_line(*painter, run.baseline_start, run.text, run.font);
    }
    painter->restore();
}

CachedTextStyle* cached_text_style() {
    static QPointer<CachedTextStyle> style;
    if (!style) {
        style = new CachedTextStyle;
        style->setParent(qApp);
    }
    return style;
}
