#include "foundation/helpers.h"

#include "foundation/app_state.h"

#include <QFile>
#include <QStringList>

namespace {

bool extension_in_list(const QString& name, const QString& list) {
    const qsizetype dot = name.lastIndexOf('.');
    const QString extension = (dot < 0 ? name : name.mid(dot + 1)).trimmed().toUpper();
    for (const QString& item : list.split(',')) {
        // An empty item (a stray comma) names no extension.
        const QString wanted = item.trimmed().toUpper();
        if (!wanted.isEmpty() && wanted == extension) return true;
    }
    return false;
}

}  // namespace

bool file_exists(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

bool is_media_ext(const AppState& state, const QString& menu_status, const QString& name) {
    const Settings& settings = state.settings;
    if (menu_status.startsWith("8_1")) return extension_in_list(name, settings.ExtMusic);
    if (menu_status.startsWith("8_2")) {
        return extension_in_list(name, settings.ExtPicture + "," + settings.ExtPictureMov);
    }
    return false;
}

bool is_movie_ext(const AppState& state, const QString& name) {
    return extension_in_list(name, state.settings.ExtPictureMov);
}
