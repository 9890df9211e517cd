#pragma once

#include "foundation/catalogue.h"
#include "manager/singer_choice_list.h"
#include "support/scripted_dialogs.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

// A fresh catalogue and scripted message boxes for the manager windows.
class ManagerFixture {
protected:
    ManagerFixture() {
        prepare_catalogue(state->db_path);
        state->platform.dialogs = &dialogs;
    }

    // Every row of a query as "field1/field2/..." texts.
    QStringList rows(const QString& sql, const QStringList& fields) const {
        QStringList result;
        for (Recordset rs = open_recordset(sql, state->db_path); !rs.Eof(); rs.MoveNext()) {
            QStringList values;
            for (const QString& field : fields) values << rs.Field(field.toStdString());
            result << values.join('/');
        }
        return result;
    }

    // Adds `count` singers named prefix0001, prefix0002, ... in one transaction.
    void add_many_singers(const QString& prefix, int count) const {
        execute_sql("BEGIN", state->db_path);
        for (int i = 1; i <= count; ++i)
            add_test_singer(*state, prefix + QString("%1").arg(i, 4, 10, QChar('0')));
        execute_sql("COMMIT", state->db_path);
    }

    // Runs `inside` once the modal window of type Window is up, then closes it
    // if `inside` left it open.
    template <class Window>
    static void when_up(QObject* context, const std::function<void(Window&)>& inside) {
        QTimer::singleShot(0, context, [inside] {
            auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            inside(*window);
            if (window->isVisible()) window->reject();
        });
    }

    // The texts of a choice list's lines.
    static QStringList lines_of(const singer_choice_list& list) {
        QStringList lines;
        for (int i = 0; i < list.List1.count(); ++i) lines << list.List1.item(i)->text();
        return lines;
    }

    // Selects a line of a choice list and double-clicks it.
    static void pick(singer_choice_list& list, const QString& line) {
        const auto found = list.List1.findItems(line, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << line.toStdString();
        list.List1.setCurrentItem(found.front());
        list.List1_DblClick();
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    ScriptedDialogs dialogs;
};
