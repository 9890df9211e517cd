#include "ordering/main_menu.h"

#include "foundation/app_state.h"
#include "foundation/key_input.h"
#include "foundation/keypad_entry.h"
#include "foundation/loudness_background.h"
#include "foundation/queue_journal.h"
#include "foundation/song_orders.h"
#include "foundation/startup.h"
#include "manager/manager_menu.h"
#include "panels/small_control_main.h"
#include "platform/desktop.h"
#include "platform/media_player.h"
#include "platform/wave_capture.h"
#include "playback/player.h"
#include "playback/voice_recording.h"
#include "remote/phone_ordering.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {
const QColor kDarkBlue(0, 0, 128);
const QColor kYellow(255, 255, 0);
// How long the main menu says that the queue came back, in design milliseconds.
constexpr int kRestoreMessageMs = 5000;

QFont font_of(const QString& name, double points) {
    QFont font(name);
    font.setPointSizeF(points);
    return font;
}

// The main menu's singer lists fill the text area: twelve singers or ten
// songs a page; "9" on the category menu leads back to the main menu, and a
// list number that opens or orders nothing is left for correcting.
const order_by_singer::rules kFullScreenSingerRules{12, 10, page_style::spread, '9', false};
}  // namespace

main_menu::main_menu(AppState& state)
    : state_(state),
      keypad_menu_(
          context_, [this](const QString& choice) { return open_choice(choice); },
          [this] { show_phone_card(); }),
      order_by_singer_({state_,
                        Picture1,
                        Label1,
                        context_.key_entry,
                        [this](int key) { return context_.type_entry_key(key, menu_context::Echo::bare); },
                        [this](const QString& song_num) { return add_song_to_queue(state_, song_num); },
                        {},
                        [this] { show_main_menu(); }},
                       kFullScreenSingerRules) {
    setWindowTitle("Vocari's Karaok 電腦點歌系統");
    Form_Load();
}

main_menu::~main_menu() {
    // Closes the recording device a take may have left open.
    if (state_.platform.capture) state_.platform.capture->send(kCaptureClose);
}

