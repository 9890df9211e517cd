#pragma once

#include "ordering/menu_screen.h"

// The three screens that list the play queue page by page: ordering by
// number ("3"), deleting ("4") and inserting ("5"). "0" and Enter lead back
// to the main menu.
class queue_screen : public band_list_screen {
public:
    QString name() const override { return name_; }
    void enter() override;
    // Prints the page on screen again, as when a phone changed the queue.
    void repaint();

protected:
    // `title` stands under every page; `entry_title`, when given, under the
    // first page the screen opens with.
    queue_screen(menu_context& context, QString name, QString title, QString entry_title = {});

    // Enter with "0" goes back to the main menu; returns whether it did.
    bool leave_on_zero();
    // "-" and "+" turn the page and print it.
    void page(int KeyAscii);

private:
    void show_queue_page(int page);

    QString name_;
    QString title_;
    QString entry_title_;
};

// Ordering by number ("3"): the number keyed with Enter is queued and the
// page showing it comes up.
class order_by_song_num : public queue_screen {
public:
    explicit order_by_song_num(menu_context& context);
    // order_by_song_num_do
    void key(int& KeyAscii) override;
};

// Deleting ("4") and inserting ("5"): the row number keyed with Enter names
// a row of the page on screen.
class queue_row_screen : public queue_screen {
public:
    void key(int& KeyAscii) override;

protected:
    using queue_screen::queue_screen;

    // What the screen does with the song of a row: its queue slot and name.
    virtual void act_on_row(int slot, const QString& name) = 0;
    // The answer to an empty row.
    virtual QString empty_row_message() const = 0;

private:
    void choose_row();
};

// Deleting ("4").
class delete_song : public queue_row_screen {
public:
    explicit delete_song(menu_context& context);

protected:
    void act_on_row(int slot, const QString& name) override;
    QString empty_row_message() const override { return "沒歌可刪!"; }
};

// Inserting ("5"): the row's song moves to the head of the queue.
class intter_song : public queue_row_screen {
public:
    explicit intter_song(menu_context& context);

protected:
    void act_on_row(int slot, const QString& name) override;
    QString empty_row_message() const override { return "沒歌可插!"; }
};
