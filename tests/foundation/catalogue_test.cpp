#include "foundation/catalogue.h"
#include "foundation/catalogue_operations.h"
#include "foundation/stroke_collation.h"
#include "foundation/lookups.h"
#include "support/postgres_server.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Runs a test's catalogue calls with one connection mode and leaves the
// default mode and no kept connection behind.
class ModeScope {
public:
    explicit ModeScope(ConnectionMode mode) { set_connection_mode(mode); }
    ~ModeScope() {
        set_connection_mode(ConnectionMode::KeptOpen);
        close_kept_connection();
    }
};

class CatalogueTest : public ::testing::Test {
protected:
    explicit CatalogueTest(ConnectionMode mode = ConnectionMode::KeptOpen, bool on_server = false)
        : mode_(mode), server_missing_(on_server && !use_catalogue_server(*state)) {
        prepare_catalogue(state->db_path);
    }
    void SetUp() override {
        if (server_missing_) GTEST_SKIP() << "no PostgreSQL server for the tests";
    }

    // The insert texts of manager mode.
    int add_singer(const QString& name, int sex = 0) { return add_test_singer(*state, name, sex); }
    void add_song(const QString& num, int kind, const QString& name, int singer_code,
                  const QString& location = "/songs/a.mpg") {
        add_test_song(*state, num, kind, name, singer_code, location);
    }
    int count(const QString& sql) { return open_recordset(sql, state->db_path).RecordCount(); }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);

private:
    ModeScope mode_;
    bool server_missing_;
};

// Runs the program's SQL through the standard sqlite3 shell.
QString run_shell(const QString& db_path, const QString& sql, int* exit_code) {
    QProcess shell;
    shell.start("sqlite3", {db_path, sql});
    shell.waitForFinished();
    *exit_code = shell.exitCode();
    return QString::fromUtf8(shell.readAllStandardOutput() + shell.readAllStandardError()).trimmed();
}

// The texts in the order of a Taiwanese song book (stroke count of the first
// differing character: 一乙 1, 丁七 2, 小 3, 月王 4, 你 7, 朋 8, 甜 11, 愛 13,
// 龍 16), as ICU's zh@collation=stroke gives it; digits come first, Latin
// letters after the Chinese characters.
const QStringList kStrokeOrder{"123",        "一剪梅",         "乙",       "丁香花",   "七里香", "小城故事",
                               "月半彎",     "月亮代表我的心", "王菲",     "你的眼神", "朋友",   "甜蜜蜜",
                               "愛拼才會贏", "龍的傳人",       "Yesterday"};

}  // namespace

TEST_F(CatalogueTest, FirstStartCreatesACatalogueThatTakesTheProgramsStatements) {
    EXPECT_TRUE(QFile::exists(state->db_path));
    EXPECT_EQ(add_singer("鄧麗君"), 1);  // the database assigns the codes
    EXPECT_EQ(add_singer("江蕙"), 2);
    add_song("105001", 1, "月亮代表我", 1);
    add_song("105001", 1, "月亮代表我", 2);  // one row per singer under one number
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '105001'"), 2);

    execute_sql("DELETE FROM singer WHERE singer_code = 2", state->db_path);
    prepare_catalogue(state->db_path);   // a second start keeps the data and stays silent
    EXPECT_EQ(add_singer("張學友"), 3);  // a deleted singer's code is never handed out again
    EXPECT_EQ(count("SELECT * FROM song"), 2);
    EXPECT_FALSE(QFile::exists(state->db_path + ".new"));
}

TEST_F(CatalogueTest, PreparationDropsAnImportedUniqueIndexOnTheSongNumber) {
    execute_sql("CREATE UNIQUE INDEX PrimaryKey ON song (song_num)", state->db_path);
    add_song("105001", 1, "月亮代表我", 1);
    EXPECT_THROW(add_song("105001", 1, "月亮代表我", 2), DatabaseError);

    prepare_catalogue(state->db_path);
    add_song("105001", 1, "月亮代表我", 2);
    EXPECT_EQ(count("SELECT * FROM song WHERE song_num = '105001'"), 2);
    EXPECT_NO_THROW(prepare_catalogue(state->db_path));
}

