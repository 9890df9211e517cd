#pragma once

// A main menu on a fresh catalogue, driven key by key as the keypad drives it.

#include "foundation/catalogue.h"
#include "ordering/main_menu.h"
#include "support/fake_media_player.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

class MenuScreenTest : public ::testing::Test {
protected:
    MenuScreenTest() {
        state->platform.make_media_player = players.factory();
        prepare_catalogue(state->db_path);
    }

    main_menu& open_menu() {
        menu = std::make_unique<main_menu>(*state);
        menu->Form_Activate();
        return *menu;
    }

    // Keys as the keypad sends them: digits, operators, "E" for Enter.
    void press(const QString& keys) {
        for (QChar key : keys) menu->Picture1_KeyPress(key == 'E' ? 13 : key.unicode());
    }

    QStringList screen() const { return menu->Picture1.lines(); }
    QString label1() const { return menu->Label1.text(); }

    // Where the line showing `text` was printed, in twips.
    QPointF position_of(const QString& text) const {
        for (const auto& item : menu->Picture1.texts())
            if (item.text == text) return item.top_left;
        ADD_FAILURE() << "not on screen: " << text.toStdString();
        return {};
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    FakeMediaPlayers players;
    std::unique_ptr<main_menu> menu;
};
