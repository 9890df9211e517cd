#pragma once

#include "manager/singer_choice_list.h"
#include "support/manager_fixture.h"

#include <QStringList>

// The manager windows that change the catalogue, with helpers to read it back
// and to work the singer choice lists.
class CatalogueWindowTest : public ManagerTest {
protected:
    using ManagerTest::ManagerTest;

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

    // The texts of a choice list's lines.
    static QStringList lines_of(const singer_choice_list& list) {
        QStringList lines;
        for (int i = 0; i < list.List1.count(); ++i) lines << list.List1.item(i)->text();
        return lines;
    }

    // Lists the singers, selects a line and double-clicks it.
    static void pick(singer_choice_list& list, const QString& line) {
        list.Form_Activate();
        const auto found = list.List1.findItems(line, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << line.toStdString();
        list.List1.setCurrentItem(found.front());
        emit list.List1.itemDoubleClicked(found.front());
    }
};
