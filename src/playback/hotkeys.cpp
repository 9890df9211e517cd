#include "playback/hotkeys.h"

#include "foundation/app_state.h"
#include "panels/small_control_main.h"
#include "platform/media_player.h"
#include "playback/player.h"

#include <algorithm>

namespace {

// The sound panel's buttons that the hotkeys press (its vol_mic_Click,
// vol_music_Click and cmdRecord_Click). The panel is not part of the program
// yet, so these act on the player alone; once it is, the hotkeys call its
// hidden instance instead and these go.
void mixer_vol_mic_Click(AppState& state, player& screen, int index) {
    // The buttons read 1左, 2中, 3右; the channels are numbered 1 中, 2 左, 3 右.
    static constexpr int channel_of_button[] = {2, 1, 3};
    state.sound_channel = channel_of_button[index];
    show_player_message(screen, "聲道 : " + state.sound_channel_names[state.sound_channel], 3);
}

void mixer_vol_music_Click(player& screen, int index) {
    const int volume = screen.wmp1->volume();
    screen.wmp1->set_volume(index == 1 ? std::min(volume + 10, 100) : (volume > 10 ? volume - 10 : 0));
}

// Recording needs the sound panel and the capture steps: until they are
// part of the program the record hotkey only announces itself.
void mixer_cmdRecord_Click() {}

void show_hotkey_message(player& screen, const QString& text) {
    show_player_message(screen, text, 3);
}

}  // namespace

void show_player_message(player& screen, const QString& text, int seconds) {
    screen.labMsg.setText(text);
    screen.labMSGBack.setText(screen.labMsg.text());
    screen.labMsg.show();
    screen.labMSGBack.show();
    screen.labMSGBack.raise();
    screen.labMsg.raise();
    screen.iCountDownMSG = seconds;
}

void count_down_player_message(player& screen) {
    screen.labMsg.raise();
    const int seconds_left = screen.iCountDownMSG;
    screen.iCountDownMSG = std::max(seconds_left - 1, 0);
    const bool visible = seconds_left > 1;
    screen.labMsg.setVisible(visible);
    screen.labMSGBack.setVisible(visible);
}

QString volume_text(int volume) {
    return QString::number(volume / 10.0);
}

bool play_hotkey(AppState& state, player& screen, int KeyAscii) {
    switch (KeyAscii) {
        case 42:  // "*": the next channel, 1 2 3 1 ...
            state.sound_channel = state.sound_channel > 2 ? 1 : state.sound_channel + 1;
            show_hotkey_message(screen, "聲道 : " + state.sound_channel_names[state.sound_channel]);
            return true;
        case 47:  // "/"
            screen.control_panel().key_next_Click();
            return true;
        case Settings::HotKeySoundChannel1:
            mixer_vol_mic_Click(state, screen, 0);
            show_hotkey_message(screen, "聲道 1");
            return true;
        case Settings::HotKeySoundChannel2:
            mixer_vol_mic_Click(state, screen, 1);
            show_hotkey_message(screen, "聲道 2");
            return true;
        case Settings::HotKeySoundChannel3:
            mixer_vol_mic_Click(state, screen, 2);
            show_hotkey_message(screen, "聲道 3");
            return true;
        case Settings::HotKeyRecord:
            mixer_cmdRecord_Click();
            show_hotkey_message(screen, "錄音");
            return true;
        case Settings::HotKeyPause:
            screen.control_panel().key_pause_Click();
            show_hotkey_message(screen, "暫停");
            return true;
        case Settings::HotKeyReplay:
            screen.control_panel().key_replay_Click();
            show_hotkey_message(screen, "重唱");
            return true;
        case Settings::HotKeyVolIncrease:
            mixer_vol_music_Click(screen, 1);
            show_hotkey_message(screen, "大聲 : " + volume_text(screen.wmp1->volume()));
            return true;
        case Settings::HotKeyVolDecrease:
            mixer_vol_music_Click(screen, 0);
            show_hotkey_message(screen, "小聲 : " + volume_text(screen.wmp1->volume()));
            return true;
        default:
            return false;
    }
}
