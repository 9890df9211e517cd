// The phones' search on both stores: what it finds, that it sees what other
// rooms and windows store meanwhile, and that it keeps out of the windows'
// transactions.

#include "remote/song_search.h"

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "support/every_store.h"
#include "support/test_support.h"

#include <QDate>

#include <chrono>
#include <future>

namespace {

class SongSearchOnEveryStore : public ::testing::TestWithParam<CatalogueStore> {
protected:
    SongSearchOnEveryStore()
        : server_missing_(GetParam() == CatalogueStore::Server && !use_catalogue_server(*state)) {
        prepare_catalogue(state->db_path);
    }
    ~SongSearchOnEveryStore() override { close_kept_connection(); }

    void SetUp() override {
        if (server_missing_) GTEST_SKIP() << "no PostgreSQL server for the tests";
        singer = add_singer_named("江蕙");
        add_song_row(session(), "102001", "酒後的心聲", singer);
        add_song_row(session(), "102002", "家後", singer);
    }

    CatalogueSession& session() { return shared_session(state->db_path); }

    int add_singer_named(const QString& name) {
        add_singer(session(), name, 0);
        return singers_named(session(), name).FieldInt("singer_code");
    }

    static void add_song_row(CatalogueSession& on, const QString& num, const QString& title,
                             int singer_code) {
        add_song(on, {.num = num,
                      .kind = 1,
                      .name = title,
                      .text_count = int(title.size()),
                      .singer_code = singer_code,
                      .build_date = "2024/05/01",
                      .location = "/songs/" + num + ".mpg"});
    }

    QStringList numbers(const QString& query) {
        QStringList found;
        for (const FoundSong& song : search.search(state->db_path, query, kAnyKind, 1).songs)
            found << song.num;
        return found;
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    bool server_missing_ = false;
    SongSearch search;
    int singer = 0;
};

TEST_P(SongSearchOnEveryStore, FindsByTitleSingerAndNumberInNumberOrderWithADuetOnce) {
    add_song_row(session(), "102003", "你是我的花朵", add_singer_named("伍佰"));
    add_song_row(session(), "102003", "你是我的花朵", singer);
    EXPECT_EQ(numbers("後"), QStringList({"102001", "102002"}));
    EXPECT_EQ(numbers("1020"), QStringList({"102001", "102002", "102003"}));
    const std::vector<FoundSong> duet = search.search(state->db_path, "花", kAnyKind, 1).songs;
    ASSERT_EQ(duet.size(), 1u);
    EXPECT_EQ(duet[0].singers, "伍佰+江蕙");  // in the order the rows were stored
}

TEST_P(SongSearchOnEveryStore, ASongStoredOrDeletedThroughAnotherSessionShowsInTheNextSearch) {
    EXPECT_TRUE(numbers("新歌").isEmpty());
    // Another room: a connection of its own.
    const std::unique_ptr<CatalogueSession> other_room = own_session(state->db_path);
    add_song_row(*other_room, "105001", "一首新歌", singer);
    EXPECT_EQ(numbers("新歌"), QStringList({"105001"}));
    delete_songs_numbered(*other_room, "102001");
    EXPECT_EQ(numbers("後"), QStringList({"102002"}));
}

TEST_P(SongSearchOnEveryStore, TitlesWithQuotesBackslashesAndWildcardsAreFoundExactly) {
    const QStringList titles = {"It's", "C:\\歌", "100%", "a_b", "x\\'y", "-- no"};
    for (int i = 0; i < titles.size(); ++i)
        add_song_row(session(), QString::number(300001 + i), titles[i], singer);
    for (int i = 0; i < titles.size(); ++i) {
        const std::vector<FoundSong> found = search.search(state->db_path, titles[i], kAnyKind, 1).songs;
        ASSERT_EQ(found.size(), 1u) << titles[i].toStdString();
        EXPECT_EQ(found[0].title, titles[i]);
    }
}

// A registration holds its transaction on the windows' connection while the
// phones go on searching: the search neither waits for it nor ends it.
TEST_P(SongSearchOnEveryStore, ASearchWhileTheWindowsWriteNeitherWaitsNorRollsTheWriteBack) {
    EXPECT_EQ(numbers("後"), QStringList({"102001", "102002"}));  // read once before
    WriteTransaction registration(session());
    add_song_row(session(), "105001", "登記中的歌", singer);
    auto searched = std::async(std::launch::async, [this] {
        SongSearch phones;
        return phones.search(state->db_path, "歌", kAnyKind, 1).songs.size();
    });
    ASSERT_EQ(searched.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(searched.get(), 0u);  // what is not committed yet is not seen
    EXPECT_TRUE(numbers("登記中").isEmpty());
    EXPECT_EQ(numbers("後"), QStringList({"102001", "102002"}));
    registration.commit();
    EXPECT_EQ(songs_numbered(session(), "105001").RecordCount(), 1);
    EXPECT_EQ(numbers("登記中"), QStringList({"105001"}));
}

// A failed search may close its own connection; the windows' transaction
// goes on and commits.
TEST_P(SongSearchOnEveryStore, AFailedSearchLeavesTheWindowsTransactionOpen) {
    WriteTransaction registration(session());
    add_song_row(session(), "105001", "登記中的歌", singer);
    SongSearch elsewhere;
    const QString missing =
        GetParam() == CatalogueStore::File ? folder.file("gone/karaoke.db") : state->db_path + "_gone";
    EXPECT_THROW(elsewhere.search(missing, "歌", kAnyKind, 1), DatabaseError);
    registration.commit();
    EXPECT_EQ(numbers("登記中"), QStringList({"105001"}));
}

INSTANTIATE_TEST_SUITE_P(EveryStore, SongSearchOnEveryStore, every_store(), store_name);

}  // namespace
