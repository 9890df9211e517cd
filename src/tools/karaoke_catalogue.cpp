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
    output.line = [](const QString& text) { std::cout << text.toStdString() << std::endl; };
    output.error = [progress_shown](const QString& text) {
        std::cerr << (progress_shown ? "\r\033[K" : "") << text.toStdString() << std::endl;
    };
    output.progress = [progress_shown](const QString& text) {
        if (progress_shown) std::cerr << "\r\033[K" << text.toStdString() << std::flush;
    };
    const int status = run_catalogue_tool(app.arguments().mid(1), output);
    if (progress_shown) std::cerr << "\r\033[K" << std::flush;
    return status;
}
