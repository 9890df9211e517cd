#pragma once

#include "widgets/keypad_screen.h"

#include <QString>

#include <functional>

struct AppState;
class MediaPlayer;
class main_menu;

// What the main menu's screens share: the window and its controls, the
// entry the guest is typing and how Label1 echoes it.
class menu_context {
public:
    menu_context(main_menu& menu, AppState& state) : menu(menu), state(state) {}

    main_menu& menu;
    AppState& state;
    QString key_entry;

    // How Label1 echoes the entry: the main menu and the listing screens
    // end it with a line break, the song and singer lists show it bare.
    enum class Echo { with_line_break, bare };
    void set_key_entry(const QString& text, Echo echo = Echo::with_line_break);
    // Digits build the entry and "." takes its last character back; returns
    // whether the key was one of them. An entry that did not change ("." on
    // an empty one) is not echoed again.
    bool type_entry_key(int KeyAscii, Echo echo = Echo::with_line_break);
};

// A screen of the main menu.
class menu_screen : public keypad_screen {
protected:
    explicit menu_screen(menu_context& context) : context_(context) {}

    main_menu& menu() const { return context_.menu; }
    AppState& state() const { return context_.state; }
    QString& key_entry() const { return context_.key_entry; }
    MediaPlayer& wmpMain() const;
    void set_key_entry(const QString& text, menu_context::Echo echo = menu_context::Echo::with_line_break) {
        context_.set_key_entry(text, echo);
    }
    bool type_entry_key(int KeyAscii, menu_context::Echo echo = menu_context::Echo::with_line_break) {
        return context_.type_entry_key(KeyAscii, echo);
    }
    // Label1, the entry and the text area emptied, as a screen starts.
    void clear_screen();
    // Prints lines one below the other from the top of the text area.
    void print_lines(std::initializer_list<const char*> lines);

private:
    menu_context& context_;
};

// The screens that list rows eight a page between green rules: the queue
// screens, the recordings list and the media folders.
class band_list_screen : public menu_screen {
protected:
    using menu_screen::menu_screen;

    // "上頁", "下頁", "確定" and "C" on the keys of a list.
    void set_list_key_captions();
    // Eight numbered rows and the page number below them; row_text gives
    // what follows a row's number (nothing when empty) and footer what
    // follows the page number.
    void show_band_page(int page, const std::function<QString(int slot)>& row_text, const QString& footer);
    // The row number typed, as a whole number.
    double entry_row() const;
    // The list position of a row of the page on screen.
    int slot_of_row(int row) const;
    // Stops what wmpMain plays, if anything, and unloads it.
    void stop_and_close();
};
