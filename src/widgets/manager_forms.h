#pragma once

// What the windows of manager mode share: controls placed at their design
// positions in twips and then scaled to the screen, caption labels tied to
// their fields, the catalogue's date texts, and catalogue errors turned into
// notices.

#include "foundation/catalogue_dates.h"

#include <QString>

#include <functional>
#include <initializer_list>

class QFont;
class QLabel;
class QWidget;
struct AppState;

// A control's design place in twips inside its window (or frame).
struct DesignPlace {
    QWidget* control;
    QWidget* window;
    int left;
    int top;
    int width;
    int height;
};

// Puts each control into its window at its design place, in the order given,
// which is the order the Tab key goes.
void place_in_twips(std::initializer_list<DesignPlace> places, int twips_per_pixel);

// Sizes a window's client area from its design size in twips.
void size_in_twips(QWidget& window, int width, int height, int twips_per_pixel);

// Scales the window and then each of its controls with scale_control. The
// controls take their font from the window (set before), so the window's
// scaled font, in 標楷體, is what they show.
void scale_form(QWidget& window, double factor, std::initializer_list<QWidget*> controls);

// Puts the window in the middle of the screen, as the manager windows open.
void centre_on_screen(QWidget& window, const AppState& state);

// Sizes a window that Qt's layouts arrange: `width_share` of the screen wide
// and `height_share` of it high (0: as high as its contents want), its text
// in 標楷體 at the size the scaled manager windows show at that width, in
// the middle of the screen.
void fit_laid_out_window(QWidget& window, const AppState& state, double width_share, double height_share = 0);

// The factor that makes a window of `design_width` twips the given share of
// the screen's width.
double screen_share_factor(const AppState& state, double share, int design_width);

// The design font of the manager windows before scaling.
QFont design_font(double points);

// Names a field by its caption: a screen reader announces the field with the
// label's text, and the label's mnemonic, if any, moves to the field.
void caption_field(QLabel& caption, QWidget& field);

// Runs a handler's work; a catalogue error is shown to the manager in a
// notice instead of leaving the handler. False when one happened, so that a
// handler can leave out what only a finished work may say.
bool with_catalogue_errors_shown(AppState& state, QWidget* window, const std::function<void()>& work);
