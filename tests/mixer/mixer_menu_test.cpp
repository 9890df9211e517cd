#include "mixer/mixer_fixture.h"

#include "foundation/settings.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

class MixerMenuTest : public ::testing::Test, public MixerFixture {
protected:
    // Opens the panel as the control panel's "4音效" does, runs `inside`
    // while it is shown and leaves it with "0"; true when the way back to
    // the control panel was taken.
    bool show_and_leave(const std::function<void()>& inside) {
        bool back = false;
        QTimer::singleShot(0, &mixer(), [&] {
            inside();
            mixer().Form_KeyPress('0');
        });
        mixer().show_from_panel([&] { back = true; });
        return back;
    }
};

TEST_F(MixerMenuTest, VolumeStepsByTenWithin0To100AndTheLabelShowsTenths) {
    open_playing();
    struct Step {
        int volume;
        char key;
        int after;
        const char* label;
    };
    for (const Step& step : {Step{100, '5', 100, "10"}, Step{5, '4', 0, "0"}, Step{55, '5', 65, "6.5"},
                             Step{15, '4', 5, "0.5"}, Step{10, '4', 0, "0"}}) {
        media().set_volume(step.volume);
        mixer().Form_KeyPress(step.key);
        EXPECT_EQ(media().volume(), step.after) << step.volume << step.key;
        EXPECT_EQ(mixer().lb_vol_music.text(), step.label) << step.volume << step.key;
    }
    media().set_volume(55);
    mixer().vol_music_Click(1);
    mixer().vol_music_Click(7);  // no such button: the label is only refreshed
    EXPECT_EQ(media().volume(), 65);
    EXPECT_EQ(mixer().lb_vol_music.text(), "6.5");

    // Leaving unloads the panel; the next opening shows the integer part.
    QString label_on_reload;
    EXPECT_TRUE(show_and_leave([] {}));
    EXPECT_TRUE(show_and_leave([&] { label_on_reload = mixer().lb_vol_music.text(); }));
    EXPECT_EQ(label_on_reload, "6");
}

TEST_F(MixerMenuTest, KeysOneToThreeChooseLeftCentreRightWithTheirStatusText) {
    open_playing();
    struct Choice {
        char key;
        int channel;
        const char* text;
    };
    for (const Choice& choice :
         {Choice{'3', 3, "聲道 : 右"}, Choice{'2', 1, "聲道 : 中"}, Choice{'1', 2, "聲道 : 左"}}) {
        mixer().Form_KeyPress(choice.key);
        EXPECT_EQ(session().sound_channel(), choice.channel) << choice.key;
        EXPECT_EQ(message(), choice.text) << choice.key;
    }
    EXPECT_EQ(mixer().Label6.text(), "");  // only buttons and hotkeys name the channel there

    mixer().vol_mic_Click(2);
    EXPECT_EQ(session().sound_channel(), 3);
    EXPECT_EQ(mixer().Label6.text(), "右");
    mixer().vol_mic_Click(3);
    EXPECT_EQ(session().sound_channel(), 3);
    EXPECT_EQ(mixer().Label6.text(), "右");
}

TEST_F(MixerMenuTest, OtherKeysDoNothingButTheHotkeyHandlerTakesStarAndSlash) {
    open_playing();
    media().set_volume(50);
    for (int code : {int('6'), int('7'), int('8'), int('.'), 13, int('+'), int('-'), int('q'), 1000}) {
        mixer().Form_KeyPress(code);
        EXPECT_EQ(session().sound_channel(), 2) << code;
        EXPECT_EQ(media().volume(), 50) << code;
        EXPECT_EQ(message(), "") << code;
        EXPECT_FALSE(session().is_recording()) << code;
    }
    EXPECT_EQ(media().key_shift(), 0);
    EXPECT_EQ(mixer().Label5.text(), "");
    mixer().Form_KeyPress('*');
    EXPECT_EQ(session().sound_channel(), 3);
    EXPECT_EQ(message(), "聲道 : 右");

    // The digit settings decide what a code means: here the code of "a" is
    // the keypad's "1".
    state->settings.keyNum[1] = "97";
    mixer().Form_KeyPress('a');
    EXPECT_EQ(session().sound_channel(), 2);
}

TEST_F(MixerMenuTest, APanelAQuarterOfTheScreenWideAtTheConfiguredPlace) {
    state->settings.SmallScreenTop = 300;
    state->settings.SmallScreenLeft = 1500;
    open_playing();
    mixer_menu& panel = mixer();
    EXPECT_NEAR(panel.width(), state->screen_size.width() / 4, 1);
    EXPECT_EQ(panel.pos(), QPoint(100, 20));
    EXPECT_EQ(panel.windowTitle(), "Mixer");
    EXPECT_FALSE(panel.isVisible());  // made, not shown
    EXPECT_EQ(panel.Command1.y(), panel.cmdRecord.y() + panel.cmdRecord.height());
    EXPECT_EQ(panel.cmdRecord.text(), "9錄音");
    EXPECT_EQ(panel.Command1.text(), "0離開");
    for (QPushButton& key : panel.tune_key) EXPECT_FALSE(key.isEnabled());
    EXPECT_EQ(panel.Label5.text(), "");
    EXPECT_EQ(panel.font().family(), "標楷體");
}

