#pragma once

#include "panels/small_window.h"
#include "widgets/order_by_singer.h"

// Ordering by singer over the video ("3歌手" on the control panel): the
// singer category menu ("2"), five singers a page ("2_1") and four songs of
// the chosen singer a page ("2_2"). On both lists a keyed number is first
// tried as a song number; only when no song has it, it is a list number.
// "0" on the category menu leaves.
class small_order_by_singer : public small_window {
    Q_OBJECT
public:
    small_order_by_singer(AppState& state, PlaybackSession& session, QWidget* parent);

    // "2", "2_1" or "2_2".
    QString screen_state() const { return order_by_singer_.name(); }

protected:
    void handle_key(int key) override { order_by_singer_.key(key); }
    void Form_Activate() override { order_by_singer_.enter(); }

private:
    order_by_singer order_by_singer_;
};
