#pragma once

#include "foundation/catalogue.h"
#include "ordering/main_menu.h"
#include "support/fake_media_player.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

inline const QStringList kMainMenuLines{"   主目錄",  "1.字數點歌", "2.歌星點歌", "3.曲目編號點歌",
                                        "4.刪除點歌", "5.插播",     "6.開始唱歌", "7.錄音檔",
                                        "8.多媒體",   "0.關機"};

// The main menu on a fresh state in a temporary program folder, with fake
// media players and a program end and power-off that only count.
class MainMenuTest : public ::testing::Test {
protected:
    MainMenuTest() {
        state->platform.make_media_player = players.factory();
        state->platform.end_program = [this] { ++program_ends; };
        state->platform.request_power_off = [this] { ++power_off_requests; };
        prepare_catalogue(state->db_path);
    }

    // Builds the window the way the splash does, on the state's screen size.
    main_menu& open_menu() {
        menu = std::make_unique<main_menu>(*state);
        menu->Form_Activate();
        return *menu;
    }

    // Adds songs 1000001.. named 歌1, 歌2, ... by one singer.
    void add_songs(int count) {
        const int singer = add_test_singer(*state, "江蕙");
        for (int i = 1; i <= count; ++i)
            add_test_song(*state, QString::number(1000000 + i), 1, "歌" + QString::number(i), singer);
    }

    // Keys as the keypad sends them: digits, operators, "E" for Enter.
    void press(const QString& keys) {
        for (QChar key : keys) menu->Picture1_KeyPress(key == 'E' ? 13 : key.unicode());
    }

    QStringList screen() const { return menu->Picture1.lines(); }
    QString label1() const { return menu->Label1.text(); }
    // Where the line showing `text` was printed, in twips.
    QPointF position_of(const QString& text) const {
        for (const auto& item : menu->Picture1.texts())
            if (item.text == text) return item.top_left;
        ADD_FAILURE() << "not on screen: " << text.toStdString();
        return {};
    }
    // The menu's own player, wmpMain.
    FakeMediaPlayer& wmp() const { return *players.last(); }

    void write_settings(const QString& lines) {
        QFile file(folder.file("Setting.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines.toUtf8());
    }

    // A folder (and its parents) inside the temporary folder; its path.
    QString make_folder(const QString& name) {
        QDir().mkpath(folder.file(name));
        return folder.file(name);
    }
    // Media the fake player never decodes: any bytes will do.
    static void write_file(const QString& path, const QByteArray& bytes = "not decoded") {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
    }
    static void save_picture(const QString& path, int width, int height, const char* format) {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(path, format)) << path.toStdString();
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    FakeMediaPlayers players;
    std::unique_ptr<main_menu> menu;
    int program_ends = 0;
    int power_off_requests = 0;
};
