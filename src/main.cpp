#include "foundation/app_state.h"
#include "foundation/picture_box.h"
#include "platform/alsa_wave_capture.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    enable_large_glyph_cache();
    QApplication app(argc, argv);
    AlsaWaveCapture capture;  // declared first: outlives the state that points at it
    AppState state;
    state.platform.capture = &capture;
    return 0;
}
