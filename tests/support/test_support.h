#pragma once

#include "foundation/app_state.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

// Lets test failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// How much faster than real time the tests run the jukebox's clock.
inline constexpr int kTestSpeedup = 100;

// A fresh program folder in a temporary directory, removed afterwards.
class TempFolder {
public:
    TempFolder();
    // The folder with a trailing "/".
    QString path() const;
    QString file(const QString& name) const { return path() + name; }

private:
    QTemporaryDir dir_;
};

// A fresh shared state whose program folder is the given temporary folder.
std::unique_ptr<AppState> make_test_state(const TempFolder& folder);
// The same on a program folder given by its path (without a trailing "/"):
// another run of the jukebox on a folder a test prepared.
std::unique_ptr<AppState> make_test_state(const QString& program_folder);

// Collects the lines the jukebox logs ("category: message") while it lives;
// other messages go to the handler that was there before.
class LogLines {
public:
    LogLines();
    ~LogLines();
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;

    // The lines of one category ("karaoke.playback"), oldest first.
    QStringList of(const QString& category) const;

private:
    static void keep(QtMsgType type, const QMessageLogContext& context, const QString& message);
    QtMessageHandler previous_;
    QStringList lines_;
};
