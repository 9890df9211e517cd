#pragma once

#include "panels/small_window.h"

// Ordering a song by its number over the video ("1點歌" on the control
// panel). "0" and Enter leave.
class small_ordersong : public small_window {
    Q_OBJECT
public:
    small_ordersong(AppState& state, PlaybackSession& session, QWidget* parent);

protected:
    void handle_key(int key) override;
};
