#include "foundation/catalogue.h"
#include "songbook/song_book.h"
#include "songbook/songbook.h"
#include "songbook_fixture.h"
#include "support/test_catalogue.h"

#include <QFile>

#include <cmath>

namespace {

const QString kAskTwoSided = "請問您是否要印成雙面?";
const QString kOddPagesFirst = "開始處理列印, 按下\"確定\"按鍵, 將會開始印第 1,3,5,7,9....頁";
const QString kTurnThePaper =
    "單數頁資料處理完畢, 等印表機把單數頁印完後, 請將紙反過來, 將會印第 2,4,6,8,10....頁, 請注意您紙張的排列";
const QString kNoPrinter = "找不到預設印表機, 要把目錄存成 PDF 檔嗎?";

bool near(double a, double b) {
    return std::abs(a - b) < 0.01;
}

// One row of a printed table: song name, number and singer.
struct Row {
    QString name;
    QString num;
    QString singer;
    double top;  // twips
};

// The rows of a page in the order printed, the heading row first.
std::vector<Row> rows_of(const PrintedPage& page) {
    std::vector<Row> rows;
    for (const PrintedText& text : page.texts) {
        if (near(text.top_left.x(), 907.2)) rows.push_back({text.text, {}, {}, text.top_left.y()});
        if (rows.empty() || !near(text.top_left.y(), rows.back().top)) continue;
        if (near(text.top_left.x(), 7030.8)) rows.back().num = text.text;
        if (near(text.top_left.x(), 9072)) rows.back().singer = text.text;
    }
    return rows;
}

QString title_of(const PrintedPage& page) {
    return page.text_at({850.5, 567});
}

QString number_of(const PrintedPage& page) {
    return page.text_at({8505, 567});
}

QStringList numbers_of(const std::vector<PrintedPage>& pages) {
    QStringList numbers;
    for (const PrintedPage& page : pages) numbers << number_of(page);
    return numbers;
}

int songs_on(const PrintedPage& page) {
    return int(rows_of(page).size()) - 1;
}

class PrintedSongBook : public SongBookTest {
protected:
    explicit PrintedSongBook(CatalogueStore store = CatalogueStore::File) : SongBookTest(store) {}

