#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The message boxes and file dialogs of manager mode. The real one shows Qt's
// own boxes with Chinese buttons (確定, 是, 否, 取消); tests answer from a script.
class Dialogs {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Dialogs() = default;

    // A notice with one OK button.
    virtual void notice(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No; true for Yes. Closing the box answers No.
    virtual bool ask_yes_no(QWidget* parent, const QString& text) = 0;
    // A question with Yes, No and Cancel. Closing the box answers Cancel.
    virtual Answer ask_yes_no_cancel(QWidget* parent, const QString& text) = 0;

    // The full path of an existing file the user picked, or an empty text when
    // the dialog was cancelled. `preset` names the file or folder it opens on;
    // `filters` are Qt name filters ("Excel Files (*.xls)"); none lists every file.
    virtual QString open_file(QWidget* parent, const QString& title, const QString& preset,
                              const QStringList& filters) = 0;
    // The full path of the file to write, or an empty text when cancelled.
    virtual QString save_file(QWidget* parent, const QString& title, const QString& proposed,
                              const QStringList& filters) = 0;
};

// Dialogs on the screen.
class QtDialogs : public Dialogs {
public:
    void notice(QWidget* parent, const QString& text) override;
    bool ask_yes_no(QWidget* parent, const QString& text) override;
    Answer ask_yes_no_cancel(QWidget* parent, const QString& text) override;
    QString open_file(QWidget* parent, const QString& title, const QString& preset,
                      const QStringList& filters) override;
    QString save_file(QWidget* parent, const QString& title, const QString& proposed,
                      const QStringList& filters) override;
};
