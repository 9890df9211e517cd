// A keypad monkey: random keys and presses on the on-screen keys, sent to
// whichever window is in front, with the player opened and closed and songs
// ending under it. After every key the program must still be up and the play
// queue must pair a song number with a display text in every slot. A second,
// shorter run makes for the multimedia screens, where music plays and
// pictures show.
//
// MONKEY_KEYS sets how many keys each run sends (20,000 and 3,000 by
// default), MONKEY_SEED the seed, MONKEY_SCREEN the screen size (as
// "3840x2160"; 1024 x 768 by default); a long run is
// `MONKEY_KEYS=1000000 build/tests/test_monkey`. The windows draw with the
// program's style, and the glyph cache's size is printed after each run.

#include "foundation/app_state.h"
#include "foundation/startup.h"
#include "ordering/main_menu.h"
#include "platform/cached_text_style.h"
#include "platform/glyph_cache.h"
#include "playback/player.h"
#include "support/fake_media_player.h"
#include "support/fake_wave_capture.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

// Qt's warnings during a run (an exec() of a dialog already in its loop,
// say) are faults the monkey reports with its trail.
QStringList warnings_seen;
// The jukebox's own log (categories "karaoke.*") reports failures the
// guests cause or meet, such as a song that cannot be played; only Qt's
// warnings are faults.
void keep_warning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool jukebox_log = context.category && QByteArray(context.category).startsWith("karaoke.");
    if (type != QtDebugMsg && type != QtInfoMsg && !jukebox_log) warnings_seen.append(message);
}

long long from_environment(const char* name, long long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoll(text) : fallback;
}

QSize screen_from_environment(QSize fallback) {
    const QStringList sides = QString::fromLocal8Bit(qgetenv("MONKEY_SCREEN")).split('x');
    if (sides.size() != 2) return fallback;
    return QSize(sides[0].toInt(), sides[1].toInt());
}

// One key as the keyboard delivers it: the Qt key and the text it types.
struct MonkeyKey {
    int key;
    QString text;
};

std::vector<MonkeyKey> monkey_keys() {
    std::vector<MonkeyKey> keys;
    for (char digit = '0'; digit <= '9'; ++digit) {
        // Digits come three times as often: they are most of what guests type.
        for (int i = 0; i < 3; ++i) keys.push_back({Qt::Key_0 + (digit - '0'), QString(QChar(digit))});
    }
    keys.push_back({Qt::Key_Asterisk, "*"});
    keys.push_back({Qt::Key_Slash, "/"});
    keys.push_back({Qt::Key_Plus, "+"});
    keys.push_back({Qt::Key_Minus, "-"});
    keys.push_back({Qt::Key_Period, "."});
    for (int i = 0; i < 3; ++i) keys.push_back({Qt::Key_Return, "\r"});
    for (int arrow : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right})
        keys.push_back({arrow, QString()});
    for (char hotkey : QByteArray("QWERPAXZ"))
        keys.push_back({Qt::Key_A + (hotkey - 'A'), QString(QChar(hotkey))});
    for (char letter = 'a'; letter <= 'z'; ++letter)
        keys.push_back({Qt::Key_A + (letter - 'a'), QString(QChar(letter))});
    keys.push_back({Qt::Key_Escape, QString(QChar(27))});
    keys.push_back({Qt::Key_Backspace, QString(QChar(8))});
    return keys;
}

QString key_name(const MonkeyKey& key) {
    switch (key.key) {
        case Qt::Key_Return:
            return "Enter";
        case Qt::Key_Up:
            return "Up";
        case Qt::Key_Down:
            return "Down";
        case Qt::Key_Left:
            return "Left";
        case Qt::Key_Right:
            return "Right";
        case Qt::Key_Escape:
            return "Esc";
        case Qt::Key_Backspace:
            return "Backspace";
        default:
            return key.text;
    }
}

class KeypadMonkeyTest : public ::testing::Test {
protected:
    static constexpr int kSongs = 12;

    KeypadMonkeyTest() {
        QApplication::setStyle(cached_text_style());
        init_system(*state);
        state->screen_size = screen_from_environment(state->screen_size);
        state->platform.make_media_player = players.factory();
        state->platform.capture = &capture;
        state->platform.end_program = [this] { ++program_ends; };
        state->platform.request_power_off = [this] { ++power_off_requests; };
        add_catalogue();
    }
    // The windows go before the sound input they may still talk to.
    ~KeypadMonkeyTest() override { menu.reset(); }

