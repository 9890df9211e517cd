#pragma once

#include <QDialog>
#include <QPushButton>

struct AppState;
class player;

// The small panel over the playing video. This first version offers only
// "0沒事" (close the panel, playback goes on) and "8關閉" (back to the main
// menu), plus the cut, pause and sing-again operations that the playback
// hotkeys call on it while it is hidden.
class small_control_main : public QDialog {
    Q_OBJECT
public:
    small_control_main(AppState& state, player& screen);

    QPushButton key_gomain;
    QPushButton key_exit;

    // One key code as the keyboard delivers it.
    void key_press(int key);

    // Skip to the next song (only while a song plays).
    void key_next_Click();
    // Pause a playing song, or resume a paused one.
    void key_pause_Click();
    // Sing the song again from its start (only while a song plays).
    void key_replay_Click();
    void key_gomain_Click();
    void key_exit_Click();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void lay_out();

    AppState& state_;
    player& screen_;
};