TEST_F(CatalogueTest, EveryLookupIsAnsweredFromAnIndex) {
    const QStringList lookups{
        "SELECT * FROM song WHERE song_num = '105001'",
        "SELECT * FROM song WHERE song_singer_code = 3 ORDER BY song_text_count, song_name COLLATE stroke",
        "SELECT * FROM song WHERE song_kind = 1 AND song_text_count = 5 ORDER BY song_name COLLATE stroke",
        "SELECT * FROM song WHERE song_kind = 1 AND song_text_count > 9"
        " ORDER BY song_text_count, song_name COLLATE stroke",
        "SELECT * FROM song WHERE song_location = '/songs/a.mpg'",
        "SELECT * FROM singer WHERE singer_code = 3",
        "SELECT * FROM singer WHERE singer_sex = 0 ORDER BY singer_name COLLATE stroke",
        "SELECT * FROM singer WHERE singer_name = '江蕙'",
        "SELECT * FROM song WHERE song_name LIKE '月亮%' ESCAPE '\\' AND song_text_count = 5",
        "SELECT * FROM song WHERE song_name LIKE 'Love%' ESCAPE '\\' AND song_text_count = 4",
        "SELECT DISTINCT song_name, song_num FROM song WHERE song_name LIKE '月亮%' ESCAPE '\\'",
        "SELECT song_num FROM song WHERE song_num LIKE '105%' ESCAPE '\\' ORDER BY song_num",
    };
    for (const QString& sql : lookups) {
        Recordset plan = open_recordset("EXPLAIN QUERY PLAN " + sql, state->db_path);
        for (; !plan.Eof(); plan.MoveNext()) {
            EXPECT_FALSE(plan.Field("detail").startsWith("SCAN") && !plan.Field("detail").contains("INDEX"))
                << sql.toStdString() << ": " << plan.Field("detail").toStdString();
        }
    }
}

TEST_F(CatalogueTest, AnOlderCatalogueGetsThePrefixIndexesAtTheNextStart) {
    execute_sql("DROP INDEX song_name_count_index", state->db_path);
    execute_sql("DROP INDEX song_num_like_index", state->db_path);
    prepare_catalogue(state->db_path);
    EXPECT_EQ(
        count(
            "SELECT name FROM sqlite_master WHERE name IN ('song_name_count_index', 'song_num_like_index')"),
        2);
}

TEST_F(CatalogueTest, TheSqliteShellCanInsertUpdateAndQueryTheCatalogue) {
    int exit_code = -1;
    run_shell(state->db_path,
              "INSERT INTO singer(singer_name, singer_sex) VALUES('伍佰', 1);"
              "INSERT INTO song VALUES('104001', 0, '挪威森林', 4, 1, '2024/05/01', '/songs/b.mpg');"
              "UPDATE song SET song_name = '浪人情歌' WHERE song_num = '104001';"
              "UPDATE singer SET singer_sex = 2 WHERE singer_code = 1;",
              &exit_code);
    EXPECT_EQ(exit_code, 0);
    EXPECT_EQ(run_shell(state->db_path, "SELECT song_name FROM song WHERE song_kind = 0", &exit_code),
              "浪人情歌");
    // No column declares a collation the shell lacks: it compares and sorts names.
    EXPECT_EQ(
        run_shell(state->db_path, "SELECT singer_code FROM singer WHERE singer_name = '伍佰'", &exit_code),
        "1");
    EXPECT_EQ(run_shell(state->db_path, "SELECT song_name FROM song ORDER BY song_name", &exit_code),
              "浪人情歌");
    EXPECT_EQ(exit_code, 0);
    EXPECT_EQ(get_song_name(*state, "104001"), "浪人情歌");
    EXPECT_EQ(get_singer_name(*state, 1), "伍佰");
}

