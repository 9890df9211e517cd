#pragma once

#include "platform/dialogs.h"

#include <QString>
#include <QStringList>

// Answers the folder dialog of registration by file name with a file of
// `folder`; shows nothing, and keeps the last notice.
class FolderDialogs : public Dialogs {
public:
    QString folder;
    void notice(QWidget*, const QString& text) override { last_notice = text; }
    bool ask_yes_no(QWidget*, const QString&) override { return false; }
    Answer ask_yes_no_cancel(QWidget*, const QString&) override { return Answer::Cancel; }
    QString open_file(QWidget*, const QString&, const QString&, const QStringList&) override {
        return folder + "/any";
    }
    QString save_file(QWidget*, const QString&, const QString&, const QStringList&) override { return {}; }
    QString last_notice;
};
