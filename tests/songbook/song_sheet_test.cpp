#include "songbook/songbook.h"
#include "songbook_fixture.h"
#include "support/test_catalogue.h"

#include <QDate>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include <map>
#include <utility>

namespace {

const QString kToday = QDate::currentDate().toString("yyyy/MM/dd");

// A worksheet as a spreadsheet reader sees it (see readers/).
struct ReadSheet {
    QJsonObject whole;
    std::map<std::pair<int, int>, QJsonObject> cells;

    QString value(int row, int column) const { return cell(row, column)["value"].toString(); }
    QJsonObject cell(int row, int column) const {
        const auto found = cells.find({row, column});
        return found == cells.end() ? QJsonObject() : found->second;
    }
    std::vector<int> borders(int row, int column) const {
        std::vector<int> lines;
        for (const QJsonValue line : cell(row, column)["borders"].toArray()) lines.push_back(line.toInt());
        return lines;
    }
    QStringList row(int row) const { return {value(row, 0), value(row, 1), value(row, 2)}; }
    std::vector<int> breaks() const {
        std::vector<int> rows;
        for (const QJsonValue row : whole["breaks"].toArray()) rows.push_back(row.toInt());
        return rows;
    }
    QJsonObject setup() const { return whole["setup"].toObject(); }
};

ReadSheet read_sheet(const QString& path) {
    ReadSheet sheet{read_spreadsheet(path), {}};
    for (const QJsonValue cell : sheet.whole["cells"].toArray()) {
        const QJsonObject fields = cell.toObject();
        sheet.cells[{fields["row"].toInt(), fields["col"].toInt()}] = fields;
    }
    return sheet;
}

class SongSheet : public SongBookTest {
protected:
    explicit SongSheet(CatalogueStore store = CatalogueStore::File) : SongBookTest(store) {}

    // Exports the new songs from the date into the file chosen.
    void export_to(const QString& file, const QString& date = "2024/05/01", const QString& keyword = "") {
        dialogs.choose_file(file.isEmpty() ? QString() : folder.file(file));
        print_new_songs(*state, nullptr, date, keyword, true);
    }
    QStringList files_written() const {
        return QDir(folder.path()).entryList({"*.xls", "*.xlsx"}, QDir::Files);
    }
};

// Which songs the sheet holds, as the catalogue gives them: on the file and
// on the server.
class SongSheetOnEveryStore : public SongSheet, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    SongSheetOnEveryStore() : SongSheet(GetParam()) {}
};

// What every exported sheet has, in either format.
void expect_song_book_layout(const ReadSheet& sheet, int blocks) {
    EXPECT_EQ(sheet.whole["nrows"].toInt(), blocks * 21);
    EXPECT_EQ(sheet.whole["ncols"].toInt(), 3);
    for (const auto& [place, cell] : sheet.cells) {
        EXPECT_EQ(cell["font"].toString(), "標楷體");
        EXPECT_EQ(cell["height"].toInt(), 43 * 20);
        EXPECT_EQ(cell["shrink"].toInt(), 1);
        EXPECT_EQ(cell["wrap"].toInt(), 0);
    }
    const QJsonObject widths = sheet.whole["widths"].toObject();
    // 25.5, 81.63 and 39.13 characters, stored in 1/256 of a character
    // with the cell padding Excel adds to the width it shows.
    EXPECT_EQ(widths["0"].toInt(), 6729);
    EXPECT_EQ(widths["1"].toInt(), 21065);
    EXPECT_EQ(widths["2"].toInt(), 10203);
    const QJsonObject heights = sheet.whole["heights"].toObject();
    EXPECT_EQ(heights.size(), blocks * 21);
    for (const QJsonValue height : heights) EXPECT_EQ(height.toInt(), 51 * 20);

    for (int k = 0; k < blocks; ++k) {
        const int top = 21 * k;
        EXPECT_EQ(sheet.row(top), (QStringList{"編號", "歌曲名稱", "演唱者"}));
        // Medium outline, thin lines inside: left, right, top, bottom.
        EXPECT_EQ(sheet.borders(top, 0), (std::vector<int>{2, 1, 2, 1}));
        EXPECT_EQ(sheet.borders(top, 1), (std::vector<int>{1, 1, 2, 1}));
        EXPECT_EQ(sheet.borders(top + 10, 1), (std::vector<int>{1, 1, 1, 1}));
        EXPECT_EQ(sheet.borders(top + 10, 2), (std::vector<int>{1, 2, 1, 1}));
        EXPECT_EQ(sheet.borders(top + 20, 2), (std::vector<int>{1, 2, 1, 2}));
    }
    const QJsonObject setup = sheet.setup();
    EXPECT_EQ(setup["header"].toString(), "&R列印日期 : " + kToday);
    EXPECT_EQ(setup["footer"].toString(), "&C第 &P 頁，共 &N 頁");
    EXPECT_EQ(setup["hcenter"].toInt(), 1);
    EXPECT_EQ(setup["vcenter"].toInt(), 0);
    EXPECT_EQ(setup["scale"].toInt(), 70);
    EXPECT_EQ(setup["paper"].toInt(), 9);
}

