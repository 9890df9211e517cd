#pragma once

#include <QString>

class QWidget;
struct AppState;

// Plays a media file in the preview window, shown modally with the caption.
void preview_file(AppState& state, QWidget* parent, const QString& path, const QString& caption);
