#include "ordering/multimedia.h"

#include "foundation/app_state.h"
#include "foundation/helpers.h"
#include "ordering/main_menu.h"
#include "platform/file_system.h"
#include "platform/media_player.h"
#include "widgets/list_pages.h"

#include <algorithm>

namespace {
const QString kSearching = "搜尋中,請稍候...";
const QString kDriveEntry = "光碟機";
const QString kParentEntry = "上一層目錄";
constexpr int kEnter = 13;
}  // namespace

QString multimedia::name() const {
    if (step_ == step::menu) return "8";
    const QString folder = music_mode_ ? "8_1" : "8_2";
    return step_ == step::playing ? folder + "_2" : folder;
}

void multimedia::enter() {
    step_ = step::menu;
    clear_screen();
    print_lines({"請輸入多媒體功能", "1.音樂欣賞", "2.圖片觀賞", "3.影片欣賞(施工中)", "", "9.上一目錄"});
    menu().keypad.KeyValueReset();
}

void multimedia::key(int& KeyAscii) {
    if (step_ == step::menu)
        choose_multimedia(KeyAscii);
    else if (step_ == step::folder)
        MultiMedia_do_1_1(KeyAscii);
    else
        MultiMedia_do_1_2(KeyAscii);
}

// "3" (movies, not built) keeps its key in the entry, so the key after it
// makes an entry that chooses nothing and is dropped with it.
void multimedia::choose_multimedia(int& KeyAscii) {
    QString& entry = key_entry();
    entry += QChar(KeyAscii);
    state().current_page = 1;
    menu().Label1.clear();
    if (entry == "1")
        open_media_root(true, state().settings.pathMusic, KeyAscii);
    else if (entry == "2")
        open_media_root(false, state().settings.pathPicture, KeyAscii);
    else if (entry == "9")
        menu().show_main_menu();
    else if (entry != "3")
        entry.clear();
}

void multimedia::open_media_root(bool music, const QString& root, int& KeyAscii) {
    key_entry().clear();
    media_folder = root;
    music_mode_ = music;
    step_ = step::folder;
    MultiMedia_do_1(KeyAscii);
}

QString multimedia::media_root() const {
    return music_mode_ ? state().settings.pathMusic : state().settings.pathPicture;
}

// Reads media_folder into the listing: the drive and parent entries, the
// subfolders, then the media files of the current mode.
void multimedia::MultiMedia_do_1(int&) {
    file_list = QStringList{QString()};
    if (!is_inside_folder(media_folder, state().settings.pathCDROM)) add_media_entry(kDriveEntry);
    if (!same_folder(media_folder, media_root())) add_media_entry(kParentEntry);
    QLabel& Label1 = menu().Label1;
    Label1.setText(kSearching);
    Label1.repaint();  // a slow drive may take a while to answer

    const FolderListing listing = list_folder(media_folder);
    for (const QString& subfolder : listing.subfolders) add_media_entry(subfolder);
    media_files.clear();
    for (const QString& file : listing.files)
        if (is_media_ext(state(), name(), file)) media_files << file;
    if (media_files.isEmpty()) media_files << QString();
    for (const QString& file : media_files) add_media_entry(file);

    set_list_key_captions();
    on_screen_keypad& keys = menu().keypad;
    keys.number_mul.setText("播放");
    keys.number_div.setText("停止");
    keys.number_key[0].setText("離開");
    clear_screen();
    show_media_page(state().current_page);
}

// The first entry fills the empty first row; later ones are appended.
void multimedia::add_media_entry(const QString& entry) {
    if (file_list.front().isEmpty())
        file_list.front() = entry;
    else
        file_list << entry;
}

void multimedia::show_media_page(int page) {
    const auto row_text = [this](int slot) {
        const QString entry = slot < file_list.size() ? file_list.at(slot) : QString();
        const bool is_folder = !entry.isEmpty() && folder_exists(join_path(media_folder, entry));
        return is_folder ? "<目錄>" + entry : entry;
    };
    show_band_page(page, row_text, " 音樂檔瀏覽");
    menu().Picture1.print(" \"0\" 回主目錄 ");
}

void multimedia::MultiMedia_do_1_1(int& KeyAscii) {
    type_entry_key(KeyAscii);
    if (KeyAscii == '*') {
        play_media_folder();
        return;
    }
    if (KeyAscii == kEnter) {
        if (key_entry() == "0") {
            enter();
            return;
        }
        if (!key_entry().trimmed().isEmpty()) open_media_row(KeyAscii);
        key_entry().clear();
        menu().Label1.clear();
    }
    if (turn_page(state(), KeyAscii)) show_media_page(state().current_page);
}

// Enter on a row: the drive, the parent or a subfolder is opened; any other
// row reads the folder again.
void multimedia::open_media_row(int& KeyAscii) {
    const double row = entry_row();
    if (row < 1 || row > state().lines_per_page) return;
    const int slot = slot_of_row(static_cast<int>(row));
    const QString entry = slot < file_list.size() ? file_list.at(slot) : QString();
    const QString& drive = state().settings.pathCDROM;
    if (entry == kDriveEntry)
        media_folder = drive;
    else if (entry == kParentEntry)
        media_folder = same_folder(media_folder, drive) ? media_root() : parent_folder(media_folder);
    else if (!entry.isEmpty() && folder_exists(join_path(media_folder, entry)))
        media_folder = join_path(media_folder, entry);
    state().current_page = 1;
    MultiMedia_do_1(KeyAscii);
}

