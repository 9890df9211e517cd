// karaoke-demo [program folder]: makes the demo library when the catalogue of
// the program folder (by default this program's own folder, where the
// jukebox sits beside it) has no songs, and prints the demo song book.

#include "tools/demo_library.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QCoreApplication::applicationDirPath();
    DemoOptions options;
    options.progress = [](int clip, int clips, const QString& name) {
        std::cout << "demo library: clip " << clip << "/" << clips << " " << name.toStdString() << std::endl;
    };
    try {
        const DemoOutcome outcome = make_demo_library(folder, options);
        if (outcome.made)
            std::cout << "\n"
                      << outcome.songbook.toStdString() << "\n(saved as demo-songbook.txt in "
                      << folder.toStdString() << ")\n";
        else
            std::cout << "demo library: the catalogue has songs already; nothing to do\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "demo library: " << error.what() << "\n";
        return 1;
    }
}