// Earlier versions declared the stroke collation on the name columns, which
// the shell does not know. The next start makes the tables again without it.
TEST_F(CatalogueTest, ACatalogueOfAnEarlierVersionIsConvertedKeepingEveryRowAndCode) {
    const QString earlier = folder.file("earlier.db");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(earlier).constData(), &db), SQLITE_OK);
        register_stroke_collation(db);
        ASSERT_EQ(sqlite3_exec(db, R"sql(
            CREATE TABLE song (song_num TEXT, song_kind INTEGER, song_name TEXT COLLATE stroke,
                               song_text_count INTEGER, song_singer_code INTEGER, song_build_date TEXT,
                               song_location TEXT);
            CREATE TABLE singer (singer_code INTEGER PRIMARY KEY AUTOINCREMENT,
                                 singer_name TEXT COLLATE stroke, singer_sex INTEGER);
            INSERT INTO singer (singer_name, singer_sex) VALUES ('鄧麗君', 0), ('江蕙', 0), ('伍佰', 1);
            DELETE FROM singer WHERE singer_code = 3;
            INSERT INTO song VALUES ('105002', 1, '甜蜜蜜', 3, 1, '2024/05/01', '/songs/b.mpg');
            INSERT INTO song VALUES ('105001', 1, '小城故事', 4, 2, '2024/05/01', '/songs/a.mpg');
            INSERT INTO song VALUES ('105001', 1, '小城故事', 4, 1, '2024/05/01', '/songs/a.mpg');
        )sql",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    const LogLines log;
    prepare_catalogue(earlier);
    int exit_code = -1;
    EXPECT_EQ(
        run_shell(earlier, "SELECT rowid, song_num, song_singer_code FROM song ORDER BY song_name, rowid",
                  &exit_code),
        "2|105001|2\n3|105001|1\n1|105002|1");
    EXPECT_EQ(exit_code, 0);
    EXPECT_EQ(run_shell(earlier, "SELECT singer_code FROM singer WHERE singer_name = '江蕙'", &exit_code),
              "2");
    EXPECT_FALSE(run_shell(earlier, "SELECT sql FROM sqlite_master", &exit_code).contains("stroke"));
    state->db_path = earlier;
    ::add_singer(shared_session(earlier), "張學友", 1);
    EXPECT_EQ(get_singer_name(*state, 4), "張學友");  // code 3 went to a deleted singer
    EXPECT_EQ(get_song_name(*state, "105002"), "甜蜜蜜");
    prepare_catalogue(earlier);  // a second start finds nothing to convert
    EXPECT_EQ(get_song_name(*state, "105002"), "甜蜜蜜");
    EXPECT_EQ(log.of("karaoke.catalogue"), QStringList{});
}

TEST_F(CatalogueTest, FailuresCarrySqlitesMessageAndAreLoggedWithTheirStatement) {
    const LogLines log;
    try {
        open_recordset("SELEC * FROM song", state->db_path);
        FAIL() << "bad SQL was accepted";
    } catch (const DatabaseError& error) {
        EXPECT_STREQ(error.what(), "near \"SELEC\": syntax error");
    }

    state->db_path = folder.file("missing.db");
    try {
        get_song_name(*state, "105001");
        FAIL() << "a missing catalogue was accepted";
    } catch (const DatabaseError& error) {
        EXPECT_STREQ(error.what(), "unable to open database file");
    }
    EXPECT_THROW(execute_sql("DELETE FROM song", state->db_path), DatabaseError);
    EXPECT_FALSE(QFile::exists(state->db_path));  // looking up never makes an empty catalogue

    const QStringList lines = log.of("karaoke.catalogue");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "catalogue error: near \"SELEC\": syntax error | statement: SELEC * FROM song");
    EXPECT_TRUE(lines[1].startsWith("catalogue error: unable to open database file | statement: SELECT"));
    EXPECT_EQ(lines[2], "catalogue error: unable to open database file | statement: DELETE FROM song");
}

TEST_F(CatalogueTest, PreparingAPreparedCatalogueLogsNothing) {
    const LogLines log;
    prepare_catalogue(state->db_path);
    prepare_catalogue(state->db_path);
    EXPECT_EQ(log.of("karaoke.catalogue"), QStringList{});
}

