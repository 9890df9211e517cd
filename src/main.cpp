#include "foundation/app_state.h"
#include "platform/mpv_media_player.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    prepare_media_engine();
    AppState state;
    state.platform.make_media_player = mpv_media_player_factory();
    return 0;
}
