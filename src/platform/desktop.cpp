#include "platform/desktop.h"

#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

void install_font_substitutions() {
    QFont::insertSubstitution("標楷體", "AR PL UKai TW");
    QFont::insertSubstitution("細明體", "AR PL UMing TW");
    QFont::insertSubstitution("新細明體", "AR PL UMing TW");
}

void install_chinese_translations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load("qtbase_zh_TW", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

void show_full_screen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QApplication::primaryScreen();
    window.setGeometry(screen->geometry());
    window.showFullScreen();
}

void hide_pointer(QWidget& window) {
    const QRect screen = QApplication::primaryScreen()->geometry();
    QCursor::setPos(screen.left(), screen.top() + screen.height() * 3 / 2);
    window.setCursor(Qt::BlankCursor);
}

void move_pointer(const QPoint& position) {
    QCursor::setPos(position);
}