    // Prints the whole catalogue one-sided and returns the only job.
    const PrintJob& print_whole_one_sided() {
        dialogs.answer_no();
        print_whole_song_book(*state, nullptr);
        EXPECT_EQ(printing.jobs.size(), 1u);
        EXPECT_TRUE(dialogs.script_used_up());
        static const PrintJob none;
        return printing.jobs.empty() ? none : printing.jobs.front();
    }
    void print_new_one_sided(const QString& date, const QString& keyword) {
        dialogs.answer_no();
        print_new_songs(*state, nullptr, date, keyword, false);
    }
};

// What the book holds and in which order, as the catalogue gives it: on the
// file and on the server.
class PrintedSongBookOnEveryStore : public PrintedSongBook,
                                    public ::testing::WithParamInterface<CatalogueStore> {
protected:
    PrintedSongBookOnEveryStore() : PrintedSongBook(GetParam()) {}
};

TEST_F(PrintedSongBook, TheTableIsRuledWithBarsAtItsCentimetrePositions) {
    std::unique_ptr<PageSurface> device = printing.open_default_printer();
    song_book::paint_table(*device);
    const std::vector<QRectF>& bars = printing.jobs.at(0).pages.at(0).boxes;
    ASSERT_EQ(bars.size(), 22u * 5 + 1);

    const auto has_bar = [&](double left, double top, double right, double bottom) {
        return std::any_of(bars.begin(), bars.end(), [&](const QRectF& bar) {
            return near(bar.left(), left) && near(bar.top(), top) && near(bar.right(), right) &&
                   near(bar.bottom(), bottom);
        });
    };
    // Row 1: its top rule, both edges and both column rules.
    EXPECT_TRUE(has_bar(737.1, 1219.05, 10943.1, 1247.4));
    EXPECT_TRUE(has_bar(737.1, 1219.05, 765.45, 1871.1));
    EXPECT_TRUE(has_bar(10943.1, 1219.05, 10971.45, 1899.45));
    EXPECT_TRUE(has_bar(6860.7, 1219.05, 6889.05, 1871.1));
    EXPECT_TRUE(has_bar(8901.9, 1219.05, 8930.25, 1871.1));
    // The bottom rule under row 22.
    EXPECT_TRUE(has_bar(737.1, (1.15 * 23 + 1) * 567, 10943.1, (1.15 * 23 + 1.05) * 567));
    for (const QRectF& bar : bars) EXPECT_LE(bar.bottom(), 27.5 * 567 + 0.01);
}

TEST_F(PrintedSongBook, RowsStandInTheirColumnsBelowEachRowsTopRule) {
    std::unique_ptr<PageSurface> device = printing.open_default_printer();
    song_book::print_data(*device, 1, "歌曲名稱", "編號", "演唱者");
    song_book::print_data(*device, 22, "月亮代表我的心", "107001", "鄧麗君");
    const PrintedPage& page = printing.jobs.at(0).pages.at(0);
    EXPECT_EQ(page.text_at({907.2, (1.15 + 1.15) * 567}), "歌曲名稱");
    EXPECT_EQ(page.text_at({7030.8, (1.15 + 1.15) * 567}), "編號");
    EXPECT_EQ(page.text_at({9072, (1.15 + 1.15) * 567}), "演唱者");
    const std::vector<Row> rows = rows_of(page);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(near(rows[1].top, (22 * 1.15 + 1.15) * 567));
    EXPECT_EQ(rows[1].num, "107001");
    EXPECT_EQ(rows[1].singer, "鄧麗君");
}

TEST_F(PrintedSongBook, TextsTooWideForTheirColumnsArePrintedSmallerInsideThem) {
    const int band = add_test_singer(*state, "五月天樂團");
    add_song("117001", 1, "我的未來不是夢我的未來不是夢啦啦", band);
    add_song("102001", 1, "朋友", singer);
    const PrintJob& job = print_whole_one_sided();
    ASSERT_EQ(job.pages.size(), 2u);

    const auto text_named = [](const PrintedPage& page, const QString& text) {
        for (const PrintedText& printed : page.texts)
            if (printed.text == text) return printed;
        return PrintedText{};
    };
    const auto right_end = [](const PrintedText& text) {
        return text.top_left.x() + FakePrinting::width_of(text.text, text.font.size);
    };
    const PrintedText title = text_named(job.pages[1], "我的未來不是夢我的未來不是夢啦啦");
    EXPECT_LT(title.font.size, 24);
    EXPECT_LE(right_end(title), 12.1 * 567);
    EXPECT_GT(right_end(title), 11.9 * 567);
    const PrintedText name = text_named(job.pages[1], "五月天樂團");
    EXPECT_LT(name.font.size, 24);
    EXPECT_LE(right_end(name), 19.3 * 567);
    EXPECT_EQ(text_named(job.pages[1], "117001").font.size, 24);
    EXPECT_EQ(text_named(job.pages[0], "朋友").font.size, 24);
    EXPECT_EQ(text_named(job.pages[0], "江蕙").font.size, 24);
}

TEST_P(PrintedSongBookOnEveryStore, ALengthFillsPagesOf21SongsAndTheNextLengthStartsANewPage) {
    add_songs(1, 3, 30);
    add_songs(1, 4, 2);
    const PrintJob& job = print_whole_one_sided();

    EXPECT_EQ(dialogs.texts(), QStringList{kAskTwoSided});
    ASSERT_EQ(job.pages.size(), 3u);
    EXPECT_TRUE(job.ended);
    EXPECT_EQ(numbers_of(job.pages), (QStringList{"第 1頁", "第 2頁", "第 3頁"}));
    EXPECT_EQ(title_of(job.pages[0]), "國語-- 3字部");
    EXPECT_EQ(title_of(job.pages[1]), "國語-- 3字部");
    EXPECT_EQ(title_of(job.pages[2]), "國語-- 4字部");
    EXPECT_EQ(songs_on(job.pages[0]), 21);
    EXPECT_EQ(songs_on(job.pages[1]), 9);
    EXPECT_EQ(songs_on(job.pages[2]), 2);

    for (const PrintedPage& page : job.pages) {
        const Row heading = rows_of(page).front();
        EXPECT_EQ(heading.name + heading.num + heading.singer, "歌曲名稱編號演唱者");
        EXPECT_EQ(page.boxes.size(), 111u);
        EXPECT_EQ(page.texts.front().font, (FontSpec{"標楷體", 24}));
    }
    const std::vector<Row> second = rows_of(job.pages[1]);
    EXPECT_EQ(second[1].name, "歌22");
    EXPECT_EQ(second[1].num, "103022");
    EXPECT_EQ(second[1].singer, "江蕙");
    EXPECT_EQ(second.back().name, "歌30");
}

TEST_P(PrintedSongBookOnEveryStore, TitlesOverTenCharactersShareOneSectionPerKindAcrossPages) {
    add_songs(1, 11, 10);
    add_songs(1, 12, 10);
    add_songs(1, 15, 10);
    add_songs(0, 11, 1, "思");
    add_songs(2, 2, 1, "山");
    const PrintJob& job = print_whole_one_sided();

    ASSERT_EQ(job.pages.size(), 4u);
    EXPECT_EQ(title_of(job.pages[0]), "台語-- 多字部");
    EXPECT_EQ(title_of(job.pages[1]), "國語-- 多字部");
    EXPECT_EQ(title_of(job.pages[2]), "國語-- 多字部");
    EXPECT_EQ(title_of(job.pages[3]), "客語-- 2字部");
    EXPECT_EQ(songs_on(job.pages[1]), 21);
    EXPECT_EQ(songs_on(job.pages[2]), 9);
    EXPECT_EQ(rows_of(job.pages[2]).back().name.size(), 15);
}

TEST_P(PrintedSongBookOnEveryStore, ASongWhoseSingerIsGoneShowsSingerNotFound) {
    add_song("102001", 1, "再見", singer + 100);
    const PrintJob& job = print_whole_one_sided();
    ASSERT_EQ(job.pages.size(), 1u);
    EXPECT_EQ(rows_of(job.pages[0]).at(1).singer, "找不到");
}

TEST_F(PrintedSongBook, TwoSidedPrintsOddPagesThenAsksToTurnThePaperThenEvenPages) {
    add_songs(1, 4, 5 * 21 - 3);
    size_t jobs_when_told_to_turn = 99;
    dialogs.answer_yes();
    dialogs.while_next_box([] {});  // the two-sided question
    dialogs.while_next_box([&] { EXPECT_TRUE(printing.jobs.empty()); });
    dialogs.while_next_box([&] {
        jobs_when_told_to_turn = printing.jobs.size();
        EXPECT_TRUE(!printing.jobs.empty() && printing.jobs.front().ended);
    });
    print_whole_song_book(*state, nullptr);

    EXPECT_EQ(dialogs.texts(), (QStringList{kAskTwoSided, kOddPagesFirst, kTurnThePaper}));
    EXPECT_EQ(jobs_when_told_to_turn, 1u);
    ASSERT_EQ(printing.jobs.size(), 2u);
    EXPECT_EQ(numbers_of(printing.jobs[0].pages), (QStringList{"第 1頁", "第 3頁", "第 5頁"}));
    EXPECT_EQ(numbers_of(printing.jobs[1].pages), (QStringList{"第 2頁", "第 4頁"}));
    EXPECT_TRUE(printing.jobs[1].ended);
    // The even pages carry the songs they carry in a one-sided book.
    EXPECT_EQ(rows_of(printing.jobs[1].pages[0]).at(1).name, "歌022");
    EXPECT_EQ(songs_on(printing.jobs[0].pages[2]), 18);
}

TEST_F(PrintedSongBook, TwoSidedBookWithAnEvenPageCountLeavesNoBlankSheet) {
    add_songs(1, 2, 4);
    add_songs(1, 3, 4);
    add_songs(1, 4, 4);
    add_songs(1, 5, 4);
    dialogs.answer_yes();
    print_whole_song_book(*state, nullptr);
    ASSERT_EQ(printing.jobs.size(), 2u);
    EXPECT_EQ(numbers_of(printing.jobs[0].pages), (QStringList{"第 1頁", "第 3頁"}));
    EXPECT_EQ(numbers_of(printing.jobs[1].pages), (QStringList{"第 2頁", "第 4頁"}));
    EXPECT_EQ(title_of(printing.jobs[1].pages[1]), "國語-- 5字部");
}

TEST_F(PrintedSongBook, CancelAtTheTwoSidedQuestionPrintsNothing) {
    add_songs(1, 3, 5);
    dialogs.answer(Dialogs::Answer::Cancel);
    print_whole_song_book(*state, nullptr);
    dialogs.answer(Dialogs::Answer::Cancel);
    print_new_songs(*state, nullptr, "2024/01/01", "", false);
    EXPECT_EQ(dialogs.texts(), (QStringList{kAskTwoSided, kAskTwoSided}));
    EXPECT_TRUE(printing.jobs.empty());
}

TEST_P(PrintedSongBookOnEveryStore, AnEmptyCatalogueIsToldAndNothingPrinted) {
    dialogs.answer_no();
    print_whole_song_book(*state, nullptr);
    EXPECT_EQ(dialogs.texts(), (QStringList{kAskTwoSided, "沒有資料"}));
    EXPECT_TRUE(printing.jobs.empty());
}

TEST_P(PrintedSongBookOnEveryStore, NewSongsWithAKeywordAreOneSectionPerKindTitledWithTheKeyword) {
    add_songs(1, 2, 2, "愛");
    add_songs(1, 3, 2, "愛");
    add_songs(1, 3, 2, "心");
    add_songs(3, 4, 1, "愛");
    add_songs(1, 4, 3, "愛", "2024/04/30");
    print_new_one_sided("2024/5/1", "  愛 ");

    ASSERT_EQ(printing.jobs.size(), 1u);
    const std::vector<PrintedPage>& pages = printing.jobs[0].pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(title_of(pages[0]), "精選國語愛歌曲");
    EXPECT_EQ(songs_on(pages[0]), 4);
    EXPECT_EQ(title_of(pages[1]), "精選英語愛歌曲");
    EXPECT_EQ(number_of(pages[1]), "第 2頁");
    EXPECT_EQ(songs_on(pages[1]), 1);
}

TEST_P(PrintedSongBookOnEveryStore, NewSongsWithoutAKeywordAreTitledNewWithATrailingBlank) {
    add_songs(1, 3, 25, "心");
    add_songs(1, 3, 2, "愛", "2024/04/30");
    print_new_one_sided("2024-05-01", " ");

    ASSERT_EQ(printing.jobs.size(), 1u);
    const std::vector<PrintedPage>& pages = printing.jobs[0].pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(title_of(pages[0]), "新進國語歌曲 ");
    EXPECT_EQ(title_of(pages[1]), "新進國語歌曲 ");
    EXPECT_EQ(songs_on(pages[0]) + songs_on(pages[1]), 25);
}

TEST_P(PrintedSongBookOnEveryStore, AKeywordWithAQuoteIsSearchedLiterally) {
    add_song("309001", 3, "Don't cry", singer);
    add_song("304001", 3, "Dont", singer);
    print_new_one_sided("2024/05/01", "n't");

    EXPECT_EQ(dialogs.texts(), QStringList{kAskTwoSided});
    ASSERT_EQ(printing.jobs.size(), 1u);
    const std::vector<Row> rows = rows_of(printing.jobs[0].pages.at(0));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].name, "Don't cry");
    EXPECT_EQ(title_of(printing.jobs[0].pages[0]), "精選英語n't歌曲");
}