void main_menu::Form_Load() {
    init_system(state_);
    // What a crash or a power cut interrupted comes back before anything
    // else touches the queue or the recordings.
    recover_interrupted_take(state_);
    restored_songs_ = resume_queue_journal(state_);
    phones_ = start_phone_ordering(state_);
    if (phones_) {
        connect(&phones_->api(), &PhoneApi::queue_changed, this, &main_menu::queue_changed_by_phone);
        connect(phones_.get(), &PhoneOrdering::sign_changed, this, [this] {
            if (screens_.in_front(keypad_menu_)) show_main_menu();
        });
    }
    lay_out_controls();
    connect(&keypad, &on_screen_keypad::key_pressed, this, &main_menu::Picture1_KeyPress);
    manager.setFocusPolicy(Qt::NoFocus);
    connect(&manager, &QPushButton::clicked, this, &main_menu::open_manager_mode);

    state_.clock.set_interval(Timer1, 100);
    state_.clock.set_interval(Timer2, 3000);
    state_.clock.set_interval(tmrGetKey, 20);
    connect(&Timer1, &QTimer::timeout, this, &main_menu::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &main_menu::Timer2_Timer);
    connect(&tmrGetKey, &QTimer::timeout, this, &main_menu::tmrGetKey_Timer);
    Timer1.start();
    Timer2.start();
    tmrGetKey.start();

    context_.key_entry.clear();
    Label1.clear();
    hide_pointer(*this);
}
// Positions are worked out in twips from the screen size, as the window
// was designed, and converted to pixels at the end.
void main_menu::lay_out_controls() {
    const int tpp = state_.twips_per_pixel;
    const QSize screen = state_.screen_size;
    // Font sizes follow the screen width of a 4:3 screen; a wider screen
    // takes the width of a 4:3 screen of its height, or the ten menu lines
    // would run off the bottom of a 16:9 television.
    font_basis_px_ = std::min(screen.width(), screen.height() * 4 / 3);
    const double W = screen.width() * tpp;
    const double H = screen.height() * tpp;
    const auto place = [tpp](QWidget& widget, double left, double top, double width, double height) {
        widget.setGeometry(qRound(left / tpp), qRound(top / tpp), qRound(width / tpp), qRound(height / tpp));
    };
    setGeometry(0, 0, screen.width(), screen.height());

    const double picture_width = 0.8 * W;
    const double text_points = std::floor(font_basis_px_ * 27.0 / 640);
    Picture1.setParent(this);
    place(Picture1, W - picture_width, 0, picture_width, H);
    Picture1.set_back_color(kDarkBlue);
    Picture1.set_fore_color(kYellow);
    Picture1.set_font({"標楷體", text_points, false});

    const double column_width = W - picture_width;
    const double label1_height = 0.2 * H;
    for (QLabel* label : {&Label1, &Label2, &Label3}) {
        label->setParent(this);
        label->setFont(font_of("標楷體", text_points));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
    }
    place(Label1, 0.15 * column_width, 0, column_width, label1_height);

    const int u = qRound(column_width / 4);
    const int keypad_top = static_cast<int>(label1_height);
    lay_out_keypad(u, keypad_top);

    const double keypad_bottom = keypad_top + 5 * u;  // bottom of number_key(0)
    place(Label2, 0.15 * column_width, keypad_bottom + 0.02 * H, column_width, 0.1 * H);
    Label2.clear();
    place(Label3, 0, keypad_bottom + 0.02 * H + 0.1 * H + 0.02 * H, column_width, 0.2 * H);
    Label3.setFont(font_of("標楷體", std::floor(0.7 * text_points)));
    Label3.clear();

    manager.setParent(this);
    manager.setText("管理模式");
    manager.setFont(font_of("標楷體", std::floor(font_basis_px_ * 20.0 / 800)));
    place(manager, 0, H - 0.3 * column_width, column_width, 0.3 * column_width);

    wmpMain = state_.platform.make_media_player(this);
    wmpMain->set_geometry(Picture1.geometry());
    wmpMain->set_visible(false);
    wmpMain->set_volume(50);
    connect(wmpMain.get(), &MediaPlayer::key_pressed, this, [this](int code) { Picture1_KeyPress(code); });

    // The text area lies over the right edge of Label1, as on the design.
    Picture1.raise();
}

// Keys of u by u twips below Label1; the top row and the right column stand
// one twip lower, as the window was designed.
void main_menu::lay_out_keypad(int u, int top) {
    const int tpp = state_.twips_per_pixel;
    const auto place = [u, top, tpp](const QRect& cell) {
        const bool lowered = cell.y() == 0 || cell.x() == 3;
        const double left = cell.x() * u;
        const double key_top = top + cell.y() * u + (lowered ? 1 : 0);
        return QRect(qRound(left / tpp), qRound(key_top / tpp), qRound(double(cell.width() * u) / tpp),
                     qRound(double(cell.height() * u) / tpp));
    };
    keypad.lay_out(place, font_of("細明體", font_basis_px_ * 12.0 / 640));
}

void main_menu::Form_Activate() {
    Timer1.start();
    show_main_menu();
    show_restored_queue();
    Picture1.setFocus();
}

// Once, on the first showing after an unclean end, for a few seconds.
void main_menu::show_restored_queue() {
    if (restored_songs_ == 0) return;
    const QString message = QString("上次的點歌已恢復，共 %1 首").arg(restored_songs_);
    restored_songs_ = 0;
    Label3.setText(message);
    QTimer::singleShot(state_.clock.real_ms(kRestoreMessageMs), this, [this, message] {
        if (Label3.text() == message) Label3.clear();
    });
}

void main_menu::keyPressEvent(QKeyEvent* event) {
    if (const auto code = key_code_of(*event)) Picture1_KeyPress(*code);
}

void main_menu::closeEvent(QCloseEvent* event) {
    close_queue_journal(state_);
    QWidget::closeEvent(event);
}

void main_menu::Picture1_KeyPress(int KeyAscii) {
    int translated = translate_key(state_.settings, KeyAscii);
    // A catalogue that cannot be read (locked, missing, damaged) must not end
    // the evening: the guest sees the reason, the queue stays as it was and
    // the half-typed entry is dropped so the next keys start afresh.
    try {
        screens_.key(translated);
    } catch (const std::exception& error) {
        context_.key_entry.clear();
        Label1.setText(QString::fromUtf8(error.what()));
    }
}