TEST_F(CatalogueTest, ALockedCatalogueIsAnErrorUntilTheLockIsGone) {
    add_song("105001", 1, "月亮代表我", 1);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(state->db_path).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    try {
        get_song_name(*state, "105001");
        FAIL() << "read through an exclusive lock";
    } catch (const DatabaseError& error) {
        EXPECT_STREQ(error.what(), "database is locked");
    }
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(get_song_name(*state, "105001"), "月亮代表我");
}

TEST_F(CatalogueTest, LookupsLeaveNoLockBehindForOtherWriters) {
    add_song("105001", 1, "月亮代表我", add_singer("鄧麗君"));
    ASSERT_TRUE(load_songs_by_kind_count(*state, 1, 5));
    ASSERT_TRUE(load_singers_by_sex(*state, 0));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(state->db_path).constData(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
}

TEST_F(CatalogueTest, OnlyTheFirstOfSeveralStatementsWouldRunSoNoneRuns) {
    add_song("105001", 1, "月亮代表我", 1);
    EXPECT_THROW(execute_sql("DELETE FROM song WHERE song_num = '1'; DROP TABLE song", state->db_path),
                 DatabaseError);
    EXPECT_EQ(count("SELECT * FROM song"), 1);
    EXPECT_NO_THROW(execute_sql("DELETE FROM song WHERE song_num = '1'; ", state->db_path));
}

TEST_F(CatalogueTest, RecordsetHoldsEveryRowWithFieldsByName) {
    add_singer("江蕙", 0);
    add_singer("伍佰", 1);
    execute_sql("insert into singer(singer_name) values('無名')", state->db_path);
    Recordset rows = open_recordset("SELECT * FROM singer ORDER BY singer_code", state->db_path);
    ASSERT_EQ(rows.RecordCount(), 3);
    EXPECT_EQ(rows.Field("SINGER_NAME"), "江蕙");
    rows.MoveNext();
    EXPECT_EQ(rows.FieldInt("singer_sex"), 1);
    rows.MoveNext();
    EXPECT_EQ(rows.Field("singer_sex"), "");
    EXPECT_EQ(rows.FieldInt("singer_sex"), 0);
    EXPECT_THROW(rows.Field("singer_age"), DatabaseError);
    rows.MoveNext();
    EXPECT_TRUE(rows.Eof());
    EXPECT_THROW(rows.Field("singer_name"), DatabaseError);
    rows.MoveFirst();
    EXPECT_EQ(rows.FieldInt("singer_code"), 1);
}

TEST_F(CatalogueTest, ARecordsetMayHoldOnlyTheFirstRows) {
    for (const char* name : {"江蕙", "伍佰", "五月天"}) add_singer(name);
    const QString sql = "SELECT * FROM singer ORDER BY singer_code";
    Recordset first = open_recordset(sql, state->db_path, 2);
    ASSERT_EQ(first.RecordCount(), 2);
    first.MoveNext();
    EXPECT_EQ(first.Field("singer_name"), "伍佰");
    first.MoveNext();
    EXPECT_TRUE(first.Eof());
    EXPECT_EQ(open_recordset(sql, state->db_path, 5).RecordCount(), 3);
    EXPECT_EQ(open_recordset(sql, state->db_path, -1).RecordCount(), 3);
    EXPECT_EQ(open_recordset(sql, state->db_path, 0).RecordCount(), 0);
    // The statement left half read holds nothing: a writer comes next.
    add_singer("張惠妹");
    EXPECT_EQ(open_recordset(sql, state->db_path, 10).RecordCount(), 4);
}

TEST_F(CatalogueTest, AKeptConnectionFollowsTheFileAtItsPath) {
    add_song("105001", 1, "月亮代表我", 1);
    EXPECT_EQ(get_song_name(*state, "105001"), "月亮代表我");

    TempFolder other_folder;
    const QString other = other_folder.file("karaoke.db");
    prepare_catalogue(other);
    execute_sql("insert into song(song_num,song_name) values('105001','甜蜜蜜蜜蜜')", other);
    ASSERT_TRUE(QFile::remove(state->db_path));
    ASSERT_TRUE(QFile::rename(other, state->db_path));
    EXPECT_EQ(get_song_name(*state, "105001"), "甜蜜蜜蜜蜜");

    ASSERT_TRUE(QFile::remove(state->db_path));
    EXPECT_THROW(get_song_name(*state, "105001"), DatabaseError);
}

TEST(CatalogueTexts, ReplaceCharAndKindCodes) {
    EXPECT_EQ(replace_char("It's Rock'n'Roll", "'", "''"), "It''s Rock''n''Roll");
    EXPECT_EQ(replace_char("aab", "aa", "x"), "aab");  // a longer search text never matches
    EXPECT_EQ(replace_char("", "'", "''"), "");

    const QStringList names{"台語", "國語", "客語", "英語", "日語", "兒歌", "其它", "粵語"};
    for (int code = 0; code < names.size(); ++code) EXPECT_EQ(kind_code_of(names[code]), code);
    EXPECT_EQ(kind_code_of("國語 "), -1);
    EXPECT_EQ(kind_code_of(""), -1);
}

// The lookups give the same results whether the connection to the file is
// kept or not, and on the catalogue server.
enum class LookupStore { KeptOpen, PerCall, Server };

class Lookups : public CatalogueTest, public ::testing::WithParamInterface<LookupStore> {
protected:
    Lookups()
        : CatalogueTest(
              GetParam() == LookupStore::PerCall ? ConnectionMode::PerCall : ConnectionMode::KeptOpen,
              GetParam() == LookupStore::Server) {}
};

INSTANTIATE_TEST_SUITE_P(EveryStore, Lookups,
                         ::testing::Values(LookupStore::KeptOpen, LookupStore::PerCall, LookupStore::Server),
                         [](const auto& info) {
                             return std::string(info.param == LookupStore::KeptOpen  ? "KeptOpen"
                                                : info.param == LookupStore::PerCall ? "PerCall"
                                                                                     : "Server");
                         });

TEST_P(Lookups, QuotesInNumbersAndNamesAreFound) {
    const int singer = add_singer("Sinéad O'Connor", 0);
    add_song("3'1", 3, "Nothing Compares 2 U", singer, "/songs/o'connor.mpg");
    EXPECT_EQ(get_song_name(*state, "3'1"), "Nothing Compares 2 U");
    EXPECT_EQ(get_song_location(*state, "3'1"), "/songs/o'connor.mpg");
    EXPECT_EQ(get_singer_name(*state, singer), "Sinéad O'Connor");
}

TEST_P(Lookups, NotFoundTexts) {
    add_song("105001", 1, "月亮代表我", 1);
    EXPECT_EQ(get_song_name(*state, "999"), "找不到999");
    EXPECT_EQ(get_song_location(*state, "999"), "找不到999");
    EXPECT_EQ(get_song_name(*state, "105001 "), "找不到105001 ");  // numbers are used exactly as keyed
    EXPECT_EQ(get_singer_name(*state, 42), "找不到");
}

TEST_P(Lookups, KindAndCountListsByLengthAndStrokeOrder) {
    const int teresa = add_singer("鄧麗君");
    add_song("105002", 1, "龍的傳人們", teresa);
    add_song("105001", 1, "小城的故事", teresa);
    add_song("105003", 1, "甜蜜的笑容", 99);  // its singer is gone
    add_song("005001", 0, "愛拼才會贏", teresa);
    add_song("109001", 1, "一二三四五六七八九", teresa);
    add_song("112001", 1, "龍龍龍龍龍龍龍龍龍龍龍龍", teresa);
    add_song("110001", 1, "一一一一一一一一一一", teresa);
    add_song("115001", 1, "一一一一一一一一一一一一一一一", teresa);
    add_song("110002", 1, "乙乙乙乙乙乙乙乙乙乙", teresa);

    ASSERT_TRUE(load_songs_by_kind_count(*state, 1, 5));
    const auto& list = state->song_list;
    EXPECT_EQ(list[0], "105001");
    EXPECT_EQ(list[1501], "小城的故事--鄧麗君");
    EXPECT_EQ(list[1], "105003");
    EXPECT_EQ(list[1502], "甜蜜的笑容--找不到");
    EXPECT_EQ(list[2], "105002");
    EXPECT_EQ(list[3], "");

    ASSERT_TRUE(load_songs_by_kind_count(*state, 1, 12));  // every title of ten characters or more
    EXPECT_EQ(list[0], "110001");
    EXPECT_EQ(list[1], "110002");
    EXPECT_EQ(list[2], "112001");
    EXPECT_EQ(list[3], "115001");
    EXPECT_EQ(list[1504], "一一一一一一一一一一一一一一一--鄧麗君");
    EXPECT_EQ(list[4], "");
    EXPECT_EQ(list[1505], "");
}

TEST_P(Lookups, ListsKeepNothingOfAnEarlierLookup) {
    const int singer = add_singer("鄧麗君");
    add_singer("江蕙");
    add_song("103001", 1, "甜蜜蜜", singer);
    add_song("104001", 1, "小城故事", singer);
    ASSERT_TRUE(load_songs_by_singer(*state, singer));
    EXPECT_EQ(state->song_list[1501], "甜蜜蜜");  // shortest title first
    EXPECT_EQ(state->song_list[1502], "小城故事");

    EXPECT_FALSE(load_songs_by_kind_count(*state, 5, 3));
    for (const QString& slot : state->song_list) EXPECT_TRUE(slot.isEmpty());

    ASSERT_TRUE(load_singers_by_sex(*state, 0));
    ASSERT_TRUE(state->singer_list[1].size() > 0);
    execute_sql("UPDATE singer SET singer_sex = 1 WHERE singer_name = '江蕙'", state->db_path);
    ASSERT_TRUE(load_singers_by_sex(*state, 0));
    EXPECT_EQ(state->singer_list[0], QString::number(singer));
    EXPECT_EQ(state->singer_list[1], "");
    EXPECT_EQ(state->singer_list[1002], "");
    EXPECT_FALSE(load_singers_by_sex(*state, 2));
    for (const QString& slot : state->singer_list) EXPECT_TRUE(slot.isEmpty());
}

TEST_P(Lookups, ListsStopAtTheirSize) {
    // One statement each, which both stores take, in both connection modes.
    QStringList singers;
    for (int i = 1; i <= 1005; ++i) singers << QString("('歌手%1', 0)").arg(i, 4, 10, QChar('0'));
    execute_sql("INSERT INTO singer(singer_name, singer_sex) VALUES " + singers.join(','), state->db_path);
    QStringList songs;
    for (int i = 1; i <= 1503; ++i)
        songs << QString("('%1', 1, '歌%2', 5, 7)").arg(105000 + i).arg(i, 4, 10, QChar('0'));
    execute_sql(
        "INSERT INTO song(song_num, song_kind, song_name, song_text_count, song_singer_code) VALUES " +
            songs.join(','),
        state->db_path);

    ASSERT_TRUE(load_singers_by_sex(*state, 0));
    EXPECT_EQ(state->singer_list[1000], "1001");
    EXPECT_EQ(state->singer_list[2001], "歌手1001");

    ASSERT_TRUE(load_songs_by_kind_count(*state, 1, 5));
    EXPECT_EQ(state->song_list[1500], "106501");
    EXPECT_EQ(state->song_list[3001], "歌1501--歌手0007");
}

TEST_P(Lookups, NamesSortInStrokeOrderAndCompareExactly) {
    for (int i = kStrokeOrder.size() - 1; i >= 0; --i)
        add_singer(kStrokeOrder[(i * 7) % kStrokeOrder.size()], 2);
    ASSERT_TRUE(load_singers_by_sex(*state, 2));
    for (int i = 0; i < kStrokeOrder.size(); ++i) EXPECT_EQ(state->singer_list[1001 + i], kStrokeOrder[i]);

    // ICU ranks a zero-width space as nothing; "=" must still tell the names apart.
    add_singer(QString::fromUtf8("王\u200B菲"), 2);
    EXPECT_EQ(count("SELECT * FROM singer WHERE singer_name = '王菲'"), 1);
}
