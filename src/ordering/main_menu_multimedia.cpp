// The multimedia browser: music and pictures from the configured folders and
// the optical drive. Music plays in wmpMain and moves on by itself; pictures
// are drawn into Picture1; movies play in wmpMain laid over Picture1.
#include "foundation/app_state.h"
#include "foundation/helpers.h"
#include "ordering/main_menu.h"
#include "platform/file_system.h"
#include "platform/media_player.h"

#include <algorithm>

namespace {
const QString kSearching = "搜尋中,請稍候...";
const QString kDriveEntry = "光碟機";
const QString kParentEntry = "上一層目錄";
constexpr int kEnter = 13;
}  // namespace

void main_menu::multimedia(int&) {
    Menu_Statu = "8";
    Label1.clear();
    key_entry.clear();
    Picture1.clear();
    for (const char* line :
         {"請輸入多媒體功能", "1.音樂欣賞", "2.圖片觀賞", "3.影片欣賞(施工中)", "", "9.上一目錄"})
        Picture1.print(QString::fromUtf8(line));
    KeyValueReset();
}

void main_menu::MultiMedia_do(int& KeyAscii) {
    if (Menu_Statu == "8")
        choose_multimedia(KeyAscii);
    else if (Menu_Statu == "8_1" || Menu_Statu == "8_2")
        MultiMedia_do_1_1(KeyAscii);
    else
        MultiMedia_do_1_2(KeyAscii);
}

// "3" (movies, not built) keeps its key in the entry, so the key after it
// makes an entry that chooses nothing and is dropped with it.
void main_menu::choose_multimedia(int& KeyAscii) {
    key_entry += QChar(KeyAscii);
    state_.current_page = 1;
    Label1.clear();
    if (key_entry == "1")
        open_media_root("8_1", state_.settings.pathMusic, KeyAscii);
    else if (key_entry == "2")
        open_media_root("8_2", state_.settings.pathPicture, KeyAscii);
    else if (key_entry == "9")
        show_main_menu();
    else if (key_entry != "3")
        key_entry.clear();
}

void main_menu::open_media_root(const QString& screen, const QString& root, int& KeyAscii) {
    key_entry.clear();
    media_folder = root;
    Menu_Statu = screen;
    MultiMedia_do_1(KeyAscii);
}

bool main_menu::music_mode() const {
    return Menu_Statu.startsWith("8_1");
}

QString main_menu::media_root() const {
    return music_mode() ? state_.settings.pathMusic : state_.settings.pathPicture;
}

// Reads media_folder into the listing: the drive and parent entries, the
// subfolders, then the media files of the current mode.
void main_menu::MultiMedia_do_1(int&) {
    file_list = QStringList{QString()};
    if (!is_inside_folder(media_folder, state_.settings.pathCDROM)) add_media_entry(kDriveEntry);
    if (!same_folder(media_folder, media_root())) add_media_entry(kParentEntry);
    Label1.setText(kSearching);
    Label1.repaint();  // a slow drive may take a while to answer

    const FolderListing listing = list_folder(media_folder);
    for (const QString& subfolder : listing.subfolders) add_media_entry(subfolder);
    media_files.clear();
    for (const QString& file : listing.files)
        if (is_media_ext(state_, Menu_Statu, file)) media_files << file;
    if (media_files.isEmpty()) media_files << QString();
    for (const QString& file : media_files) add_media_entry(file);

    set_list_key_captions();
    number_mul.setText("播放");
    number_div.setText("停止");
    number_key[0].setText("離開");
    Label1.clear();
    key_entry.clear();
    Picture1.clear();
    show_media_page(state_.current_page);
}

// The first entry fills the empty first row; later ones are appended.
void main_menu::add_media_entry(const QString& entry) {
    if (file_list.front().isEmpty())
        file_list.front() = entry;
    else
        file_list << entry;
}

void main_menu::show_media_page(int page) {
    const auto row_text = [this](int slot) {
        const QString entry = slot < file_list.size() ? file_list.at(slot) : QString();
        const bool is_folder = !entry.isEmpty() && folder_exists(join_path(media_folder, entry));
        return is_folder ? "<目錄>" + entry : entry;
    };
    show_band_page(page, row_text, " 音樂檔瀏覽");
    Picture1.print(" \"0\" 回主目錄 ");
}

void main_menu::MultiMedia_do_1_1(int& KeyAscii) {
    type_entry_key(KeyAscii);
    if (KeyAscii == '*') {
        play_media_folder();
        return;
    }
    if (KeyAscii == kEnter) {
        if (key_entry == "0") {
            multimedia(KeyAscii);
            return;
        }
        if (!key_entry.trimmed().isEmpty()) open_media_row(KeyAscii);
        key_entry.clear();
        Label1.clear();
    }
    if (turn_page(KeyAscii)) show_media_page(state_.current_page);
}

// Enter on a row: the drive, the parent or a subfolder is opened; any other
// row reads the folder again.
void main_menu::open_media_row(int& KeyAscii) {
    const double row = entry_row();
    if (row < 1 || row > state_.lines_per_page) return;
    const int slot = slot_of_row(static_cast<int>(row));
    const QString entry = slot < file_list.size() ? file_list.at(slot) : QString();
    const QString& drive = state_.settings.pathCDROM;
    if (entry == kDriveEntry)
        media_folder = drive;
    else if (entry == kParentEntry)
        media_folder = same_folder(media_folder, drive) ? media_root() : parent_folder(media_folder);
    else if (!entry.isEmpty() && folder_exists(join_path(media_folder, entry)))
        media_folder = join_path(media_folder, entry);
    state_.current_page = 1;
    MultiMedia_do_1(KeyAscii);
}

