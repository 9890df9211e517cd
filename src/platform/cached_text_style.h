#pragma once

#include <QProxyStyle>

// The application's style, except that labels and buttons draw their text
// through the glyph cache (platform/glyph_cache.h): a message over the video
// or a key on the keypad at the size a television needs would otherwise be
// filled from its glyphs' outlines on every paint. Qt still lays the text
// out (alignment, line breaks, elision); only the glyphs come from the cache.
// Underlined text (a shortcut letter, an underlined font) Qt draws itself.
class CachedTextStyle : public QProxyStyle {
public:
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
                      const QString& text, QPalette::ColorRole role = QPalette::NoRole) const override;
};

// One instance owned by the application, for widgets that take it as their
// style.
CachedTextStyle* cached_text_style();
