#include "main_menu_fixture.h"

namespace {

const QStringList kMultimediaLines{"請輸入多媒體功能",   "1.音樂欣賞", "2.圖片觀賞",
                                   "3.影片欣賞(施工中)", "",           "9.上一目錄"};
const QString kFooter = "     第 1 頁 音樂檔瀏覽";
const QString kBackLine = " \"0\" 回主目錄 ";

class MultimediaTest : public MainMenuTest {
protected:
    MultimediaTest() {
        open_menu();
        state->settings.pathMusic = make_folder("music");
        state->settings.pathPicture = make_folder("pictures");
        state->settings.pathCDROM = folder.file("cdrom");
    }

    QString music(const QString& name) const { return state->settings.pathMusic + "/" + name; }
    // The eight rows of the folder page on screen.
    QStringList rows() const { return screen().mid(0, 8); }
    static QStringList rows_of(const QStringList& entries) {
        QStringList rows;
        for (int i = 0; i < 8; ++i)
            rows << (i < entries.size() && !entries.at(i).isEmpty()
                         ? QString("%1.   %2").arg(i + 1).arg(entries.at(i))
                         : QString("%1.").arg(i + 1));
        return rows;
    }
    QList<PictureBox::PictureItem> pictures() const {
        const auto items = menu->Picture1.items_of<PictureBox::PictureItem>();
        return {items.begin(), items.end()};
    }
};

TEST_F(MultimediaTest, MenuChoosesMusicOrPicturesAndThreeSwallowsTheNextKey) {
    press("8");
    EXPECT_EQ(menu->screen_name(), "8");
    EXPECT_EQ(screen(), kMultimediaLines);
    press("3");
    EXPECT_EQ(screen(), kMultimediaLines);
    press("1");  // "31" chooses nothing
    EXPECT_EQ(menu->screen_name(), "8");
    press("1");
    EXPECT_EQ(menu->screen_name(), "8_1");
    press("0E");
    EXPECT_EQ(screen(), kMultimediaLines);
    EXPECT_EQ(menu->keypad.number_mul.text(), "*");
    EXPECT_EQ(menu->keypad.number_key[0].text(), "0");
    press("2");
    EXPECT_EQ(menu->screen_name(), "8_2");
    press("0E9");
    EXPECT_EQ(screen(), kMainMenuLines);
}

TEST_F(MultimediaTest, MusicFolderListsTheDriveSubfoldersAndMusicFilesSorted) {
    for (const char* name : {"pop", "Enka", "pop/deep"}) make_folder("music/" + QString::fromUtf8(name));
    for (const char* name : {"z.mp3", "A.MP3", "b.mid", "notes.txt", "a.mp3.txt", "pop/x.wav"})
        write_file(music(QString::fromUtf8(name)));
    press("81");
    EXPECT_EQ(rows(), rows_of({"光碟機", "<目錄>Enka", "<目錄>pop", "A.MP3", "b.mid", "z.mp3"}));
    EXPECT_EQ(screen().mid(8), QStringList({kFooter, kBackLine}));
    EXPECT_EQ(menu->keypad.number_mul.text(), "播放");
    EXPECT_EQ(menu->keypad.number_div.text(), "停止");
    EXPECT_EQ(menu->keypad.number_key[0].text(), "離開");
    EXPECT_EQ(menu->keypad.number_dot.text(), "C");
    EXPECT_EQ(label1(), "");

    press("3E");
    EXPECT_EQ(rows(), rows_of({"光碟機", "上一層目錄", "<目錄>deep", "x.wav"}));
    press("5E");  // a file row only reads the folder again
    EXPECT_EQ(rows(), rows_of({"光碟機", "上一層目錄", "<目錄>deep", "x.wav"}));
    press("3E");
    EXPECT_EQ(rows(), rows_of({"光碟機", "上一層目錄", ""}));  // no music here
    press("2E2E");
    EXPECT_EQ(rows().at(1), "2.   <目錄>Enka");
    EXPECT_EQ(label1(), "");
}

TEST_F(MultimediaTest, TheDriveRootLeadsBackToTheModesRoot) {
    make_folder("cdrom/disc");
    write_file(folder.file("cdrom/track1.mp3"));
    press("81");
    press("1E");
    EXPECT_EQ(rows(), rows_of({"上一層目錄", "<目錄>disc", "track1.mp3"}));
    press("2E");
    EXPECT_EQ(rows(), rows_of({"上一層目錄", ""}));
    press("1E");  // parent of a folder on the disc: the disc's root
    EXPECT_EQ(rows().at(0), "1.   上一層目錄");
    EXPECT_EQ(rows().at(1), "2.   <目錄>disc");
    press("1E");
    EXPECT_EQ(rows(), rows_of({"光碟機"}));
}

TEST_F(MultimediaTest, FoldersThatCannotBeReadListNothing) {
    state->settings.pathMusic = folder.file("no such folder");
    press("81");
    EXPECT_EQ(rows(), rows_of({"光碟機"}));
    press("*");
    EXPECT_EQ(label1(), "無檔可播!");
    EXPECT_EQ(menu->screen_name(), "8_1");
    press("1E");  // a drive without a disc
    EXPECT_EQ(rows(), rows_of({"上一層目錄", ""}));
    EXPECT_EQ(screen().mid(8), QStringList({kFooter, kBackLine}));
}

TEST_F(MultimediaTest, FolderPagesTurnWithinOneToFiveHundred) {
    for (int i = 1; i <= 9; ++i) write_file(music(QString("song%1.mp3").arg(i)));
    press("81+");
    EXPECT_EQ(rows(), rows_of({"song8.mp3", "song9.mp3"}));
    EXPECT_EQ(screen().at(8), "     第 2 頁 音樂檔瀏覽");
    press("--");
    EXPECT_EQ(state->current_page, 1);
    EXPECT_EQ(rows().at(0), "1.   光碟機");
}

class MusicTest : public MultimediaTest {
protected:
    MusicTest() {
        for (const char* name : {"c.mp3", "a.mp3", "b.mp3"}) write_file(music(name));
        press("81*");
    }
    QString url(const QString& name) const { return "file://" + music(name); }
};

TEST_F(MusicTest, StarShowsTheControlScreenAndPlaysTheFirstFile) {
    EXPECT_EQ(menu->screen_name(), "8_1_2");
    EXPECT_EQ(wmp().played_urls, QStringList({url("a.mp3")}));
    EXPECT_EQ(screen(), QStringList({"*:播放", "/:暫停", "-:上一首 -> 無上一首", "+:下一首 -> b.mp3",
                                     "4:小聲", "5:大聲", "0:離開", "", "目前播放 : ", "a.mp3"}));
    EXPECT_EQ(label1(), "播放\n1/3");
    EXPECT_EQ(menu->Label3.text(), "檔名:\na");

    press("+");
    EXPECT_EQ(wmp().played_urls.last(), url("b.mp3"));
    EXPECT_EQ(screen().at(2), "-:上一首 -> a.mp3");
    EXPECT_EQ(screen().at(3), "+:下一首 -> c.mp3");
    press("+");
    EXPECT_EQ(screen().at(3), "+:下一首 -> 無下一首");
    EXPECT_EQ(label1(), "播放\n3/3");
    EXPECT_EQ(menu->Label3.text(), "檔名:\nc");
    press("+");  // the last file: only the status
    EXPECT_EQ(wmp().played_urls.size(), 3);
    press("-");
    EXPECT_EQ(wmp().played_urls.last(), url("b.mp3"));
    press("*");  // already playing
    EXPECT_EQ(wmp().played_urls.size(), 4);
}

TEST_F(MusicTest, AfterAStopTheTimerPlaysTheNextFileAndAfterTheLastTheFirst) {
    press("/");
    EXPECT_EQ(label1(), "停止");
    EXPECT_EQ(wmp().play_state(), play_state::undefined);
    menu->Timer2_Timer();
    EXPECT_EQ(wmp().played_urls.last(), url("b.mp3"));
    EXPECT_EQ(screen().at(9), "b.mp3");
    EXPECT_EQ(menu->Label3.text(), "檔名:\nb");
    menu->Timer2_Timer();  // still playing
    EXPECT_EQ(wmp().played_urls.size(), 2);

    press("+");
    wmp().finish_song();  // c.mp3 ends by itself
    state->clock.wait_seconds(4);
    EXPECT_EQ(wmp().played_urls.last(), url("a.mp3"));
    EXPECT_EQ(state->current_page, 1);
    EXPECT_EQ(label1(), "播放\n1/3");
}

TEST_F(MusicTest, VolumeStepsByTenWhilePlaying) {
    EXPECT_EQ(wmp().volume(), 50);
    press("555555");
    EXPECT_EQ(wmp().volume(), 100);
    press("4");
    EXPECT_EQ(wmp().volume(), 90);
    press("/4");
    EXPECT_EQ(wmp().volume(), 90);  // nothing plays
    EXPECT_EQ(label1(), "播放\n1/3");
}

TEST_F(MusicTest, ZeroStopsAndReturnsToTheFolder) {
    press("0");
    EXPECT_EQ(wmp().play_state(), play_state::undefined);
    EXPECT_EQ(wmp().url(), "");
    EXPECT_EQ(menu->screen_name(), "8_1");
    EXPECT_EQ(rows(), rows_of({"光碟機", "a.mp3", "b.mp3", "c.mp3"}));
    menu->Timer2_Timer();  // no advance off the music screen
    EXPECT_EQ(wmp().played_urls.size(), 1);
}

class PicturesTest : public MultimediaTest {
protected:
    PicturesTest() {
        const QString root = state->settings.pathPicture + "/";
        write_file(root + "clip.AVI");
        save_picture(root + "tall.jpg", 100, 400, "JPG");
        save_picture(root + "wide.BMP", 400, 100, "BMP");
        write_file(root + "readme.txt");
        press("82");
    }
};

TEST_F(PicturesTest, ShowsMoviesOverTheTextAreaAndPicturesScaledToFit) {
    EXPECT_EQ(rows(), rows_of({"光碟機", "clip.AVI", "tall.jpg", "wide.BMP"}));
    press("*");
    EXPECT_EQ(menu->screen_name(), "8_2_2");
    EXPECT_TRUE(wmp().is_visible());
    EXPECT_EQ(wmp().geometry(), menu->Picture1.geometry());
    EXPECT_EQ(wmp().played_urls, QStringList({"file://" + state->settings.pathPicture + "/clip.AVI"}));

    const double width = menu->Picture1.scale_width();
    const double height = menu->Picture1.scale_height();
    press("+");
    EXPECT_FALSE(wmp().is_visible());
    EXPECT_EQ(wmp().play_state(), play_state::undefined);
    ASSERT_EQ(pictures().size(), 1);
    EXPECT_EQ(pictures().at(0).target, QRectF(1, 1, qRound(height / 4), height));  // fills the height
    EXPECT_EQ(label1(), "播放\n2/3");
    EXPECT_EQ(menu->Label3.text(), "檔名:\ntall");

    press("+");
    ASSERT_EQ(pictures().size(), 1);
    EXPECT_EQ(pictures().at(0).target, QRectF(1, 1, width, qRound(width / 4)));  // fills the width
    EXPECT_TRUE(screen().isEmpty());                                             // no music control screen
    press("/");
    menu->Timer2_Timer();
    EXPECT_EQ(wmp().played_urls.size(), 1);

    press("0");
    EXPECT_EQ(menu->screen_name(), "8_2");
    EXPECT_TRUE(pictures().isEmpty());
    EXPECT_EQ(rows().at(3), "4.   wide.BMP");
}

TEST_F(PicturesTest, APictureThatCannotBeReadDrawsNothing) {
    write_file(state->settings.pathPicture + "/broken.jpg", "not a picture");
    press("0E2*");  // broken.jpg comes first
    EXPECT_EQ(label1(), "播放\n1/4");
    EXPECT_TRUE(pictures().isEmpty());
}

}  // namespace