void main_menu::show_main_menu() {
    screens_.show(keypad_menu_);
}

// A choice on the main menu: "6" starts singing, the others open their
// screen. Returns whether the choice named something.
bool main_menu::open_choice(const QString& choice) {
    if (choice == "6") {
        start_singing();
        return true;
    }
    const std::pair<const char*, keypad_screen*> choices[] = {
        {"1", &order_by_text_count_}, {"2", &order_by_singer_}, {"3", &order_by_song_num_},
        {"4", &delete_song_},         {"5", &intter_song_},     {"7", &RecordFile_},
        {"8", &multimedia_},          {"0", &shutdown_set_}};
    for (const auto& [key, screen] : choices) {
        if (choice == key) {
            screens_.show(*screen);
            return true;
        }
    }
    return false;
}

void main_menu::start_singing() {
    context_.key_entry.clear();
    Label1.clear();
    Timer1.stop();
    Timer2.stop();
    note_jukebox_activity(state_, JukeboxActivity::SongPlaying);
    {
        player singer_window(state_, this, [this](player& screen) {
            open_small_control_main(state_, screen.session(), &screen);
        });
        if (phones_ && phones_->listening()) {
            phones_->api().set_playback(&singer_window.session());
            singer_window.set_background_overlay([this](QPainter& painter, const QRect& screen) {
                paint_between_songs(painter, screen, *phones_, state_.play_queue.display_at(0));
            });
            connect(&phones_->api(), &PhoneApi::queue_changed, &singer_window, &player::repaint_background);
            connect(phones_.get(), &PhoneOrdering::sign_changed, &singer_window, &player::repaint_background);
        }
        singer_window.exec();
        if (phones_) phones_->api().set_playback(nullptr);
    }
    Timer1.start();
    Timer2.start();
    Picture1.setFocus();
    Form_Activate();
}

// The card stands in the bottom-right corner of the text area, below the
// menu's ten lines.
void main_menu::show_phone_card() {
    if (!phones_ || !phones_->listening()) return;
    const double width = Picture1.scale_width();
    const double height = Picture1.scale_height();
    const int card_pixels = std::max(120, Picture1.height() * 2 / 5);
    const QImage card = phones_->sign_card(card_pixels);
    const double card_height = height * 2 / 5;
    const double card_width = card_height * card.width() / card.height();
    const double margin = height / 50;
    Picture1.draw_picture(
        card, QRectF(width - margin - card_width, height - margin - card_height, card_width, card_height));
}

void main_menu::queue_changed_by_phone() {
    for (queue_screen* screen :
         std::initializer_list<queue_screen*>{&order_by_song_num_, &delete_song_, &intter_song_})
        if (screens_.in_front(*screen)) screen->repaint();
}

void main_menu::open_manager_mode() {
    Timer1.stop();
    note_jukebox_activity(state_, JukeboxActivity::AwayFromMenu);
    {
        manager_menu manager_window(state_, this);
        manager_window.exec();
    }
    // The catalogue may have changed: the phones' search reads it now rather
    // than during a song.
    if (phones_) phones_->api().prepare_search();
    Timer1.start();
    Picture1.setFocus();
    Form_Activate();
}

// Timer1 runs while the main menu is in front: the loudness of the
// catalogue's songs is measured meanwhile, unless music plays here.
void main_menu::Timer1_Timer() {
    Picture1.setFocus();
    const bool playing = wmpMain->play_state() == play_state::playing;
    if (playing)
        Label2.setText(wmpMain->current_position_text());
    else
        Label2.clear();
    note_jukebox_activity(state_, playing ? JukeboxActivity::SongPlaying : JukeboxActivity::IdleOnMenu);
}

void main_menu::Timer2_Timer() {
    if (screens_.in_front(multimedia_)) multimedia_.Timer2_Timer();
}

void main_menu::tmrGetKey_Timer() {
    if (!Timer1.isActive()) return;
    if (const auto code = arrow_key_code(state_)) Picture1_KeyPress(*code);
}