TEST_F(SongSheet, TwentySongsFillRowsOneTo21WithoutAPageBreak) {
    add_songs(1, 3, 20);
    export_to("songs.xls");

    ASSERT_EQ(dialogs.shown().size(), 1u);
    const ScriptedDialogs::Shown& save = dialogs.shown()[0];
    EXPECT_EQ(save.kind, "save_file");
    EXPECT_EQ(save.text, "另存新檔");
    EXPECT_EQ(save.preset, "Vocari_Karaoke" + QDate::currentDate().toString("yyyyMMdd") + ".xls");
    EXPECT_EQ(save.filters, QStringList{"Excel Files(*.xls)"});

    const ReadSheet sheet = read_sheet(folder.file("songs.xls"));
    expect_song_book_layout(sheet, 1);
    EXPECT_EQ(sheet.row(1), (QStringList{"103001", "歌01", "江蕙"}));
    EXPECT_EQ(sheet.row(20), (QStringList{"103020", "歌20", "江蕙"}));
    EXPECT_TRUE(sheet.breaks().empty());
    EXPECT_EQ(sheet.whole["sheet"].toString(), "工作表1");
}

TEST_F(SongSheet, The21stSongStartsTheSecondBlockAfterItsHeadingOnANewPage) {
    add_songs(1, 3, 21);
    export_to("songs");

    ASSERT_EQ(files_written(), QStringList{"songs.xls"});
    const ReadSheet sheet = read_sheet(folder.file("songs.xls"));
    expect_song_book_layout(sheet, 2);
    EXPECT_EQ(sheet.row(21), (QStringList{"編號", "歌曲名稱", "演唱者"}));
    EXPECT_EQ(sheet.row(22), (QStringList{"103021", "歌21", "江蕙"}));
    EXPECT_EQ(sheet.row(23), (QStringList{"", "", ""}));
    EXPECT_EQ(sheet.breaks(), std::vector<int>{21});
}

TEST_F(SongSheet, WithItsSettingTheCurrentFormatIsOfferedAndHoldsTheSameSheet) {
    add_songs(1, 3, 45);
    export_to("songs.xlsx");
    ASSERT_EQ(files_written(), QStringList{"songs.xlsx.xls"});  // not offered: the old format, named so

    state->settings.ExportXlsx = 1;
    QFile::remove(folder.file("songs.xlsx.xls"));
    export_to("songs.xlsx");
    EXPECT_EQ(dialogs.shown().back().filters, (QStringList{"Excel Files(*.xls)", "Excel 2007 (*.xlsx)"}));

    ASSERT_EQ(files_written(), QStringList{"songs.xlsx"});
    const ReadSheet sheet = read_sheet(folder.file("songs.xlsx"));
    expect_song_book_layout(sheet, 3);
    EXPECT_EQ(sheet.row(43), (QStringList{"103041", "歌41", "江蕙"}));
    EXPECT_EQ(sheet.breaks(), (std::vector<int>{21, 42}));
}

TEST_P(SongSheetOnEveryStore, AllSingersOfASongAreJoinedWithPlusAndTheSongIsListedOnce) {
    const int second = add_test_singer(*state, "張學友");
    add_song("102001", 1, "吻別", second);
    add_song("102001", 1, "吻別", singer);
    add_song("002001", 0, "家後", singer);
    export_to("duet.xls");

    const ReadSheet sheet = read_sheet(folder.file("duet.xls"));
    // A leading zero of a number stays: the number is kept as text.
    EXPECT_EQ(sheet.row(1), (QStringList{"002001", "家後", "江蕙"}));
    EXPECT_EQ(sheet.row(2), (QStringList{"102001", "吻別", "江蕙+張學友"}));
    EXPECT_EQ(sheet.row(3), (QStringList{"", "", ""}));
}

