#include "platform/printing.h"
#include "songbook_fixture.h"

namespace {

using PrinterSurfaceTest = SongBookTest;

// The printer's two-sided books are two jobs on one device: drawing after
// the end of a document starts the next one.
TEST_F(PrinterSurfaceTest, DrawingAfterTheEndOfADocumentStartsTheNextOne) {
    SystemPrinting system;
    std::unique_ptr<PageSurface> device = system.open_pdf_file(folder.file("jobs.pdf"));
    device->set_font({"標楷體", 24});
    device->print("單數頁");
    device->new_page();
    device->print("第三頁");
    device->end_document();
    EXPECT_EQ(pdf_pages(folder.file("jobs.pdf")).size(), 2);

    device->print("雙數頁");
    device->end_document();
    const QStringList pages = pdf_pages(folder.file("jobs.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("雙數頁"));
}

TEST_F(PrinterSurfaceTest, MeasuresAreInTwipsOfTheFontOnPaper) {
    SystemPrinting system;
    std::unique_ptr<PageSurface> device = system.open_pdf_file(folder.file("measure.pdf"));
    device->set_font({"標楷體", 24});
    // A Chinese character of 24 points is 24 points (480 twips) wide.
    EXPECT_NEAR(device->text_width("歌曲"), 2 * 480, 5);
    EXPECT_GE(device->text_height("歌"), 480);
    EXPECT_NEAR(device->scale_width(), 21 / 2.54 * 1440, 5);
    EXPECT_NEAR(device->scale_height(), 29.7 / 2.54 * 1440, 5);
    device->print("歌");
    EXPECT_NEAR(device->current_y(), device->text_height("歌"), 0.01);
    device->end_document();
}

}  // namespace
