#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <functional>

struct AppState;
class PlaybackSession;

// The sound panel over the playing video: music volume in steps of 10, the
// audio channel, voice recording, and "0離開" back to the small control
// panel. The operations are the playback session's; the volume label, the
// channel name and the record caption follow its signals.
class mixer_menu : public QDialog {
    Q_OBJECT
public:
    // Laid over `screen`, the singing window, whose session it acts on.
    mixer_menu(AppState& state, PlaybackSession& session, QWidget* screen);

    QLabel Label2;                         // "音樂"
    std::array<QPushButton, 2> vol_music;  // "4-", "5+"
    QLabel lb_vol_music;                   // volume ÷ 10
    QLabel label3;                         // "聲道"
    std::array<QPushButton, 3> vol_mic;    // "1左", "2中", "3右"
    QLabel Label4;                         // "音調"
    std::array<QPushButton, 2> tune_key;   // "--", "++": key down, up (enabled by KeyChange = 1)
    QLabel Label5;                         // the key shift ("原調", "+2"); empty without KeyChange
    QLabel Label6;                         // the channel last chosen by button or hotkey
    QPushButton cmdRecord;                 // "9錄音", "錄音中", "重錄"
    QPushButton Command1;                  // "0離開"
    QTimer tmrGetKey;                      // polls the arrow keys while shown
    QTimer Timer1;                         // keeps the focus while shown

    // The small control panel's "4音效" (the panel hides itself first): shows
    // this panel modally and returns when it closes. When the guest left with
    // "0" or "0離開", `back_to_panel` runs then, to bring the control panel back.
    void show_from_panel(const std::function<void()>& back_to_panel);

    // 0 volume down, 1 up, by 10 within 0..100.
    void vol_music_Click(int index);
    // 0, 1, 2: channel left, centre, right, chosen as the keys "1" to "3".
    void vol_mic_Click(int index);
    // 0 a semitone down, 1 up; only with KeyChange = 1 in Setting.ini.
    void tune_key_Click(int index);
    // Starts a take over the song playing, or restarts the running one.
    void cmdRecord_Click();
    // One key code as the keyboard delivers it.
    void Form_KeyPress(int key);
    // Leaves the panel.
    void Command1_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void lay_out();
    void Form_Load();
    void ensure_loaded();
    void name_channel_button(int index);
    bool key_change_on() const;
    void show_key(int semitones);
    void tmrGetKey_Timer();
    void Timer1_Timer();

    AppState& state_;
    PlaybackSession& session_;
    // Leaving unloads the panel: the next use loads it afresh (volume label
    // and record caption read again).
    bool loaded_ = false;
    bool left_by_guest_ = false;
};
