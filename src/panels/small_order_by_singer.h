#pragma once

#include "panels/small_window.h"

// Ordering by singer over the video ("3歌手" on the control panel): the
// singer category menu ("2"), five singers a page ("2_1") and four songs of
// the chosen singer a page ("2_2"). On both lists a keyed number is first
// tried as a song number; only when no song has it, it is a list number.
// "0" on the category menu leaves.
class small_order_by_singer : public small_window {
    Q_OBJECT
public:
    small_order_by_singer(AppState& state, PlaybackSession& session, QWidget* parent);

    static constexpr int kSingersPerPage = 5;
    static constexpr int kSongsPerPage = 4;

    QString screen_state() const { return Menu_Statu; }

    void order_by_singer();
    // The key handler of all three screens.
    void order_by_singer_do(int key);
    void order_by_singer_do_1(int key);
    void order_by_singer_do_2(int key);

protected:
    void handle_key(int key) override { order_by_singer_do(key); }
    void Form_Activate() override { order_by_singer(); }

private:
    void show_singer_page(int page);
    void show_singer_song_page(int page);
    void open_listed_singer(int list_number);
    void order_listed_song(int list_number);
    bool turn_page(int key);

    QString Menu_Statu = "2";
    QString selected_singer_name;
    int singer_list_page = 1;  // the singer page a singer's songs were opened from
};
