#pragma once

#include <QLabel>
#include <QWidget>

#include <functional>

class Clock;

// The splash window: the built-in picture over the whole screen for three
// seconds, then the main window is loaded and shown and the splash closes.
class start_form : public QWidget {
    Q_OBJECT
public:
    // load_main_window builds and shows the main window (it runs the start-up).
    start_form(const Clock& clock, std::function<void()> load_main_window);

    // Shows the splash, waits and hands over to the main window.
    void run();

    QLabel Image1;

private:
    void Form_Load();
    void Form_Activate();

    const Clock& clock_;
    std::function<void()> load_main_window_;
};

// The built-in 800 x 600 picture of the splash and of the player's background.
QPixmap background_picture();
