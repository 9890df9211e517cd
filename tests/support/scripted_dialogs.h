#pragma once

#include "platform/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// Dialogs that never show anything: every box and file dialog is recorded,
// questions are answered from a script, and a test may run code while a box
// "is open" (the window that asked is still waiting inside its handler then).
// A question or file dialog that the script does not answer fails the test
// and answers No / Cancel / nothing.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind;  // "notice", "yes_no", "yes_no_cancel", "open_file", "save_file"
        QString text;  // the message, or the file dialog's title
        QString preset;
        QStringList filters;
    };

    // Answers for the coming questions and file dialogs, in order.
    void answer(Answer answer) { answers_.push_back(answer); }
    void answer_yes() { answer(Answer::Yes); }
    void answer_no() { answer(Answer::No); }
    void choose_file(const QString& path) { files_.push_back(path); }
    // Runs while the next box of any kind is shown, before it is answered.
    void while_next_box(std::function<void()> action) { during_next_.push_back(std::move(action)); }

    const std::vector<Shown>& shown() const { return shown_; }
    // The texts of every box shown, in order.
    QStringList texts() const;
    // The text of the last box, or an empty text when none was shown.
    QString last_text() const;
    // Whether every scripted answer was used.
    bool script_used_up() const { return answers_.empty() && files_.empty(); }
    void clear() { shown_.clear(); }

    void notice(QWidget* parent, const QString& text) override;
    bool ask_yes_no(QWidget* parent, const QString& text) override;
    Answer ask_yes_no_cancel(QWidget* parent, const QString& text) override;
    QString open_file(QWidget* parent, const QString& title, const QString& preset,
                      const QStringList& filters) override;
    QString save_file(QWidget* parent, const QString& title, const QString& proposed,
                      const QStringList& filters) override;

private:
    void record(Shown shown);
    Answer next_answer(Answer unanswered);
    QString next_file();

    std::vector<Shown> shown_;
    std::deque<Answer> answers_;
    std::deque<QString> files_;
    std::deque<std::function<void()>> during_next_;
};
