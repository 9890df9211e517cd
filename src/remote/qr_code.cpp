#include "remote/qr_code.h"

#include <qrencode.h>

#include <QPainter>

#include <memory>

QImage qr_code_image(const QString& text, int module_pixels) {
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code) return {};
    constexpr int kQuietModules = 4;
    const int side = (code->width + 2 * kQuietModules) * module_pixels;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            // Bit 0 of each module tells whether it is dark.
            if (code->data[y * code->width + x] & 1)
                painter.fillRect((x + kQuietModules) * module_pixels, (y + kQuietModules) * module_pixels,
                                 module_pixels, module_pixels, Qt::black);
        }
    }
    return image;
}