TEST_P(SongSheetOnEveryStore, AnEmptyKeywordExportsEverySongFromTheDateAndAKeywordChooses) {
    add_songs(1, 3, 3, "愛");
    add_songs(2, 3, 2, "心");
    add_songs(1, 3, 2, "舊", "2024/04/30");
    export_to("all.xls", "2024/5/1", "  ");
    export_to("love.xls", "2024/5/1", "愛");

    const ReadSheet all = read_sheet(folder.file("all.xls"));
    QStringList titles;
    for (int row = 1; row <= 20; ++row)
        if (!all.value(row, 1).isEmpty()) titles << all.value(row, 1);
    EXPECT_EQ(titles, (QStringList{"愛01", "愛02", "愛03", "心01", "心02"}));
    const ReadSheet love = read_sheet(folder.file("love.xls"));
    EXPECT_EQ(love.value(3, 1), "愛03");
    EXPECT_EQ(love.value(4, 1), "");
}

TEST_F(SongSheet, CancellingTheSaveDialogWritesNothing) {
    add_songs(1, 3, 2);
    export_to("");
    EXPECT_EQ(dialogs.texts(), QStringList{"另存新檔"});
    EXPECT_TRUE(files_written().isEmpty());
}

TEST_P(SongSheetOnEveryStore, NoNewSongsAreToldAndNoFileIsAskedFor) {
    add_songs(1, 3, 2, "歌", "2024/04/30");
    print_new_songs(*state, nullptr, "2024/05/01", "愛", true);
    EXPECT_EQ(dialogs.texts(), QStringList{"沒有2024/05/01以後 or 有關\"愛\"的相關資料"});
}

TEST_F(SongSheet, AFileThatCannotBeWrittenIsToldAndLogged) {
    add_songs(1, 3, 2);
    const LogLines log;
    export_to("no such folder/songs.xls");
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[1].kind, "notice");
    EXPECT_TRUE(dialogs.shown()[1].text.contains("songs.xls"));
    EXPECT_EQ(log.of("karaoke.songbook"), QStringList{"song book not finished: " + dialogs.shown()[1].text});
}

TEST_F(SongSheet, ManyStringsSpanContinuedRecordsAndStillReadBack) {
    add_songs(1, 15, 1500, "長長長長長長長長長");
    export_to("many.xls");
    const ReadSheet sheet = read_sheet(folder.file("many.xls"));
    EXPECT_EQ(sheet.whole["nrows"].toInt(), 75 * 21);
    EXPECT_EQ(sheet.row(1).at(1), "長長長長長長長長長000001");
    EXPECT_EQ(sheet.row(75 * 21 - 1).at(1), "長長長長長長長長長001500");
    EXPECT_EQ(sheet.breaks().size(), 74u);
}

// LibreOffice, when installed, prints the sheet one block a page with the
// header and footer filled in.
TEST_F(SongSheet, LibreOfficePrintsOneBlockAPage) {
    const QString office = QStandardPaths::findExecutable("soffice");
    if (office.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
    add_songs(1, 3, 45);
    export_to("songs.xls");

    QProcess convert;
    convert.setWorkingDirectory(folder.path());
    convert.start(office, {"-env:UserInstallation=file://" + folder.file("profile"), "--headless",
                           "--convert-to", "pdf", "--outdir", folder.path(), folder.file("songs.xls")});
    ASSERT_TRUE(convert.waitForFinished(180'000));
    const QStringList pages = pdf_pages(folder.file("songs.pdf"));
    ASSERT_EQ(pages.size(), 3);
    for (int page = 0; page < 3; ++page) {
        EXPECT_TRUE(pages[page].contains("列印日期 : " + kToday)) << page;
        EXPECT_TRUE(pages[page].contains(QString("第 %1 頁，共 3 頁").arg(page + 1)))
            << pages[page].toStdString();
        EXPECT_TRUE(pages[page].contains("編號")) << page;
    }
    EXPECT_TRUE(pages[0].contains("103020"));
    EXPECT_TRUE(pages[1].contains("103021"));
    EXPECT_TRUE(pages[1].contains("103040"));
    EXPECT_TRUE(pages[2].contains("103045"));
}

INSTANTIATE_TEST_SUITE_P(EveryStore, SongSheetOnEveryStore, every_store(), store_name);

}  // namespace
