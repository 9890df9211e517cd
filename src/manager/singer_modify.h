#pragma once

#include "foundation/catalogue.h"
#include "manager/singer_choice_list.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

struct AppState;

// "歌手資料管理": adds singers, and renames, recategorises or deletes the
// singer picked with "找".
class singer_modify : public QDialog {
    Q_OBJECT
public:
    singer_modify(AppState& state, QWidget* parent);

    QLabel Label2;
    QLineEdit singer_name;
    QPushButton singer_search;
    QLabel Label3;
    QComboBox singer_sex;
    QPushButton singer_insert;
    QPushButton singer_modify_do;
    QPushButton delete_do;
    QPushButton Command1;

    // The code of the singer picked last; 0 before any pick. A delete keeps it.
    int singer_code = 0;

    void singer_search_Click();
    void singer_insert_Click();
    void singer_modify_do_Click();
    void delete_do_Click();
    void Command1_Click();

    // The choice list's pick: name, category and code of the singer.
    void take_picked_singer(const QString& name, int sex, int code);

private:
    void Form_Load();
    void lay_out();
    // The picked singer's row; nothing, after the message, when there is none.
    std::optional<Recordset> find_picked_singer();
    void notice(const QString& text);

    AppState& state_;
};

// The choice list of singer_modify: it also returns the singer's category and code.
class singer_modify_check_singer : public singer_choice_list {
    Q_OBJECT
public:
    // Holds at most this many singers.
    static constexpr int kCapacity = 2001;

    singer_modify_check_singer(AppState& state, singer_modify& opener);

protected:
    void take_choice(const Recordset& singer) override;

private:
    singer_modify& opener_;
};