// "*" on a listing: the folder's media files become the play list.
void multimedia::play_media_folder() {
    key_entry().clear();
    QLabel& Label1 = menu().Label1;
    Label1.setText(kSearching);
    Label1.repaint();
    if (media_files.front().isEmpty()) {
        Label1.setText("無檔可播!");
        return;
    }
    file_list = media_files;
    Label1.setText("播放中");
    state().current_page = 1;
    step_ = step::playing;
    int play_key = '*';
    MultiMedia_do_1_2(play_key);
}

QString multimedia::current_media_file() const {
    return join_path(media_folder, file_list.at(state().current_page - 1));
}

void multimedia::MultiMedia_do_1_2(int& KeyAscii) {
    player_busy = true;
    menu().Label3.clear();
    const int last = static_cast<int>(file_list.size()) - 1;
    if (KeyAscii == '*')
        start_current_media();
    else if (KeyAscii == '+' && state().current_page - 1 < last)
        step_media(+1);
    else if (KeyAscii == '-' && state().current_page > 1)
        step_media(-1);
    player_busy = false;

    const bool playing = wmpMain().play_state() == play_state::playing;
    if (KeyAscii == '0') {
        leave_media_playing(KeyAscii);
    } else if (KeyAscii == '/') {
        if (music_mode_ && playing) {
            stop_and_close();
            menu().Label1.setText("停止");
        }
    } else if (KeyAscii == '5' && playing) {
        wmpMain().set_volume(std::min(100, wmpMain().volume() + 10));
    } else if (KeyAscii == '4' && playing) {
        wmpMain().set_volume(std::max(0, wmpMain().volume() - 10));
    } else {
        show_play_status();
    }
}

void multimedia::start_current_media() {
    if (music_mode_) {
        if (wmpMain().play_state() == play_state::playing) return;
        wmpMain().set_url("file://" + current_media_file());
        wmpMain().play();
    } else {
        menu().Picture1.clear();
        show_picture_or_movie();
    }
}

// "+" and "-": whatever plays is dropped and the neighbouring file starts.
void multimedia::step_media(int step) {
    wmpMain().set_url(QString());
    state().current_page += step;
    if (music_mode_) {
        wmpMain().set_url("file://" + current_media_file());
        wmpMain().play();
    } else {
        menu().Picture1.clear();
        show_picture_or_movie();
    }
}

void multimedia::show_picture_or_movie() {
    if (is_movie_ext(state(), file_list.at(state().current_page - 1))) {
        if (wmpMain().play_state() == play_state::playing) return;
        wmpMain().set_visible(true);
        wmpMain().video_surface()->raise();  // over the text area
        wmpMain().set_url("file://" + current_media_file());
        wmpMain().play();
        return;
    }
    // The video area of a movie shown before would hide the picture.
    wmpMain().set_visible(false);
    LoadObjPIC();
    if (!loaded_picture.isNull())
        menu().Picture1.draw_picture(loaded_picture, QRectF(1, 1, picture_width, picture_height));
}

// Scales the picture to fill the text area's width or height, whichever
// it reaches first, keeping its proportions.
void multimedia::LoadObjPIC() {
    loaded_picture = load_picture(current_media_file());
    picture_width = 0;
    picture_height = 0;
    if (loaded_picture.isNull()) return;  // no picture Qt can read: nothing is drawn
    const double area_width = menu().Picture1.scale_width();
    const double area_height = menu().Picture1.scale_height();
    const double scale = std::min(area_width / loaded_picture.width(), area_height / loaded_picture.height());
    picture_width = qRound(loaded_picture.width() * scale);
    picture_height = qRound(loaded_picture.height() * scale);
}

QString multimedia::play_count_text() const {
    return "播放\n" + QString::number(state().current_page) + "/" + QString::number(file_list.size());
}

void multimedia::show_play_status() {
    if (music_mode_)
        showMusicPlayControl();
    else
        menu().Label1.setText(play_count_text());
    menu().Label3.setText("檔名:\n" + base_name(current_media_file()));
}

void multimedia::showMusicPlayControl() {
    menu().Label1.setText(play_count_text());
    const int current = state().current_page - 1;
    const bool first = current == 0;
    const bool last = current == file_list.size() - 1;
    PictureBox& Picture1 = menu().Picture1;
    Picture1.clear();
    Picture1.print("*:播放");
    Picture1.print("/:暫停");
    Picture1.print("-:上一首 -> " + (first ? QString("無上一首") : file_list.at(current - 1)));
    Picture1.print("+:下一首 -> " + (last ? QString("無下一首") : file_list.at(current + 1)));
    Picture1.print("4:小聲");
    Picture1.print("5:大聲");
    Picture1.print("0:離開");
    Picture1.print(QString());
    Picture1.print("目前播放 : \n" + file_list.at(current));
}

// "0" while playing or showing: back to the folder listing.
void multimedia::leave_media_playing(int& KeyAscii) {
    stop_and_close();
    state().current_page = 1;
    step_ = step::folder;
    menu().Picture1.clear();
    wmpMain().set_visible(false);
    wmpMain().set_url(QString());
    MultiMedia_do_1(KeyAscii);
}

void multimedia::Timer2_Timer() {
    if (step_ != step::playing || !music_mode_ || player_busy ||
        wmpMain().play_state() == play_state::playing)
        return;
    if (state().current_page < file_list.size())
        ++state().current_page;
    else if (!file_list.front().isEmpty())
        state().current_page = 1;
    else
        return;
    player_busy = true;
    wmpMain().set_url("file://" + current_media_file());
    wmpMain().play();
    show_play_status();
    player_busy = false;
}
