#include "playback/hotkeys.h"

#include "foundation/app_state.h"
#include "mixer/mixer_menu.h"
#include "panels/small_control_main.h"
#include "platform/media_player.h"
#include "playback/player.h"

#include <algorithm>

namespace {

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
            screen.mixer_panel().vol_mic_Click(0);
            show_hotkey_message(screen, "聲道 1");
            return true;
        case Settings::HotKeySoundChannel2:
            screen.mixer_panel().vol_mic_Click(1);
            show_hotkey_message(screen, "聲道 2");
            return true;
        case Settings::HotKeySoundChannel3:
            screen.mixer_panel().vol_mic_Click(2);
            show_hotkey_message(screen, "聲道 3");
            return true;
        case Settings::HotKeyRecord:
            screen.mixer_panel().cmdRecord_Click();
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
            screen.mixer_panel().vol_music_Click(1);
            show_hotkey_message(screen, "大聲 : " + volume_text(screen.wmp1->volume()));
            return true;
        case Settings::HotKeyVolDecrease:
            screen.mixer_panel().vol_music_Click(0);
            show_hotkey_message(screen, "小聲 : " + volume_text(screen.wmp1->volume()));
            return true;
        default:
            return false;
    }
}
