#include "manager/manager_forms.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "platform/dialogs.h"

#include <QLabel>
#include <QWidget>

void place_in_twips(std::initializer_list<DesignPlace> places, int twips_per_pixel) {
    const double tpp = twips_per_pixel;
    for (const DesignPlace& place : places) {
        place.control->setParent(place.window);
        place.control->setGeometry(qRound(place.left / tpp), qRound(place.top / tpp),
                                   qRound(place.width / tpp), qRound(place.height / tpp));
    }
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
