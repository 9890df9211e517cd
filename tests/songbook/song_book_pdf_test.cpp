#include "songbook/songbook.h"
#include "songbook_fixture.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kAskTwoSided = "請問您是否要印成雙面?";
const QString kNoPrinter = "找不到預設印表機, 要把目錄存成 PDF 檔嗎?";

class SongBookPdf : public SongBookTest {
protected:
    SongBookPdf() { printing.printer_present = false; }

    QStringList files_written() const { return QDir(folder.path()).entryList({"*.pdf"}, QDir::Files); }
};

TEST_F(SongBookPdf, WithoutAPrinterDecliningThePdfPrintsNothing) {
    add_songs(1, 3, 3);
    dialogs.answer_no();
    dialogs.answer_no();
    print_whole_song_book(*state, nullptr);
    EXPECT_EQ(dialogs.texts(), (QStringList{kAskTwoSided, kNoPrinter}));
    EXPECT_EQ(dialogs.shown()[1].kind, "yes_no");

    dialogs.clear();
    dialogs.answer_no();
    dialogs.answer_yes();
    dialogs.choose_file("");
    print_new_songs(*state, nullptr, "2024/01/01", "", false);
    EXPECT_EQ(dialogs.texts(), (QStringList{kAskTwoSided, kNoPrinter, "儲存 PDF 檔"}));
    EXPECT_TRUE(files_written().isEmpty());
    EXPECT_TRUE(printing.jobs.empty());
}

TEST_F(SongBookPdf, APdfHoldsTheWholeBookInPageOrderWhateverTheTwoSidedAnswer) {
    add_songs(1, 3, 30);
    add_songs(1, 4, 2);
    dialogs.answer_yes();
    dialogs.answer_yes();
    dialogs.choose_file(folder.file("book"));
    print_whole_song_book(*state, nullptr);

    EXPECT_EQ(dialogs.texts(), (QStringList{kAskTwoSided, kNoPrinter, "儲存 PDF 檔"}));
    const ScriptedDialogs::Shown& save = dialogs.shown()[2];
    EXPECT_EQ(save.preset, "Vocari_Karaoke" + QDate::currentDate().toString("yyyyMMdd") + ".pdf");
    EXPECT_EQ(save.filters, QStringList{"PDF Files(*.pdf)"});
    ASSERT_EQ(files_written(), QStringList{"book.pdf"});

    const QStringList pages = pdf_pages(folder.file("book.pdf"));
    ASSERT_EQ(pages.size(), 3);
    for (const char* expected :
         {"國語-- 3字部", "第 1頁", "歌曲名稱", "編號", "演唱者", "歌01", "103001", "江蕙"})
        EXPECT_TRUE(pages[0].contains(QString(expected))) << expected;
    EXPECT_TRUE(pages[0].contains("歌21"));
    EXPECT_FALSE(pages[0].contains("歌22"));
    EXPECT_TRUE(pages[1].contains("第 2頁"));
    EXPECT_TRUE(pages[1].contains("歌22"));
    EXPECT_TRUE(pages[1].contains("歌30"));
    EXPECT_TRUE(pages[2].contains("國語-- 4字部"));
    EXPECT_TRUE(pages[2].contains("第 3頁"));
    EXPECT_TRUE(pages[2].contains("104031"));
}

TEST_F(SongBookPdf, NewSongsGoToThePdfUnderTheKeywordTitles) {
    add_songs(1, 3, 3, "愛");
    add_songs(5, 3, 2, "愛");
    add_songs(1, 3, 3, "心");
    dialogs.answer_no();
    dialogs.answer_yes();
    dialogs.choose_file(folder.file("new.PDF"));
    print_new_songs(*state, nullptr, "2024/05/01", "愛", false);

    const QStringList pages = pdf_pages(folder.file("new.PDF"));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("精選國語愛歌曲"));
    EXPECT_TRUE(pages[0].contains("愛03"));
    EXPECT_FALSE(pages[0].contains("心01"));
    EXPECT_TRUE(pages[1].contains("精選兒歌愛歌曲"));
}

TEST_F(SongBookPdf, APdfThatCannotBeWrittenIsTold) {
    add_songs(1, 3, 3);
    dialogs.answer_no();
    dialogs.answer_yes();
    dialogs.choose_file(folder.file("no such folder/book.pdf"));
    print_whole_song_book(*state, nullptr);
    ASSERT_EQ(dialogs.shown().size(), 4u);
    EXPECT_EQ(dialogs.shown()[3].kind, "notice");
    EXPECT_TRUE(dialogs.shown()[3].text.contains("book.pdf"));
}

}  // namespace
