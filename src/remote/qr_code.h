#pragma once

#include <QImage>
#include <QString>

// The QR code of a text, black on white with the quiet zone of four modules
// around it, each module `module_pixels` square; a null image when the text
// does not fit in a code.
QImage qr_code_image(const QString& text, int module_pixels);