// "%" and "_" are no wildcards in a keyword: each finds only the titles that
// hold it. Titles with quotes, backslashes and dashes come back as stored.
TEST_P(PrintedSongBookOnEveryStore, KeywordsWithWildcardsBackslashesAndQuotesMatchOnlyThemselves) {
    const QStringList titles{"100%", "a_b", "C:\\歌", "It\\'s", "-- no", "plain"};
    for (int i = 0; i < titles.size(); ++i) add_song(QString::number(304001 + i), 3, titles[i], singer);
    const auto found_with = [this](const QString& keyword) {
        dialogs.clear();
        printing.jobs.clear();
        print_new_one_sided("2024/05/01", keyword);
        QStringList found;
        for (const PrintJob& job : printing.jobs) {
            for (const PrintedPage& page : job.pages) {
                const std::vector<Row> rows = rows_of(page);
                for (size_t r = 1; r < rows.size(); ++r) found << rows[r].name;  // below the heading
            }
        }
        return found;
    };
    EXPECT_EQ(found_with("%"), QStringList{"100%"});
    EXPECT_EQ(found_with("_"), QStringList{"a_b"});
    EXPECT_EQ(found_with("\\"), (QStringList{"C:\\歌", "It\\'s"}));
    EXPECT_EQ(found_with("\\'"), QStringList{"It\\'s"});
    EXPECT_EQ(found_with("--"), QStringList{"-- no"});
    EXPECT_TRUE(found_with("%_%").isEmpty());
    EXPECT_EQ(dialogs.texts(), QStringList{"沒有2024/05/01以後 or 有關\"%_%\"的相關資料"});
}

