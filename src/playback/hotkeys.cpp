#include "playback/hotkeys.h"

#include "foundation/settings.h"
#include "playback/playback_session.h"

QString volume_text(int volume) {
    return QString::number(volume / 10.0);
}

namespace {

// The channel hotkeys press the sound panel's channel buttons; their own
// message replaces the button's.
void press_channel_button(PlaybackSession& session, int index) {
    session.press_channel_button(index);
    session.show_message("聲道 " + QString::number(index + 1));
}

void step_volume(PlaybackSession& session, int index, const QString& caption) {
    session.step_volume(index);
    session.show_message(caption + volume_text(session.volume()));
}

}  // namespace

bool play_hotkey(PlaybackSession& session, int KeyAscii) {
    switch (KeyAscii) {
        case 42:  // "*"
            session.next_channel();
            return true;
        case 47:  // "/"
            session.cut();
            return true;
        case Settings::HotKeySoundChannel1:
            press_channel_button(session, 0);
            return true;
        case Settings::HotKeySoundChannel2:
            press_channel_button(session, 1);
            return true;
        case Settings::HotKeySoundChannel3:
            press_channel_button(session, 2);
            return true;
        case Settings::HotKeyRecord:
            session.record();
            session.show_message("錄音");
            return true;
        case Settings::HotKeyPause:
            session.toggle_pause();
            session.show_message("暫停");
            return true;
        case Settings::HotKeyReplay:
            session.sing_again();
            session.show_message("重唱");
            return true;
        case Settings::HotKeyVolIncrease:
            step_volume(session, 1, "大聲 : ");
            return true;
        case Settings::HotKeyVolDecrease:
            step_volume(session, 0, "小聲 : ");
            return true;
        default:
            return false;
    }
}
