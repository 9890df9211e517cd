#pragma once

#include "foundation/catalogue.h"
#include "foundation/lookups.h"
#include "support/manager_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/test_catalogue.h"
#include "support/test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

// A fresh catalogue, scripted dialogs and a folder of media files for the
// registration windows.
class RegistrationTest : public ::testing::Test {
protected:
    explicit RegistrationTest(CatalogueStore store = CatalogueStore::File)
        : server_missing_(store == CatalogueStore::Server && !use_catalogue_server(*state)) {
        state->platform.dialogs = &dialogs;
        prepare_catalogue(state->db_path);
        QDir().mkpath(media_folder());
        QObject::connect(&watcher_, &QTimer::timeout, [this] { handle_new_window(); });
    }
    ~RegistrationTest() override {
        EXPECT_TRUE(every_window_handled());
        close_kept_connection();
    }
    void SetUp() override {
        if (server_missing_) GTEST_SKIP() << "no PostgreSQL server for the tests";
    }

    QString media_folder() const { return folder.path() + "media"; }
    QString media(const QString& name) const { return media_folder() + "/" + name; }
    // An empty file in the media folder; its full path.
    QString make_file(const QString& name) const {
        QFile file(media(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        return media(name);
    }

    int count(const QString& sql) const { return open_recordset(sql, state->db_path).RecordCount(); }
    int songs() const { return count("SELECT * FROM song"); }

    // Runs `inside` on the next modal window once it is up, which must be a
    // Window; the window is closed afterwards if `inside` left it open.
    // Several calls handle the coming windows in order.
    template <class Window>
    void when_up(std::function<void(Window&)> inside) {
        handlers_.push_back([inside](QWidget* modal) {
            auto* window = qobject_cast<Window*>(modal);
            ASSERT_NE(window, nullptr) << "another window came up";
            inside(*window);
            if (window->isVisible()) window->reject();
        });
        watcher_.start(1);
    }
    bool every_window_handled() const { return handlers_.empty(); }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    bool server_missing_;
    ScriptedDialogs dialogs;

private:
    void handle_new_window() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_handled_.data() || handlers_.empty()) return;
        last_handled_ =
            modal;  // a window made later at the same address is a new one: the pointer is null by then
        const auto handler = handlers_.front();
        handlers_.pop_front();
        if (handlers_.empty()) watcher_.stop();
        handler(modal);
    }

    std::deque<std::function<void(QWidget*)>> handlers_;
    QPointer<QWidget> last_handled_;
    QTimer watcher_;
};