TEST_F(PrintedSongBook, AnInvalidDateIsTheOnlyThingSaid) {
    add_songs(1, 3, 5);
    for (const char* date : {"2024/13/01", "昨天", "", "2024/02/30"}) {
        dialogs.clear();
        print_new_songs(*state, nullptr, date, "", false);
        print_new_songs(*state, nullptr, date, "", true);
        EXPECT_EQ(dialogs.texts(), (QStringList{"請指定好起始列印的日期", "請指定好起始列印的日期"})) << date;
    }
    EXPECT_TRUE(printing.jobs.empty());
}

TEST_P(PrintedSongBookOnEveryStore, NoNewSongsAreToldWithTheDateAndKeywordAndNothingIsAsked) {
    add_songs(1, 3, 5);
    print_new_songs(*state, nullptr, "2024/6/1", " 愛 ", false);
    print_new_songs(*state, nullptr, "2024/05/02", "it's", false);
    EXPECT_EQ(dialogs.texts(), (QStringList{"沒有2024/6/1以後 or 有關\"愛\"的相關資料",
                                            "沒有2024/05/02以後 or 有關\"it's\"的相關資料"}));
    EXPECT_TRUE(printing.jobs.empty());
}

TEST_F(PrintedSongBook, ACatalogueErrorIsToldInANotice) {
    QFile::remove(state->db_path);
    close_kept_connection();
    dialogs.answer_no();
    print_whole_song_book(*state, nullptr);
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[1].kind, "notice");
    EXPECT_FALSE(dialogs.shown()[1].text.isEmpty());
    EXPECT_TRUE(printing.jobs.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryStore, PrintedSongBookOnEveryStore, every_store(), store_name);

}  // namespace
