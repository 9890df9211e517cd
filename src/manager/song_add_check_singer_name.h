#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>

#include <vector>

struct AppState;

// "選擇歌手名": the singers whose names begin with what was typed in the
// add-song window's singer field; a double click or Enter on one puts its
// name into that field. With no such singer a message says so and the window
// closes.
class song_add_check_singer_name : public QDialog {
    Q_OBJECT
public:
    // `caller_singer_name` is the singer field the window reads and fills.
    song_add_check_singer_name(AppState& state, QWidget* parent, QLineEdit& caller_singer_name);

    QListWidget List1;
    // The singer code of each list row, by row.
    std::vector<int> singer_codes;

    // Lists the singers; showing the window runs it once.
    void Form_Activate();
    void List1_DblClick();
    void List1_KeyPress(int key);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void list_singers();
    void take_chosen_singer();

    AppState& state_;
    QLineEdit& caller_singer_name_;
    bool listed_ = false;
};