// "*" on a listing: the folder's media files become the play list.
void main_menu::play_media_folder() {
    key_entry.clear();
    Label1.setText(kSearching);
    Label1.repaint();
    if (media_files.front().isEmpty()) {
        Label1.setText("無檔可播!");
        return;
    }
    file_list = media_files;
    Label1.setText("播放中");
    state_.current_page = 1;
    Menu_Statu += "_2";
    int play_key = '*';
    MultiMedia_do_1_2(play_key);
}

QString main_menu::current_media_file() const {
    return join_path(media_folder, file_list.at(state_.current_page - 1));
}

void main_menu::MultiMedia_do_1_2(int& KeyAscii) {
    player_busy = true;
    Label3.clear();
    const int last = static_cast<int>(file_list.size()) - 1;
    if (KeyAscii == '*')
        start_current_media();
    else if (KeyAscii == '+' && state_.current_page - 1 < last)
        step_media(+1);
    else if (KeyAscii == '-' && state_.current_page > 1)
        step_media(-1);
    player_busy = false;

    const bool playing = wmpMain->play_state() == play_state::playing;
    if (KeyAscii == '0') {
        leave_media_playing(KeyAscii);
    } else if (KeyAscii == '/') {
        if (music_mode() && playing) {
            stop_and_close();
            Label1.setText("停止");
        }
    } else if (KeyAscii == '5' && playing) {
        wmpMain->set_volume(std::min(100, wmpMain->volume() + 10));
    } else if (KeyAscii == '4' && playing) {
        wmpMain->set_volume(std::max(0, wmpMain->volume() - 10));
    } else {
        show_play_status();
    }
}

void main_menu::start_current_media() {
    if (music_mode()) {
        if (wmpMain->play_state() == play_state::playing) return;
        wmpMain->set_url("file://" + current_media_file());
        wmpMain->play();
    } else {
        Picture1.clear();
        show_picture_or_movie();
    }
}

// "+" and "-": whatever plays is dropped and the neighbouring file starts.
void main_menu::step_media(int step) {
    wmpMain->set_url(QString());
    state_.current_page += step;
    if (music_mode()) {
        wmpMain->set_url("file://" + current_media_file());
        wmpMain->play();
    } else {
        Picture1.clear();
        show_picture_or_movie();
    }
}

void main_menu::show_picture_or_movie() {
    if (is_movie_ext(state_, file_list.at(state_.current_page - 1))) {
        if (wmpMain->play_state() == play_state::playing) return;
        wmpMain->set_visible(true);
        wmpMain->video_surface()->raise();  // over the text area
        wmpMain->set_url("file://" + current_media_file());
        wmpMain->play();
        return;
    }
    // The video area of a movie shown before would hide the picture.
    wmpMain->set_visible(false);
    LoadObjPIC();
    if (!loaded_picture.isNull())
        Picture1.draw_picture(loaded_picture, QRectF(1, 1, picture_width, picture_height));
}

// Scales the picture to fill the text area's width or height, whichever
// it reaches first, keeping its proportions.
void main_menu::LoadObjPIC() {
    loaded_picture = load_picture(current_media_file());
    picture_width = 0;
    picture_height = 0;
    if (loaded_picture.isNull()) return;  // no picture Qt can read: nothing is drawn
    const double area_width = Picture1.scale_width();
    const double area_height = Picture1.scale_height();
    const double scale = std::min(area_width / loaded_picture.width(), area_height / loaded_picture.height());
    picture_width = qRound(loaded_picture.width() * scale);
    picture_height = qRound(loaded_picture.height() * scale);
}

QString main_menu::play_count_text() const {
    return "播放\n" + QString::number(state_.current_page) + "/" + QString::number(file_list.size());
}

void main_menu::show_play_status() {
    if (music_mode())
        showMusicPlayControl();
    else
        Label1.setText(play_count_text());
    Label3.setText("檔名:\n" + base_name(current_media_file()));
}

void main_menu::showMusicPlayControl() {
    Label1.setText(play_count_text());
    const int current = state_.current_page - 1;
    const bool first = current == 0;
    const bool last = current == file_list.size() - 1;
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
void main_menu::leave_media_playing(int& KeyAscii) {
    stop_and_close();
    state_.current_page = 1;
    Menu_Statu = Menu_Statu.left(3);
    Picture1.clear();
    wmpMain->set_visible(false);
    wmpMain->set_url(QString());
    MultiMedia_do_1(KeyAscii);
}

// Every three seconds on the music screen: when nothing plays (the file
// ended or was stopped), the next file starts, after the last the first.
void main_menu::Timer2_Timer() {
    if (Menu_Statu != "8_1_2" || player_busy || wmpMain->play_state() == play_state::playing) return;
    if (state_.current_page < file_list.size())
        ++state_.current_page;
    else if (!file_list.front().isEmpty())
        state_.current_page = 1;
    else
        return;
    player_busy = true;
    wmpMain->set_url("file://" + current_media_file());
    wmpMain->play();
    show_play_status();
    player_busy = false;
}
