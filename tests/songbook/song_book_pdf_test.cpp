#include "songbook/songbook.h"
#include "songbook_fixture.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <map>

namespace {

const QString kAskTwoSided = "請問您是否要印成雙面?";
const QString kNoPrinter = "找不到預設印表機, 要把目錄存成 PDF 檔嗎?";

constexpr double kPointsPerCm = 72 / 2.54;

// The words of a PDF's first page with their boxes in points, as pdftotext
// finds them (the first box of each word).
std::map<QString, QRectF> words_on_first_page(const QString& path) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", path, "-"});
    pdftotext.waitForFinished(60'000);
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::map<QString, QRectF> words;
    for (const QRegularExpressionMatch& found : word.globalMatch(html)) {
        const QPointF top_left(found.captured(1).toDouble(), found.captured(2).toDouble());
        const QPointF bottom_right(found.captured(3).toDouble(), found.captured(4).toDouble());
        words.try_emplace(found.captured(5), QRectF(top_left, bottom_right));
    }
    return words;
}

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

TEST_F(SongBookPdf, PagesAreA4WithTextsAtTheirCentimetresIn24PointKai) {
    add_songs(1, 3, 2);
    dialogs.answer_no();
    dialogs.answer_yes();
    dialogs.choose_file(folder.file("book.pdf"));
    print_whole_song_book(*state, nullptr);

    const std::map<QString, QRectF> words = words_on_first_page(folder.file("book.pdf"));
    const auto expect_at = [&](const QString& text, double x_cm, double y_cm) {
        ASSERT_TRUE(words.count(text)) << text.toStdString();
        EXPECT_NEAR(words.at(text).left(), x_cm * kPointsPerCm, 0.2) << text.toStdString();
        EXPECT_NEAR(words.at(text).top(), y_cm * kPointsPerCm, 0.2) << text.toStdString();
    };
    expect_at("國語--", 1.5, 1);
    expect_at("第", 15, 1);
    expect_at("歌曲名稱", 1.6, 2.3);
    expect_at("編號", 12.4, 2.3);
    expect_at("演唱者", 16, 2.3);
    expect_at("歌01", 1.6, 3.45);
    expect_at("103002", 12.4, 4.6);
    // Four Chinese characters of 24 points.
    EXPECT_NEAR(words.at("歌曲名稱").width(), 4 * 24, 0.5);

    QProcess pdfinfo;
    pdfinfo.start("pdfinfo", {folder.file("book.pdf")});
    pdfinfo.waitForFinished(60'000);
    EXPECT_TRUE(QString::fromUtf8(pdfinfo.readAllStandardOutput()).contains("(A4)"));
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

TEST_F(SongBookPdf, APdfThatCannotBeWrittenIsToldAndLogged) {
    add_songs(1, 3, 3);
    dialogs.answer_no();
    dialogs.answer_yes();
    dialogs.choose_file(folder.file("no such folder/book.pdf"));
    const LogLines log;
    print_whole_song_book(*state, nullptr);
    ASSERT_EQ(dialogs.shown().size(), 4u);
    EXPECT_EQ(dialogs.shown()[3].kind, "notice");
    EXPECT_TRUE(dialogs.shown()[3].text.contains("book.pdf"));
    EXPECT_EQ(log.of("karaoke.songbook"), QStringList{"song book not finished: " + dialogs.shown()[3].text});
}

}  // namespace
