// Several rooms of a venue on one catalogue server: each room is a state of
// its own, with its own connections, on the same database.
#include "foundation/lookups.h"
#include "foundation/song_orders.h"
#include "manager/song_add.h"
#include "manager/song_add_same.h"
#include "manager/song_numbers.h"
#include "support/manager_fixture.h"

#include <QComboBox>
#include <QSet>

#include <latch>
#include <thread>

namespace {

class Rooms : public ManagerTest {
protected:
    Rooms() : ManagerTest(CatalogueStore::Server) {
        other_room->db_path = state->db_path;
        other_room->platform.dialogs = &other_dialogs;
    }

    // Registers a song through a room's song window as its manager would.
    static void fill_in(Song_Add& window, int kind, const QString& title, const QString& singer,
                        const QString& file) {
        const auto pick = [](QComboBox& list, int index) {
            list.setCurrentIndex(index);
            emit list.activated(index);
        };
        pick(window.song_kind, kind);
        pick(window.song_text_count, title.size() - 1);
        window.song_name.setText(title);
        window.singer_name.setText(singer);
        window.song_location.setText(file);
    }

    TempFolder other_folder;
    std::unique_ptr<AppState> other_room = make_test_state(other_folder);
    ScriptedDialogs other_dialogs;
};

TEST_F(Rooms, ASongRegisteredInOneRoomIsOrderedInTheOther) {
    add_test_singer(*state, "鄧麗君");
    Song_Add manager(*state, nullptr);
    fill_in(manager, 1, "月亮代表我的心", "鄧麗君", media_file("月亮.mpg"));
    manager.add_do.click();
    ASSERT_EQ(dialogs.last_text(), "存入ok! 請進行下一首曲的建檔作業");

    EXPECT_EQ(add_song_to_queue(*other_room, "107001"), 0);
    EXPECT_EQ(other_room->play_queue.display_at(0), "月亮代表我的心--鄧麗君");
    EXPECT_EQ(other_room->play_queue.media_path_at(0), folder.file("月亮.mpg"));
}

TEST_F(Rooms, ANumberProposedInOneRoomAndTakenInAnotherIsReplacedWhenSaving) {
    add_test_singer(*state, "江蕙");
    Song_Add first(*state, nullptr);
    Song_Add second(*other_room, nullptr);
    fill_in(first, 0, "家後", "江蕙", media_file("家後.mpg"));
    fill_in(second, 0, "惜別", "江蕙", media_file("惜別.mpg"));
    EXPECT_EQ(first.song_code.text(), "002001");
    EXPECT_EQ(second.song_code.text(), "002001");  // both proposed before either saved

    second.add_do.click();
    first.add_do.click();

    EXPECT_EQ(first.song_code.text(), "002002");
    EXPECT_EQ(get_song_name(*state, "002001"), "惜別");
    EXPECT_EQ(get_song_name(*state, "002002"), "家後");
    EXPECT_EQ(count_of("SELECT * FROM song"), 2);
}

TEST_F(Rooms, ASimilarTitleSongWhoseNumberAnotherRoomTookIsStoredUnderTheNextFreeOne) {
    const int singer = add_test_singer(*state, "江蕙");
    add_song_of_length("002001", 0, "家後", 2, singer, media_file("家後.mpg"));
    song_add_same similar(*state, nullptr,
                          {"002002", singer, "家後", "家後", 2, 0, "2024/05/07", media_file("新家後.mpg")});
    Song_Add second(*other_room, nullptr);
    fill_in(second, 0, "惜別", "江蕙", media_file("惜別.mpg"));
    EXPECT_EQ(second.song_code.text(), "002002");  // proposed while the first room's window is up

    second.add_do.click();
    similar.new_add.click();

    EXPECT_EQ(dialogs.last_text(), "存入ok! 請進行下一首曲的建檔作業");
    EXPECT_EQ(similar.new_song_number(), "002003");
    EXPECT_EQ(get_song_name(*state, "002002"), "惜別");
    EXPECT_EQ(get_song_location(*state, "002003"), folder.file("新家後.mpg"));
    EXPECT_EQ(count_of("SELECT * FROM song"), 3);
}

TEST_F(Rooms, RoomsNumberingAtTheSameMomentNeverShareANumber) {
    const QString catalogue = state->db_path;
    std::latch both_connected(2);
    const auto register_songs = [&](int singer_code, QStringList* numbers) {
        prepare_catalogue(catalogue);  // this thread's own connection
        both_connected.arrive_and_wait();
        for (int i = 0; i < 150; ++i) {
            NumberingTransaction transaction(catalogue);
            const QString number = Get_NewSongNum(1, 3, catalogue);
            execute_sql(
                "insert into song(song_num,song_kind,song_name,song_text_count,song_singer_code) values('" +
                    number + "',1,'歌',3," + QString::number(singer_code) + ")",
                catalogue);
            transaction.commit();
            *numbers << number;
        }
    };
    QStringList first_room;
    QStringList second_room;
    std::thread first(register_songs, 1, &first_room);
    std::thread second(register_songs, 2, &second_room);
    first.join();
    second.join();

    const QStringList all = first_room + second_room;
    EXPECT_EQ(QSet<QString>(all.begin(), all.end()).size(), 300);
    EXPECT_EQ(open_recordset("SELECT count(DISTINCT song_num) AS n FROM song", catalogue).FieldInt("n"), 300);
    EXPECT_EQ(Get_NewSongNum(1, 3, catalogue), "103301");
}

}  // namespace
