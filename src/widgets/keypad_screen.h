#pragma once

#include <QString>

// One screen of a keypad window: it prints on the window's text area and,
// while it is in front, takes every key the window translates. A screen
// with steps of its own (a category menu, then a list) answers the step in
// front as its name.
class keypad_screen {
public:
    virtual ~keypad_screen() = default;

    // The screen's name as the window reports it ("0", "2_1", "8_1_2").
    virtual QString name() const = 0;
    // Prints the screen afresh, its entry emptied.
    virtual void enter() = 0;
    // One translated key code; 0 stands for a key the settings do not map.
    virtual void key(int& KeyAscii) = 0;
};

// The screens of a keypad window and the one in front, which alone takes
// the keys. The home screen stands in front from the start, not yet printed.
class keypad_screens {
public:
    explicit keypad_screens(keypad_screen& home) : front_(&home) {}

    // Brings the screen to the front and prints it.
    void show(keypad_screen& screen) {
        front_ = &screen;
        screen.enter();
    }
    void key(int& KeyAscii) { front_->key(KeyAscii); }

    const keypad_screen& front() const { return *front_; }
    bool in_front(const keypad_screen& screen) const { return front_ == &screen; }
    QString name() const { return front_->name(); }

private:
    keypad_screen* front_;
};
