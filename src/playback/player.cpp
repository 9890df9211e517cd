#include "playback/player.h"

#include "foundation/app_state.h"
#include "foundation/start_form.h"

#include <QKeyEvent>

player::player(AppState& state, QWidget* parent) : QDialog(parent), Image1(this), state_(state) {
    setWindowFlag(Qt::FramelessWindowHint);
    setGeometry(QRect(QPoint(0, 0), state_.screen_size));
    Image1.setPixmap(background_picture());
    Image1.setGeometry(rect());
}

void player::keyPressEvent(QKeyEvent*) {
    accept();
}
