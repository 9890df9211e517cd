#include "manager/manager_forms.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "platform/dialogs.h"

#include <QLabel>
#include <QWidget>

void place_in_twips(QWidget& control, QWidget& window, int left, int top, int width, int height,
                    int twips_per_pixel) {
    const double tpp = twips_per_pixel;
    control.setParent(&window);
    control.setGeometry(qRound(left / tpp), qRound(top / tpp), qRound(width / tpp), qRound(height / tpp));
}

void caption_field(QLabel& caption, QWidget& field) {
    caption.setBuddy(&field);
    field.setAccessibleName(caption.text());
}

void with_catalogue_errors_shown(AppState& state, QWidget* window, const std::function<void()>& work) {
    try {
        work();
    } catch (const DatabaseError& error) {
        state.platform.dialogs->notice(window, QString::fromStdString(error.what()));
    }
}
