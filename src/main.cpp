#include "foundation/app_state.h"
#include "foundation/picture_box.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    enable_large_glyph_cache();
    QApplication app(argc, argv);
    AppState state;
    return 0;
}
