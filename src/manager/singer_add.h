#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <functional>

struct AppState;

// "歌手新增": registers the singer of a song being registered or changed.
// The window that opens it fills in singer_name first and hands over where
// the name goes back to: "ok!" writes the trimmed name there before anything
// else, so the song goes on with the name as corrected here. A name already
// in the catalogue is not stored twice: the manager is asked whether that is
// the singer meant (Yes closes, No lets the name be changed).
class singer_add : public QDialog {
    Q_OBJECT
public:
    using NameWriteBack = std::function<void(const QString& name)>;

    singer_add(AppState& state, QWidget* parent, NameWriteBack write_back_name);

    QLabel Label2;  // "歌手名稱"
    QLineEdit singer_name;
    QLabel Label3;  // "歌手性別"
    QComboBox singer_sex;
    QPushButton Command1;  // "ok!"

    void Command1_Click();

protected:
    // The registration runs open the same window under their own titles.
    singer_add(AppState& state, QWidget* parent, const QString& title, NameWriteBack write_back_name);

private:
    void lay_out();
    void Form_Load();
    void register_singer();

    AppState& state_;
    NameWriteBack write_back_name_;
};
