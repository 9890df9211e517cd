#include "widgets/manager_forms.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "platform/dialogs.h"
#include "widgets/scale_control.h"

#include <QFont>
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

void size_in_twips(QWidget& window, int width, int height, int twips_per_pixel) {
    const double tpp = twips_per_pixel;
    window.resize(qRound(width / tpp), qRound(height / tpp));
}

void scale_form(QWidget& window, double factor, std::initializer_list<QWidget*> controls) {
    scale_control(&window, factor);
    for (QWidget* control : controls) scale_control(control, factor);
}

void centre_on_screen(QWidget& window, const AppState& state) {
    const QSize screen = state.screen_size;
    window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

double screen_share_factor(const AppState& state, double share, int design_width) {
    return share * state.screen_size.width() * state.twips_per_pixel / design_width;
}

void fit_laid_out_window(QWidget& window, const AppState& state, double width_share, double height_share) {
    // The manager menu's design: 12 points on 9600 twips, scaled to the share.
    constexpr double kDesignPoints = 12;
    constexpr int kDesignWidth = 9600;
    QFont font("標楷體");
    font.setPointSizeF(kDesignPoints * screen_share_factor(state, width_share, kDesignWidth));
    window.setFont(font);
    const QSize screen = state.screen_size;
    const int height = height_share > 0 ? int(screen.height() * height_share) : window.sizeHint().height();
    window.resize(int(screen.width() * width_share), height);
    centre_on_screen(window, state);
}

QFont design_font(double points) {
    QFont font("新細明體");
    font.setPointSizeF(points);
    return font;
}

void caption_field(QLabel& caption, QWidget& field) {
    caption.setBuddy(&field);
    field.setAccessibleName(caption.text());
}

bool with_catalogue_errors_shown(AppState& state, QWidget* window, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const DatabaseError& error) {
        state.platform.dialogs->notice(window, QString::fromStdString(error.what()));
        return false;
    }
}
