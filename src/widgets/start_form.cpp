#include "widgets/start_form.h"

#include "foundation/clock.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

QPixmap background_picture() {
    return QPixmap(":/splash.jpg");
}

start_form::start_form(const Clock& clock, std::function<void()> load_main_window)
    : Image1(this), clock_(clock), load_main_window_(std::move(load_main_window)) {
    setWindowTitle("Vocari's Karaoke");
    setWindowFlag(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    Image1.setPixmap(background_picture());
    Form_Load();
}

void start_form::run() {
    show();
    Form_Activate();
}

void start_form::Form_Load() {
    // Opens outside the visible area until the picture is laid out.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    setGeometry(screen.width(), screen.height(), screen.width(), screen.height());
}

void start_form::Form_Activate() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Image1.setScaledContents(true);
    Image1.setGeometry(0, 0, screen.width(), screen.height());
    setGeometry(screen);
    clock_.wait_seconds(3);
    Image1.hide();
    Image1.resize(1, 1);
    load_main_window_();
    close();
}
