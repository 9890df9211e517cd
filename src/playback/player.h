#pragma once

#include <QDialog>
#include <QLabel>

struct AppState;

// The full-screen singing window. For now it shows the background picture
// and returns to the main menu on any key.
class player : public QDialog {
    Q_OBJECT
public:
    player(AppState& state, QWidget* parent);

    QLabel Image1;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppState& state_;
};
