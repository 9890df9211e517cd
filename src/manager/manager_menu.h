#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <array>

struct AppState;

// The hub of manager mode, opened with the mouse from the main menu. Each
// button opens its catalogue window modally over this one; "回主目錄" goes back
// to the main menu and "離開點歌系統" ends the program.
class manager_menu : public QDialog {
    Q_OBJECT
public:
    manager_menu(AppState& state, QWidget* parent);

    // The buttons carry the names of the windows they open; inside this class
    // the add-song window's class is therefore ::Song_Add.
    QPushButton Song_Add;               // "新增歌曲"
    QPushButton Song_modify_by_singer;  // "修改刪除歌曲資料"
    QPushButton Command3;               // "修改刪除歌手資料"
    QPushButton batch_reg;              // "批次登錄"
    QPushButton reg_by_file;            // "檔名登錄"
    QPushButton Command4;               // "查看曲目數狀況"
    QPushButton print_all;              // "列印全部目錄"
    QGroupBox Frame1;                   // "條件列印功能"
    QLabel Label1;                      // "從建檔日期"
    QLineEdit print_start_date;         // today, "YYYY/MM/DD"
    QLabel Label2;                      // "開始列印"
    QLabel Label3;                      // "關建字"
    QLineEdit keyword;
    QGroupBox Frame2;                        // "條件列印選項"
    std::array<QRadioButton, 2> optPrinter;  // "預設印表機", "Excel"
    QPushButton print_new;                   // "條件列印"
    QPushButton Command1;                    // "回主目錄"
    QPushButton Command2;                    // "離開點歌系統"

    void Song_Add_Click();
    void Song_modify_by_singer_Click();
    void Command3_Click();
    void Command4_Click();
    void batch_reg_Click();
    void reg_by_file_Click();
    void print_all_Click();
    void print_new_Click();
    void Command1_Click();
    void Command2_Click();

private:
    void set_captions();
    void lay_out();
    void connect_buttons();
    void Form_Load();

    AppState& state_;
};
