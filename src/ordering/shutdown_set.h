#pragma once

#include "ordering/menu_screen.h"

// The shutdown menu ("10"): end the jukebox and switch the machine off, or
// only end the jukebox.
class shutdown_set : public menu_screen {
public:
    explicit shutdown_set(menu_context& context) : menu_screen(context) {}

    QString name() const override { return "10"; }
    void enter() override;
    // shutdown_set_do: acts on the single key, without Enter.
    void key(int& KeyAscii) override;
};
