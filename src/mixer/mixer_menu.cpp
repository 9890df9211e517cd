#include "mixer/mixer_menu.h"

#include "foundation/app_state.h"
#include "foundation/key_input.h"
#include "foundation/keypad_entry.h"
#include "playback/hotkeys.h"
#include "playback/playback_session.h"
#include "playback/voice_recording.h"
#include "widgets/scale_control.h"

#include <QKeyEvent>

namespace {

// The panel's design size in twips; it is scaled to a quarter of the screen.
constexpr int kDesignWidth = 1560;
constexpr int kDesignHeight = 1332;

}  // namespace

mixer_menu::mixer_menu(AppState& state, PlaybackSession& session, QWidget* screen)
    : QDialog(screen, Qt::Dialog | Qt::FramelessWindowHint), state_(state), session_(session) {
    setWindowTitle("Mixer");
    Label2.setText("音樂");
    vol_music[0].setText("4-");
    vol_music[1].setText("5+");
    label3.setText("聲道");
    vol_mic[0].setText("1左");
    vol_mic[1].setText("2中");
    vol_mic[2].setText("3右");
    Label4.setText("音調");
    tune_key[0].setText("--");
    tune_key[1].setText("++");
    cmdRecord.setText(kRecordIdleCaption);
    Command1.setText("0離開");
    for (QPushButton& key : tune_key) key.setEnabled(key_change_on());
    lay_out();

    // The buttons act on the press of the mouse button; the keys stay with
    // the window, so no button takes the focus.
    for (int i = 0; i < 2; ++i)
        connect(&vol_music[i], &QPushButton::pressed, this, [this, i] { vol_music_Click(i); });
    for (int i = 0; i < 3; ++i)
        connect(&vol_mic[i], &QPushButton::pressed, this, [this, i] { vol_mic_Click(i); });
    for (int i = 0; i < 2; ++i)
        connect(&tune_key[i], &QPushButton::pressed, this, [this, i] { tune_key_Click(i); });
    connect(&cmdRecord, &QPushButton::pressed, this, &mixer_menu::cmdRecord_Click);
    connect(&Command1, &QPushButton::pressed, this, &mixer_menu::Command1_Click);
    connect(&session_, &PlaybackSession::volume_changed, this,
            [this](int volume) { lb_vol_music.setText(volume_text(volume)); });
    connect(&session_, &PlaybackSession::record_caption_changed, &cmdRecord, &QPushButton::setText);
    connect(&session_, &PlaybackSession::channel_button_pressed, this, &mixer_menu::name_channel_button);
    connect(&session_, &PlaybackSession::key_changed, this, &mixer_menu::show_key);
    for (QPushButton* key : findChildren<QPushButton*>()) key->setFocusPolicy(Qt::NoFocus);

    state_.clock.set_interval(tmrGetKey, 20);
    state_.clock.set_interval(Timer1, 100);
    connect(&tmrGetKey, &QTimer::timeout, this, &mixer_menu::tmrGetKey_Timer);
    connect(&Timer1, &QTimer::timeout, this, &mixer_menu::Timer1_Timer);
    Form_Load();
}

// The design places in twips, then everything scaled so that the panel is a
// quarter of the screen wide.
void mixer_menu::lay_out() {
    const double tpp = state_.twips_per_pixel;
    const auto place = [this, tpp](QWidget& widget, int left, int top, int width, int height) {
        if (&widget != this) widget.setParent(this);
        widget.setGeometry(qRound(left / tpp), qRound(top / tpp), qRound(width / tpp), qRound(height / tpp));
    };
    place(*this, 0, 0, kDesignWidth, kDesignHeight);
    place(Label2, 0, 0, 375, 255);
    place(vol_music[0], 360, 0, 375, 255);
    place(vol_music[1], 720, 0, 375, 255);
    place(lb_vol_music, 1200, 0, 615, 255);
    place(label3, 0, 240, 375, 255);
    for (int i = 0; i < 3; ++i) place(vol_mic[i], 360 * (i + 1), 240, 375, 255);
    place(Label4, 0, 480, 375, 255);
    place(tune_key[0], 360, 480, 375, 255);
    place(tune_key[1], 720, 480, 375, 255);
    place(Label5, 1200, 480, 495, 255);
    place(Label6, 1440, 480, 375, 255);
    place(cmdRecord, 360, 720, 735, 300);
    place(Command1, 360, 1021, 735, 300);
    if (key_change_on()) {
        // The key row now shows the key: "原調" would run into the channel
        // name and past the panel's edge. The key moves up to the "++"
        // button, the channel name into the free place beside "9錄音".
        place(Label5, 1110, 480, 450, 255);
        place(Label6, 1200, 750, 360, 255);
    }

    QFont font("標楷體");
    font.setPointSizeF(9);
    setFont(font);
    const double factor = 0.25 * state_.screen_size.width() * tpp / kDesignWidth;
    scale_control(this, factor);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) scale_control(child, factor);
    Command1.move(Command1.x(), cmdRecord.y() + cmdRecord.height());
}

