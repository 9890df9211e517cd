#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

QStringList ScriptedDialogs::texts() const {
    QStringList texts;
    for (const auto& box : shown_) texts << box.text;
    return texts;
}

QString ScriptedDialogs::last_text() const {
    return shown_.empty() ? QString() : shown_.back().text;
}

void ScriptedDialogs::record(Shown shown) {
    shown_.push_back(std::move(shown));
    if (during_next_.empty()) return;
    auto action = std::move(during_next_.front());
    during_next_.pop_front();
    action();
}

Dialogs::Answer ScriptedDialogs::next_answer(Answer unanswered) {
    if (answers_.empty()) {
        ADD_FAILURE() << "unanswered question: " << shown_.back().text.toStdString();
        return unanswered;
    }
    Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QString ScriptedDialogs::next_file() {
    if (files_.empty()) {
        ADD_FAILURE() << "unanswered file dialog: " << shown_.back().text.toStdString();
        return {};
    }
    QString path = files_.front();
    files_.pop_front();
    return path;
}

void ScriptedDialogs::notice(QWidget*, const QString& text) {
    record({"notice", text, {}, {}});
}

bool ScriptedDialogs::ask_yes_no(QWidget*, const QString& text) {
    record({"yes_no", text, {}, {}});
    return next_answer(Answer::No) == Answer::Yes;
}

Dialogs::Answer ScriptedDialogs::ask_yes_no_cancel(QWidget*, const QString& text) {
    record({"yes_no_cancel", text, {}, {}});
    return next_answer(Answer::Cancel);
}

QString ScriptedDialogs::open_file(QWidget*, const QString& title, const QString& preset,
                                   const QStringList& filters) {
    record({"open_file", title, preset, filters});
    return next_file();
}

QString ScriptedDialogs::save_file(QWidget*, const QString& title, const QString& proposed,
                                   const QStringList& filters) {
    record({"save_file", title, proposed, filters});
    return next_file();
}
