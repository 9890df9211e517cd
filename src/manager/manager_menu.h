#pragma once

#include <QDialog>
#include <QPushButton>

struct AppState;

// The hub of manager mode, opened with the mouse from the main menu.
class manager_menu : public QDialog {
    Q_OBJECT
public:
    manager_menu(AppState& state, QWidget* parent);

    QPushButton Command1;  // "回主目錄"
    QPushButton Command2;  // "離開點歌系統"

    void Command1_Click();
    void Command2_Click();

private:
    void Form_Load();

    AppState& state_;
};
