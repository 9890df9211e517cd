#include "manager/preview_file.h"

#include "playback/small_view.h"

void preview_file(AppState& state, QWidget* parent, const QString& path, const QString& caption) {
    small_view view(state, parent);
    view.file_to_watch = path;
    view.setWindowTitle(caption);
    view.exec();
}
