#pragma once

#include "widgets/picture_box.h"

#include <QDialog>
#include <QPushButton>
#include <QStringList>

#include <vector>

struct AppState;

// The lines "曲目狀況" prints, each in the pieces it is printed in: the songs
// in total and per song kind, two kinds to some lines. Database errors come
// out as DatabaseError.
std::vector<QStringList> song_count_lines(const QString& db_path);

// "曲目狀況": how many songs the catalogue holds in total and per song kind.
// Every activation prints the counts again below what is already shown.
class manager_song_statu : public QDialog {
    Q_OBJECT
public:
    manager_song_statu(AppState& state, QWidget* parent);

    PictureBox Picture1;
    QPushButton Command1;  // "離開"

    // Prints the counts; showing the window and every later activation run it.
    void Form_Activate();
    void Command1_Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Form_Load();
    void make_room_for_the_counts();
    void print_counts();

    AppState& state_;
    // Set when another window took the activation: the next activation
    // prints again (showing prints once by itself).
    bool deactivated_ = false;
};
