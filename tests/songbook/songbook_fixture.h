#pragma once

#include "foundation/app_state.h"
#include "support/fake_printing.h"
#include "support/every_store.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// A catalogue to print from (the file, or a database of its own on the
// tests' server), a printer that keeps its pages and dialogs answered from
// the test's script.
class SongBookTest : public ::testing::Test {
protected:
    explicit SongBookTest(CatalogueStore store = CatalogueStore::File);
    ~SongBookTest() override;
    void SetUp() override;

    // Adds count songs of one kind whose titles have `length` characters:
    // `stem` followed by a serial, so that titles sort in serial order.
    void add_songs(int kind, int length, int count, const QString& stem = "歌",
                   const QString& build_date = "2024/05/01");
    void add_song(const QString& num, int kind, const QString& name, int singer_code,
                  const QString& build_date = "2024/05/01");

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    bool server_missing_ = false;
    ScriptedDialogs dialogs;
    FakePrinting printing;
    int singer = 0;
    int next_serial = 1;
};

// The text of each page of a PDF file, as pdftotext lays it out.
QStringList pdf_pages(const QString& path);

// What a spreadsheet reader finds in an .xls (xlrd plus a walk over the raw
// records) or .xlsx file (openpyxl): see readers/read_xls.py.
QJsonObject read_spreadsheet(const QString& path);
