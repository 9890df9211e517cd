#pragma once

#include "panels/small_window.h"

// The ordered songs over the video, five a page, and moving one of them
// forward to play after the next song ("2已點" on the control panel). A
// keyed number is first tried as a song number to order; only when no song
// has it, it is a row of the page on screen. "0" and Enter leave.
class small_inttersong : public small_window {
    Q_OBJECT
public:
    small_inttersong(AppState& state, PlaybackSession& session, QWidget* parent);
    ~small_inttersong() override;

    static constexpr int kRowsPerPage = 5;

    // Prints queue page `page`; the player's queue advancing redraws it too.
    void show_order_menu(int page);

protected:
    void handle_key(int key) override;
    void Form_Activate() override;
    void done(int result) override;

private:
    void insert_row(int row);
};
