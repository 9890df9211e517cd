#include "platform/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>

namespace {

// The boxes carry the title of the window that asks, as a message box of the
// window's own program would.
QString title_of(QWidget* parent) {
    return parent ? parent->window()->windowTitle() : QString();
}

QMessageBox::StandardButton ask(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton escape) {
    QMessageBox box(QMessageBox::Question, title_of(parent), text, buttons, parent);
    box.setEscapeButton(escape);
    box.exec();
    auto* clicked = box.clickedButton();
    return clicked ? box.standardButton(clicked) : escape;
}

QString joined_filters(const QStringList& filters) {
    return filters.join(";;");
}

}  // namespace

void QtDialogs::notice(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, title_of(parent), text, QMessageBox::Ok);
}

bool QtDialogs::ask_yes_no(QWidget* parent, const QString& text) {
    return ask(parent, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::ask_yes_no_cancel(QWidget* parent, const QString& text) {
    switch (
        ask(parent, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

QString QtDialogs::open_file(QWidget* parent, const QString& title, const QString& preset,
                             const QStringList& filters) {
    return QFileDialog::getOpenFileName(parent, title, preset, joined_filters(filters));
}

QString QtDialogs::save_file(QWidget* parent, const QString& title, const QString& proposed,
                             const QStringList& filters) {
    return QFileDialog::getSaveFileName(parent, title, proposed, joined_filters(filters));
}
