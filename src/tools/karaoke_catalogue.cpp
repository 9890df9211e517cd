// karaoke-catalogue: copies, counts and checks a jukebox catalogue (a
// karaoke.db file or a catalogue server) and measures its songs' loudness;
// see --help.

#include "platform/loudness_meter.h"
#include "tools/catalogue_tool.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <unistd.h>

#include <iostream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // The tool reports failures itself; the jukebox's log lines would repeat them.
    QLoggingCategory::setFilterRules("karaoke.*=false");
    silence_decoder_messages();
    const bool progress_shown = isatty(STDERR_FILENO) == 1;
    CatalogueToolOutput output;
    // A line of the result or an error takes the progress line's place
    // instead of running on after the bar.
    const auto clear_progress = [progress_shown] {
        if (progress_shown) std::cerr << "\r\033[K" << std::flush;
    };
    output.line = [clear_progress](const QString& text) {
        clear_progress();
        std::cout << text.toStdString() << std::endl;
    };
    output.error = [clear_progress](const QString& text) {
        clear_progress();
        std::cerr << text.toStdString() << std::endl;
    };
    output.progress = [progress_shown](const QString& text) {
        if (progress_shown) std::cerr << "\r\033[K" << text.toStdString() << std::flush;
    };
    const int status = run_catalogue_tool(app.arguments().mid(1), output);
    clear_progress();
    return status;
}
