#include "manager/batch_registe.h"
#include "manager/manager_menu.h"
#include "manager/reg_by_filename.h"
#include "manager/singer_modify.h"
#include "manager/song_add.h"
#include "manager/song_modify.h"
#include "ordering/main_menu.h"
#include "songbook/manager_song_statu.h"
#include "support/fake_printing.h"
#include "support/manager_fixture.h"
#include "widgets/manager_forms.h"

#include <QFile>

namespace {

class ManagerMenuTest : public ManagerTest {
protected:
    explicit ManagerMenuTest(CatalogueStore store = CatalogueStore::File) : ManagerTest(store) {}

    std::unique_ptr<manager_menu> open_manager() { return std::make_unique<manager_menu>(*state, nullptr); }

    // Whether pressing the button brought up a modal Window, which `close` then closed.
    template <class Window>
    static bool opens_modally(
        QPushButton& button, std::function<void(Window&)> close = [](Window& window) { window.reject(); }) {
        bool was_up = false;
        when_up<Window>([&](Window& window) {
            was_up = true;
            close(window);
        });
        button.click();
        return was_up;
    }

    // Rewrites one key of the settings file.
    void set_setting(const QString& key, const QString& value) const {
        QFile file(folder.file("Setting.ini"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(file.readAll()).split("\n");
        file.close();
        for (QString& line : lines)
            if (line.startsWith(key + " =")) line = key + " = " + value + "\r";
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(lines.join("\n").toUtf8());
    }
};

// What the menu's windows and printing read from the catalogue, on the file
// and on the server.
// The menu reads Setting.ini afresh when it opens, so the server is named
// there, as a venue's rooms name it.
class ManagerMenuOnEveryStore : public ManagerMenuTest, public ::testing::WithParamInterface<CatalogueStore> {
protected:
    ManagerMenuOnEveryStore() : ManagerMenuTest(GetParam()) {
        if (!is_catalogue_server(state->db_path)) return;
        QFile settings(folder.file("Setting.ini"));
        EXPECT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(("CatalogueServer = " + state->db_path + "\r\n").toUtf8());
    }
};

TEST_F(ManagerMenuTest, ShowsEveryButtonFieldAndOptionWithItsCaption) {
    auto menu = open_manager();
    EXPECT_EQ(menu->windowTitle(), "Vocari's Karaoke Manager Mode");
    const std::vector<std::pair<QPushButton*, QString>> buttons{
        {&menu->Song_Add, "新增歌曲"},         {&menu->Song_modify_by_singer, "修改刪除歌曲資料"},
        {&menu->Command3, "修改刪除歌手資料"}, {&menu->Command4, "查看曲目數狀況"},
        {&menu->batch_reg, "批次登錄"},        {&menu->reg_by_file, "檔名登錄"},
        {&menu->print_all, "列印全部目錄"},    {&menu->print_new, "條件列印"},
        {&menu->Command1, "回主目錄"},         {&menu->Command2, "離開點歌系統"}};
    for (const auto& [button, caption] : buttons) EXPECT_EQ(button->text(), caption);
    EXPECT_EQ(menu->Frame1.title(), "條件列印功能");
    EXPECT_EQ(menu->Frame2.title(), "條件列印選項");
    EXPECT_EQ(menu->Label1.text(), "從建檔日期");
    EXPECT_EQ(menu->Label2.text(), "開始列印");
    EXPECT_EQ(menu->Label3.text(), "關建字");
    EXPECT_EQ(menu->optPrinter[0].text(), "預設印表機");
    EXPECT_EQ(menu->optPrinter[1].text(), "Excel");

    EXPECT_EQ(menu->print_start_date.text(), QDate::currentDate().toString("yyyy/MM/dd"));
    EXPECT_TRUE(menu->keyword.text().isEmpty());
    EXPECT_TRUE(menu->optPrinter[1].isChecked());
    EXPECT_FALSE(menu->optPrinter[0].isChecked());
    // Screen readers name the two fields by their captions.
    EXPECT_EQ(menu->Label1.buddy(), &menu->print_start_date);
    EXPECT_EQ(menu->Label3.buddy(), &menu->keyword);
    EXPECT_EQ(menu->print_start_date.accessibleName(), "從建檔日期");
    EXPECT_EQ(menu->keyword.accessibleName(), "關建字");
}

TEST_F(ManagerMenuTest, IsEightTenthsOfTheScreenWideInKaiWithNothingOutsideIt) {
    for (const QSize screen : {QSize(1024, 768), QSize(1920, 1080)}) {
        state->screen_size = screen;
        auto menu = open_manager();
        EXPECT_NEAR(menu->width(), 0.8 * screen.width(), 1);
        EXPECT_LT(menu->height(), screen.height());
        EXPECT_EQ(menu->font().family(), "標楷體");
        for (QWidget* child : menu->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(menu->rect().contains(child->geometry())) << child->objectName().toStdString();
            EXPECT_EQ(child->font().family(), "標楷體");
        }
        // Captions fit their buttons.
        const QFontMetrics metrics(menu->Command2.font());
        EXPECT_LT(metrics.horizontalAdvance(menu->Command2.text()), menu->Command2.width());
    }
}

TEST_F(ManagerMenuTest, OpeningTwiceReadsTheSettingsAgainAndShowsTodayBothTimes) {
    auto first = open_manager();
    EXPECT_TRUE(QFile::exists(folder.file("Setting.ini")));
    first->print_start_date.setText("2001/01/01");
    first->Command1_Click();
    first.reset();

    set_setting("SmallScreenTop", "4321");
    auto second = open_manager();
    EXPECT_EQ(state->settings.SmallScreenTop, 4321);
    EXPECT_EQ(second->print_start_date.text(), today_text());
}

TEST_P(ManagerMenuOnEveryStore, ItsWindowsOpenModallyAndCloseBackToTheMenu) {
    auto menu = open_manager();
    menu->show();
    EXPECT_TRUE(opens_modally<Song_Add>(menu->Song_Add, [](Song_Add& window) { window.forget_it.click(); }));
    EXPECT_TRUE(opens_modally<manager_song_statu>(
        menu->Command4, [](manager_song_statu& window) { window.Command1.click(); }));
    EXPECT_TRUE(opens_modally<song_modify>(menu->Song_modify_by_singer));
    EXPECT_TRUE(opens_modally<singer_modify>(menu->Command3));
    EXPECT_TRUE(opens_modally<batch_registe>(menu->batch_reg));
    EXPECT_TRUE(opens_modally<reg_by_filename>(menu->reg_by_file));

    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(program_ends, 0);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_P(ManagerMenuOnEveryStore, ThePrintButtonsPrintTheSongBookFromTheFieldsAndTheChosenOutput) {
    FakePrinting printing;
    state->platform.printing = &printing;
    add_test_song(*state, "102001", 1, "月亮", add_test_singer(*state, "歌手"));
    auto menu = open_manager();

    dialogs.answer(Dialogs::Answer::No);  // one-sided
    menu->print_all.click();
    ASSERT_EQ(printing.jobs.size(), 1u) << dialogs.texts().join(" | ").toStdString();
    EXPECT_TRUE(printing.jobs[0].pages[0].texts_in_order().contains("月亮"));

    menu->print_start_date.setText("2024/13/01");
    menu->print_new.click();
    EXPECT_EQ(dialogs.last_text(), "請指定好起始列印的日期");

    menu->print_start_date.setText("2024/01/01");
    menu->optPrinter[1].setChecked(true);
    dialogs.choose_file("");  // the spreadsheet's save dialog, cancelled
    menu->print_new.click();
    EXPECT_EQ(dialogs.shown().back().kind, "save_file");
    EXPECT_EQ(printing.jobs.size(), 1u);
}

TEST_F(ManagerMenuTest, LeavingTheJukeboxEndsTheProgramAtOnceWithoutAsking) {
    auto menu = open_manager();
    menu->Command2.click();
    EXPECT_EQ(program_ends, 1);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(ManagerMenuTest, BackToTheMainMenuRestartsItsTimerAndTakesTheFocusBack) {
    main_menu menu(*state);
    menu.Form_Activate();
    bool timer_stopped_meanwhile = false;
    when_up<manager_menu>([&](manager_menu& manager) {
        timer_stopped_meanwhile = !menu.Timer1.isActive();
        manager.Command1.click();
    });
    menu.manager.click();
    EXPECT_TRUE(timer_stopped_meanwhile);
    EXPECT_TRUE(menu.Timer1.isActive());
    EXPECT_EQ(menu.focusWidget(), &menu.Picture1);
}

INSTANTIATE_TEST_SUITE_P(EveryStore, ManagerMenuOnEveryStore, every_store(), store_name);

}  // namespace