// What a fresh load shows: the volume's integer tenth, the record caption of
// the take's state, no channel name, at the configured place.
void mixer_menu::Form_Load() {
    lb_vol_music.setText(QString::number(session_.volume() / 10));
    cmdRecord.setText(session_.is_recording() ? kRecordRunningCaption : kRecordIdleCaption);
    Label6.clear();
    show_key(session_.key_shift());
    move(state_.settings.SmallScreenLeft / state_.twips_per_pixel,
         state_.settings.SmallScreenTop / state_.twips_per_pixel);
    loaded_ = true;
}

void mixer_menu::ensure_loaded() {
    if (!loaded_) Form_Load();
}

void mixer_menu::show_from_panel(const std::function<void()>& back_to_panel) {
    ensure_loaded();
    left_by_guest_ = false;
    exec();
    if (left_by_guest_ && !session_.closed() && back_to_panel) back_to_panel();
}

// Only the panel on screen polls the arrow keys.
void mixer_menu::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ensure_loaded();
    read_pressed_key(state_);  // arrows pressed before the panel came up are not for it
    Timer1.start();
    tmrGetKey.start();
}

void mixer_menu::hideEvent(QHideEvent* event) {
    Timer1.stop();
    tmrGetKey.stop();
    QDialog::hideEvent(event);
}

void mixer_menu::keyPressEvent(QKeyEvent* event) {
    // Every key goes to the key handler; Escape must not close the panel.
    if (const auto code = key_code_of(*event)) Form_KeyPress(*code);
}

void mixer_menu::Form_KeyPress(int key) {
    ensure_loaded();
    const int translated = translate_key(state_.settings, key);
    if (play_hotkey(session_, translated)) return;
    switch (translated) {
        case '0':
            Command1_Click();
            break;
        case '1':
            session_.choose_channel(2);
            break;
        case '2':
            session_.choose_channel(1);
            break;
        case '3':
            session_.choose_channel(3);
            break;
        case '4':
            vol_music_Click(0);
            break;
        case '5':
            vol_music_Click(1);
            break;
        case '7':
            tune_key_Click(0);
            break;
        case '8':
            tune_key_Click(1);
            break;
        case '9':
            cmdRecord_Click();
            break;
        default:
            break;
    }
}

void mixer_menu::vol_music_Click(int index) {
    ensure_loaded();
    session_.step_volume(index);
}

// The buttons pass through the key handler, hotkey check included, as the
// digits "1" to "3" would.
void mixer_menu::vol_mic_Click(int index) {
    if (index < 0 || index > 2) return;
    Form_KeyPress('1' + index);
    name_channel_button(index);
}

void mixer_menu::name_channel_button(int index) {
    static const char* const kChannelNames[] = {"左", "中", "右"};
    Label6.setText(kChannelNames[index]);
}

bool mixer_menu::key_change_on() const {
    return state_.settings.KeyChange == 1;
}

void mixer_menu::tune_key_Click(int index) {
    ensure_loaded();
    if (key_change_on()) session_.step_key(index);
}

void mixer_menu::show_key(int semitones) {
    if (key_change_on()) Label5.setText(key_text(semitones));
}

void mixer_menu::cmdRecord_Click() {
    ensure_loaded();
    session_.record();
}

void mixer_menu::Command1_Click() {
    Timer1.stop();
    loaded_ = false;
    left_by_guest_ = true;
    done(QDialog::Accepted);
}

void mixer_menu::tmrGetKey_Timer() {
    if (!Timer1.isActive()) return;
    tmrGetKey.stop();
    if (const auto code = arrow_key_code(state_)) Form_KeyPress(*code);
    if (Timer1.isActive()) tmrGetKey.start();
}

void mixer_menu::Timer1_Timer() {
    if (!isVisible()) return;
    activateWindow();
    setFocus();
}
