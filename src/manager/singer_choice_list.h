#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QString>

#include <vector>

struct AppState;
class Recordset;

// The last line of a manager list that holds fewer entries than matched:
// the list keeps the first `kept`.
QString cut_list_line(int kept);

// "選擇歌手名": the singers whose names begin with what the manager typed in
// a window's singer field, in a list from which one is picked by double-click
// or Enter; the pick's name goes into that field. With no such singer a
// message says so and the window closes. Each window that opens it has its
// own kind, which may hold fewer singers or take more of the pick.
class singer_choice_list : public QDialog {
    Q_OBJECT
public:
    QListWidget List1;

    // Lists the singers; showing the window runs it once.
    void Form_Activate();

    // Picks the selected singer and closes the window; nothing without a
    // selection or on the closing line of a cut list.
    void List1_DblClick();
    void List1_KeyPress(int KeyAscii);

protected:
    // `caller_singer_name` is the field the list reads and fills; `capacity`
    // is how many singers the list can hold, more matches are cut.
    singer_choice_list(AppState& state, QWidget* parent, QLineEdit& caller_singer_name, int capacity);

    // Hands the chosen singer's row of table `singer` to the window that
    // opened the list.
    virtual void take_choice(const Recordset& singer);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    AppState& state_;

private:
    void Form_Load();
    void list_singers();

    QLineEdit& caller_singer_name_;
    const int capacity_;
    bool listed_ = false;
    // The singer code of each list position, in list order.
    std::vector<int> singer_codes;
};
