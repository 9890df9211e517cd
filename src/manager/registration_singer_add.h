#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

struct AppState;

// The singer window of the registration runs: registers one singer under the
// name it is given, with the category the manager picks. When the name is
// taken already, the manager says whether that singer is the one meant.
class registration_singer_add : public QDialog {
    Q_OBJECT
public:
    registration_singer_add(AppState& state, QWidget* parent, const QString& title);

    QLabel Label2;  // "歌手名稱"
    QLineEdit singer_name;
    QLabel Label3;  // "歌手性別"
    QComboBox singer_sex;
    QPushButton Command1;  // "ok!"

    void Command1_Click();

protected:
    // Called with the trimmed name before it is looked up.
    virtual void name_chosen(const QString& /*name*/) {}

    AppState& state_;

private:
    void Form_Load();
    bool singer_stored(const QString& name);
};

// Registers a singer that a file name names; the name cannot be changed here.
class reg_by_filename_addSinger : public registration_singer_add {
    Q_OBJECT
public:
    reg_by_filename_addSinger(AppState& state, QWidget* parent);
};
