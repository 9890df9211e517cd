#pragma once

// What the windows of manager mode share: controls placed at their design
// positions in twips, caption labels tied to their fields, and catalogue
// errors turned into notices.

#include <functional>
#include <initializer_list>

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

// Names a field by its caption: a screen reader announces the field with the
// label's text, and the label's mnemonic, if any, moves to the field.
void caption_field(QLabel& caption, QWidget& field);

// Runs a handler's work; a catalogue error is shown to the manager in a
// notice instead of leaving the handler.
void with_catalogue_errors_shown(AppState& state, QWidget* window, const std::function<void()>& work);