// With both optional keys set, a guest takes the vocal off a VCD-style song
// (one stereo stream, the guide vocal on the left) and sings it lower.
TEST_F(MixerMenuTest, WithTheOptionalKeysThePanelPicksASideAndShiftsTheKey) {
    state->settings.StereoChannel = 1;
    state->settings.KeyChange = 1;
    open_playing();
    for (QPushButton& key : mixer().tune_key) EXPECT_TRUE(key.isEnabled());
    EXPECT_EQ(mixer().Label5.text(), "原調");
    // The key and the channel name both fit on the panel, apart.
    const QRect key_text = mixer().Label5.geometry();
    EXPECT_FALSE(key_text.intersects(mixer().Label6.geometry()));
    EXPECT_LE(key_text.left() + mixer().Label5.fontMetrics().horizontalAdvance("原調"), mixer().width());
    EXPECT_GE(key_text.left(), mixer().tune_key[1].geometry().right());

    mixer().Form_KeyPress('3');
    session().watch_now();
    EXPECT_EQ(media().stereo_side(), StereoSide::right);
    EXPECT_EQ(message(), "聲道 : 右");

    mixer().Form_KeyPress('7');
    mixer().Form_KeyPress('7');
    EXPECT_EQ(media().key_shift(), -2);
    EXPECT_EQ(mixer().Label5.text(), "-2");
    EXPECT_EQ(message(), "音調 : -2");
    for (int i = 0; i < 5; ++i) emit mixer().tune_key[1].pressed();
    EXPECT_EQ(mixer().Label5.text(), "+3");
    EXPECT_EQ(message(), "音調 : +3");
    mixer().Form_KeyPress('8');
    EXPECT_EQ(mixer().Label5.text(), "+4");

    // The keypad settings decide which code is "8"; a reload shows the key.
    state->settings.keyNum[8] = "97";
    mixer().Form_KeyPress('a');
    QString label_on_reload;
    EXPECT_TRUE(show_and_leave([] {}));
    EXPECT_TRUE(show_and_leave([&] { label_on_reload = mixer().Label5.text(); }));
    EXPECT_EQ(label_on_reload, "+5");

    // The next song starts in its own key.
    queue_song(2);
    media().finish_song();
    EXPECT_EQ(mixer().Label5.text(), "原調");
}

TEST_F(MixerMenuTest, TheButtonsActOnTheMousePress) {
    open_playing();
    media().set_volume(50);
    emit mixer().vol_music[1].pressed();
    EXPECT_EQ(media().volume(), 60);
    emit mixer().vol_mic[1].pressed();
    EXPECT_EQ(session().sound_channel(), 1);
    EXPECT_EQ(mixer().Label6.text(), "中");
    bool back = false;
    QTimer::singleShot(0, &mixer(), [&] { emit mixer().Command1.pressed(); });
    mixer().show_from_panel([&] { back = true; });
    EXPECT_TRUE(back);
    EXPECT_FALSE(mixer().isVisible());
}

TEST_F(MixerMenuTest, KeysTypedOnThePanelReachItsHandlerAndEscapeDoesNotClose) {
    open_playing();
    bool still_open_after_escape = false;
    const bool back = show_and_leave([&] {
        QKeyEvent three(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, "3");
        QApplication::sendEvent(&mixer(), &three);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
        QApplication::sendEvent(&mixer(), &escape);
        still_open_after_escape = mixer().isVisible();
    });
    EXPECT_TRUE(back);
    EXPECT_TRUE(still_open_after_escape);
    EXPECT_EQ(session().sound_channel(), 3);
}

TEST_F(MixerMenuTest, ThePlayerHotkeysPressThePanelsButtonsThroughTheSession) {
    open_playing();
    mixer();  // a loaded panel follows the buttons the hotkeys press
    const struct {
        int key;
        int channel;
        const char* label;
        const char* text;
    } channels[] = {{Settings::HotKeySoundChannel3, 3, "右", "聲道 3"},
                    {Settings::HotKeySoundChannel2, 1, "中", "聲道 2"},
                    {Settings::HotKeySoundChannel1, 2, "左", "聲道 1"}};
    for (const auto& hotkey : channels) {
        EXPECT_TRUE(key(hotkey.key));  // taken by the hotkeys: the singing window opens no panel
        EXPECT_EQ(session().sound_channel(), hotkey.channel);
        EXPECT_EQ(mixer().Label6.text(), hotkey.label);
        EXPECT_EQ(message(), hotkey.text);
    }
    media().set_volume(95);
    key(Settings::HotKeyVolIncrease);
    EXPECT_EQ(media().volume(), 100);
    EXPECT_EQ(message(), "大聲 : 10");
    EXPECT_EQ(mixer().lb_vol_music.text(), "10");
    media().set_volume(5);
    key(Settings::HotKeyVolDecrease);
    EXPECT_EQ(media().volume(), 0);
    EXPECT_EQ(message(), "小聲 : 0");
    EXPECT_FALSE(mixer().isVisible());
}

TEST_F(MixerMenuTest, OnlyTheShownPanelPollsTheArrowKeys) {
    open_playing();
    mixer();
    key(Settings::HotKeyVolIncrease);
    EXPECT_FALSE(mixer().Timer1.isActive());
    EXPECT_FALSE(mixer().tmrGetKey.isActive());
    bool polling_while_shown = false;
    show_and_leave([&] { polling_while_shown = mixer().Timer1.isActive() && mixer().tmrGetKey.isActive(); });
    EXPECT_TRUE(polling_while_shown);
    EXPECT_FALSE(mixer().Timer1.isActive());
}

}  // namespace
