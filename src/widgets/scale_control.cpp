#include "widgets/scale_control.h"

#include <QFont>
#include <QRect>
#include <QRectF>
#include <QVariant>
#include <QWidget>

namespace {

// Marks objects whose font scale_control has set, so that children that
// inherit it are not scaled a second time.
constexpr char kFontScaled[] = "karaoke_font_scaled";

void scale_geometry(QObject& object, double factor) {
    const QVariant geometry = object.property("geometry");
    if (geometry.typeId() == QMetaType::QRect) {
        const QRect r = geometry.toRect();
        object.setProperty("geometry", QRect(qRound(r.x() * factor), qRound(r.y() * factor),
                                             qRound(r.width() * factor), qRound(r.height() * factor)));
    } else if (geometry.typeId() == QMetaType::QRectF) {
        const QRectF r = geometry.toRectF();
        object.setProperty("geometry",
                           QRectF(r.x() * factor, r.y() * factor, r.width() * factor, r.height() * factor));
    }
}

// Whether the widget takes its font from a scaled window or control: from its
// parent, or through frames that have no font of their own from further up.
bool follows_scaled_parent(const QObject& object) {
    const auto* widget = qobject_cast<const QWidget*>(&object);
    if (!widget || widget->testAttribute(Qt::WA_SetFont)) return false;
    for (const QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (parent->property(kFontScaled).toBool()) return true;
        if (parent->testAttribute(Qt::WA_SetFont) || parent->isWindow()) return false;
    }
    return false;
}

void scale_font_size(QFont& font, double factor) {
    if (font.pointSizeF() > 0) {
        if (font.pointSizeF() * factor > 0) font.setPointSizeF(font.pointSizeF() * factor);
    } else if (font.pixelSize() > 0) {
        const int pixels = qRound(font.pixelSize() * factor);
        if (pixels > 0) font.setPixelSize(pixels);
    }
}

void scale_font(QObject& object, double factor) {
    const QVariant current = object.property("font");
    if (current.typeId() != QMetaType::QFont || follows_scaled_parent(object)) return;
    QFont font = current.value<QFont>();
    scale_font_size(font, factor);
    font.setFamily("標楷體");
    if (object.setProperty("font", font)) object.setProperty(kFontScaled, true);
}

}  // namespace

void scale_control(QObject* object, double factor) {
    if (!object) return;
    scale_geometry(*object, factor);
    scale_font(*object, factor);
}