    // Songs of every category and several title lengths by singers of
    // every kind, each on a media file of its own.
    void add_catalogue() {
        const int singers[] = {add_test_singer(*state, "江蕙", 0), add_test_singer(*state, "周杰倫", 1),
                               add_test_singer(*state, "五月天", 2)};
        const QString titles[] = {"雨",   "酒後", "家後", "愛拼才會贏", "落雨聲",       "晴天",
                                  "稻香", "倔強", "溫柔", "突然好想你", "一條日光大道", "戀愛ing"};
        for (int i = 0; i < kSongs; ++i) {
            const QString file = folder.file(QString::number(i + 1) + ".mpg");
            write_file(file);
            add_test_song(*state, song_num(i + 1), i % 8 + 1, titles[i], singers[i % 3], file);
        }
    }
    static QString song_num(int i) { return QString::number(1000000 + i); }

    // Loading the main menu reads Setting.ini again, so the media folders
    // are pointed at the test's own only afterwards: the monkey must not
    // browse the machine's home folder or a disc in its drive.
    void open_main_menu() {
        menu = std::make_unique<main_menu>(*state);
        add_media_folders();
        menu->show();
        menu->Form_Activate();
    }

    // Music of every kind with a subfolder to move into, pictures of either
    // shape (a real one first), a movie and one that does not decode, and a
    // drive with a track. The fake engine plays anything; only the pictures
    // must be real.
    void add_media_folders() {
        Settings& settings = state->settings;
        settings.pathMusic = media_folder("Music", {"a.mp3", "b.wav", "c.mid", "notes.txt", "more/d.mp3"});
        settings.pathPicture = media_folder("Pictures", {"2_clip.mpg", "4_broken.jpg"});
        save_picture(settings.pathPicture + "/1_wide.jpg", QSize(64, 24));
        save_picture(settings.pathPicture + "/3_tall.bmp", QSize(12, 40));
        settings.pathCDROM = media_folder("cdrom", {"track01.cda"});
    }
    QString media_folder(const QString& name, const QStringList& files) {
        QDir().mkpath(folder.file(name));
        for (const QString& file : files) write_file(folder.file(name + "/" + file));
        return folder.file(name);
    }
    static void write_file(const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write("not decoded");
    }
    static void save_picture(const QString& path, QSize size) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        ASSERT_TRUE(picture.save(path)) << path.toStdString();
    }

    // The window that takes the keys now: a modal one over the main menu,
    // or the main menu itself.
    QWidget* front() const {
        if (QWidget* modal = QApplication::activeModalWidget()) return modal;
        return menu.get();
    }
    // The window class, and for the main menu the screen in front.
    std::string screen_name(const QWidget* window) const {
        if (window == menu.get()) return "main_menu " + menu->screen_name().toStdString();
        return window->metaObject()->className();
    }
    // The player on screen, if any.
    static player* open_player() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* screen = qobject_cast<player*>(window); screen && screen->isVisible()) return screen;
        return nullptr;
    }

    // Sends one key to the focus of the front window, press then release,
    // as the keyboard would. The press may open a modal window whose loop
    // runs the monkey on; the release goes only to a widget still there.
    void send_key(const MonkeyKey& key) {
        QWidget* window = front();
        ++keys_by_window[screen_name(window)];
        QWidget* focus = QApplication::focusWidget();
        QPointer<QWidget> target = focus && window->isAncestorOf(focus) ? focus : window;
        ++sent;
        note(key_name(key));
        QKeyEvent press(QEvent::KeyPress, key.key, Qt::NoModifier, key.text);
        QApplication::sendEvent(target, &press);
        if (!target) return;
        QKeyEvent release(QEvent::KeyRelease, key.key, Qt::NoModifier, key.text);
        QApplication::sendEvent(target, &release);
    }

    // Presses one of the front window's on-screen keys with the mouse.
    // Manager mode is not a guest's screen: its key is left alone.
    void press_on_screen_key() {
        std::vector<QPushButton*> keys;
        for (QPushButton* key : front()->findChildren<QPushButton*>())
            if (key->isVisible() && key->isEnabled() && key != &menu->manager) keys.push_back(key);
        if (keys.empty()) return;
        QPointer<QPushButton> key = keys[pick(keys.size())];
        ++sent;
        note("mouse:" + key->text());
        QTest::mousePress(key, Qt::LeftButton);
        if (key) QTest::mouseRelease(key, Qt::LeftButton);
    }

    // The song playing under the player (or the main menu's music) ends.
    void end_song() {
        player* screen = open_player();
        auto* media = dynamic_cast<FakeMediaPlayer*>(screen ? screen->wmp1 : menu->wmpMain.get());
        if (!media || media->play_state() != play_state::playing) return;
        if (pick(3) == 0) {
            note("fail_song");
            media->fail_song();
        } else {
            note("finish_song");
            media->finish_song();
        }
    }

    // A guest who knows the number: seven digits and Enter. Like every
    // burst, the keys go one a tick, as the keyboard delivers them: a window
    // a key closes is gone before the next key arrives.
    void type_song_number() {
        for (QChar digit : song_num(1 + pick(kSongs)))
            typed.push_back({Qt::Key_0 + (digit.unicode() - '0'), digit});
        typed.push_back({Qt::Key_Return, "\r"});
    }

    // A guest who gives up: takes the whole entry back with "." and leaves
    // the screen with "0" and Enter, as the screens' hints say. Without it
    // random digits pile up in an entry no screen accepts.
    void leave_screen() {
        // The main menu's Label1 echoes the entry, however long it grew.
        const auto entry_length = front() == menu.get() ? menu->Label1.text().size() : 0;
        typed.insert(typed.end(), std::max<qsizetype>(12, entry_length), {Qt::Key_Period, "."});
        typed.push_back({Qt::Key_0, "0"});
        typed.push_back({Qt::Key_Return, "\r"});
    }

    // A guest making for the music or the pictures, one screen nearer with
    // each burst: "8" on the main menu, a folder on the multimedia menu, on
    // a listing "*" or now and then back to the multimedia menu for the
    // other folder; from any other screen the way out first.
    void head_for_media() {
        const QString screen = front() == menu.get() ? menu->screen_name() : QString();
        if (screen == "0")
            typed.push_back({Qt::Key_8, "8"});
        else if (screen == "8")
            typed.push_back(pick(2) == 0 ? MonkeyKey{Qt::Key_1, "1"} : MonkeyKey{Qt::Key_2, "2"});
        else if ((screen == "8_1" || screen == "8_2") && pick(3) != 0)
            typed.push_back({Qt::Key_Asterisk, "*"});
        else if (screen != "8_1_2" && screen != "8_2_2")
            leave_screen();
    }

    size_t pick(size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(random); }

    void one_step() {
        if (!typed.empty()) {
            const MonkeyKey key = typed.front();
            typed.pop_front();
            send_key(key);
            return;
        }
        const size_t roll = pick(100);
        if (roll < 3)
            end_song();
        else if (roll < 8)
            press_on_screen_key();
        else if (roll < 30 && heads_for_media)
            head_for_media();
        else if (roll < 11 && state->play_queue.size() < 30)
            type_song_number();
        else if (roll < 13)
            leave_screen();
        else
            send_key(keys[pick(keys.size())]);
    }

    // The program is up and the queue pairs a number with a display text in
    // every slot, nothing past its end. Stops the monkey on the first fault.
    bool check_after_key() {
        if (stopped) return false;
        const PlayQueue& queue = state->play_queue;
        QString fault;
        if (!menu || (!QApplication::activeModalWidget() && !menu->isVisible()))
            fault = "no window in front";
        else if (queue.size() > PlayQueue::kCapacity)
            fault = "queue over capacity";
        else if (!queue.number_at(queue.size()).isEmpty() || !queue.display_at(queue.size()).isEmpty())
            fault = "an entry past the end of the queue";
        for (int slot = 0; fault.isEmpty() && slot < queue.size(); ++slot) {
            if (queue.number_at(slot).isEmpty() || queue.display_at(slot).isEmpty())
                fault = QString("slot %1 of %2: number \"%3\", display \"%4\"")
                            .arg(slot)
                            .arg(queue.size())
                            .arg(queue.number_at(slot), queue.display_at(slot));
        }
        if (fault.isEmpty() && !warnings_seen.isEmpty()) fault = "Qt warned: " + warnings_seen.join(" | ");
        if (fault.isEmpty()) return true;
        ADD_FAILURE() << "after key " << sent << ": " << fault.toStdString() << "\nlast steps: " << trail();
        stopped = true;
        return false;
    }

    // The monkey's tick: the next tick is queued first, so that it runs on
    // inside any modal window this step opens.
    void tick(QEventLoop& loop) {
        QTimer::singleShot(0, menu.get(), [this, &loop] { tick(loop); });
        if (!stopped && sent < key_count) {
            one_step();
            if (check_after_key()) count_pictures_shown();
        } else {
            wind_down(loop);
        }
    }

    // Closes the windows in front one by one (a panel may come back after a
    // small window) until the main menu has been alone for a few ticks.
    void wind_down(QEventLoop& loop) {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            quiet_ticks = 0;
            dialog->done(QDialog::Rejected);
        } else if (++quiet_ticks > 5) {
            loop.quit();
        }
    }

    void count_pictures_shown() {
        if (front() == menu.get() && menu->screen_name() == "8_2_2" &&
            !menu->Picture1.items_of<PictureBox::PictureItem>().empty())
            ++steps_with_picture;
    }
    // How many files of the multimedia folders the main menu's player played.
    int media_files_played() const {
        const auto* media = dynamic_cast<const FakeMediaPlayer*>(menu->wmpMain.get());
        int played = 0;
        for (const QString& url : media->played_urls) {
            const QString path = url.mid(QString("file://").size());
            played +=
                path.startsWith(state->settings.pathMusic) || path.startsWith(state->settings.pathPicture);
        }
        return played;
    }

    // Runs the monkey from the main menu until it has sent its keys (or
    // met a fault) and the windows it opened are closed again.
    void run_monkey(long long default_key_count) {
        const auto seed = static_cast<unsigned>(from_environment("MONKEY_SEED", 20261208));
        key_count = from_environment("MONKEY_KEYS", default_key_count);
        trace = std::make_unique<::testing::ScopedTrace>(
            __FILE__, __LINE__,
            "MONKEY_SEED=" + std::to_string(seed) + " MONKEY_KEYS=" + std::to_string(key_count));
        random.seed(seed);

        open_main_menu();
        warnings_seen.clear();
        const QtMessageHandler previous_handler = qInstallMessageHandler(keep_warning);
        QEventLoop loop;
        QTimer::singleShot(0, menu.get(), [this, &loop] { tick(loop); });
        QElapsedTimer elapsed;
        elapsed.start();
        loop.exec();
        qInstallMessageHandler(previous_handler);

        if (!stopped) {
            EXPECT_GE(sent, key_count);
        }
        std::cout << "[ monkey   ] " << sent << " keys in " << elapsed.elapsed() << " ms; " << players.count()
                  << " media players made, program ends " << program_ends << ", power-off requests "
                  << power_off_requests << ", queue " << state->play_queue.size() << ", media files played "
                  << media_files_played() << ", steps with a picture " << steps_with_picture << std::endl;
        for (const auto& [window, count] : keys_by_window)
            std::cout << "  " << window << ": " << count << std::endl;
        const GlyphCache& glyphs = glyph_cache();
        std::cout << "[ monkey   ] screen " << state->screen_size.width() << " x "
                  << state->screen_size.height() << ", glyph cache " << glyphs.bytes_used() / 1024
                  << " KiB in " << glyphs.glyphs_kept() << " pictures, limit " << glyphs.byte_limit() / 1024
                  << " KiB" << std::endl;
        EXPECT_LE(glyphs.bytes_used(), glyphs.byte_limit());
    }

    void note(const QString& step) {
        steps.push_back(step);
        if (steps.size() > 40) steps.pop_front();
    }
    std::string trail() const {
        QString all;
        for (const QString& step : steps) all += step + " ";
        return all.toStdString();
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    FakeMediaPlayers players;
    FakeWaveCapture capture;
    std::unique_ptr<main_menu> menu;

    const std::vector<MonkeyKey> keys = monkey_keys();
    bool heads_for_media = false;                   // the run that makes for the multimedia screens
    std::unique_ptr<::testing::ScopedTrace> trace;  // the seed, on every failure
    std::mt19937 random;
    long long key_count = 0;
    long long sent = 0;
    bool stopped = false;
    int quiet_ticks = 0;
    std::deque<MonkeyKey> typed;  // the rest of a burst
    std::map<std::string, long long> keys_by_window;
    long long steps_with_picture = 0;  // steps after which a picture was on screen
    std::deque<QString> steps;         // the last steps, for the failure message
    int program_ends = 0;
    int power_off_requests = 0;
};

TEST_F(KeypadMonkeyTest, RandomKeysOnEveryScreenKeepTheProgramUpAndTheQueueWhole) {
    run_monkey(20000);
    // A monkey stuck on the main menu tests little: a full run gets into the
    // player and its panel. (Which small windows it reaches depends on how
    // the program's timers fall between the keys, so it is only printed.)
    if (key_count >= 20000) {
        EXPECT_GT(keys_by_window["player"], 0);
        EXPECT_GT(keys_by_window["small_control_main"], 0);
    }
}

// Random keys over the music and picture folders and while their files
// play and show, with songs ending and failing under the keys.
TEST_F(KeypadMonkeyTest, RandomKeysWhileMusicPlaysAndPicturesShowKeepTheProgramUp) {
    heads_for_media = true;
    run_monkey(3000);
    // The run must keep reaching the screens it is for.
    if (key_count >= 3000) {
        EXPECT_GT(keys_by_window["main_menu 8_1_2"], 0);
        EXPECT_GT(keys_by_window["main_menu 8_2_2"], 0);
        EXPECT_GT(steps_with_picture, 0);
        EXPECT_GT(media_files_played(), 0);
    }
}

}  // namespace
