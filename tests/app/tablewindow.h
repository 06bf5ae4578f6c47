#pragma once

#include "app/datagrid.h"
#include "app/tablerows.h"
#include "app/tform1.h"
#include "table/dbftable.h"
#include "records/text.h"
#include "tests/app/testsupport.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace zent5::testing {

// Types text into a widget key by key, as a keyboard with any layout does
// (QTest's own key clicks know only ASCII).
inline void type_text(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

// One row of a test table; the other fields are left empty.
struct TestRow {
    double n;
    double p;
    std::string comment;
};

// Writes a measurement table with DbfTable itself.
inline void write_table(const std::string& path, const std::vector<TestRow>& rows)
{
    DbfTable t;
    const std::filesystem::path file(path);
    t.setFilePath(file.parent_path().string());
    t.setTableName(file.filename().string());
    t.CreateNew();
    t.Open();
    for (const TestRow& r : rows) {
        t.Append();
        t.SetFieldValue("N", r.n);
        t.SetFieldValue("DATE", std::string("05.03.2014"));
        t.SetFieldValue("TIME", std::string("10:15:00"));
        t.SetFieldValue("P", r.p);
        t.SetFieldValue("F", 12.5);
        if (!r.comment.empty())
            t.SetFieldValue("COMMENT", r.comment);
        t.Post();
    }
    t.Close();
}

// What the table file holds, read byte by byte without the table component
// (and so also while the window holds the file open): N, F and COMMENT of
// the records not marked deleted, in file order, and the header's count of
// records.
struct StoredTable {
    std::vector<int> ns;
    std::vector<double> areas; // F; NaN when blank
    std::vector<std::string> comments;
    uint32_t records = 0;
};

inline StoredTable read_table(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto le = [&](size_t at, int size) {
        uint32_t v = 0;
        for (int i = size - 1; i >= 0; --i)
            v = v * 256 + static_cast<unsigned char>(bytes.at(at + size_t(i)));
        return v;
    };
    StoredTable stored;
    stored.records = le(4, 4);
    const size_t headerLength = le(8, 2);
    const size_t recordLength = le(10, 2);
    struct Field {
        size_t offset, width;
    };
    std::map<std::string, Field> fields;
    size_t offset = 1;
    for (size_t at = 32; bytes.at(at) != '\r'; at += 32) {
        const std::string name = bytes.substr(at, 11).c_str();
        const size_t width = static_cast<unsigned char>(bytes.at(at + 16));
        fields[name] = {offset, width};
        offset += width;
    }
    auto text = [&](size_t record, const char* name) {
        const Field f = fields.at(name);
        std::string t = bytes.substr(record + f.offset, f.width);
        t.erase(t.find_last_not_of(' ') + 1);
        t.erase(0, t.find_first_not_of(' ') == std::string::npos ? t.size() : t.find_first_not_of(' '));
        return t;
    };
    auto number = [&](size_t record, const char* name) {
        const std::string t = text(record, name);
        double v = NAN;
        if (!t.empty())
            std::from_chars(t.data(), t.data() + t.size(), v);
        return v;
    };
    for (uint32_t r = 0; r < stored.records; ++r) {
        const size_t record = headerLength + r * recordLength;
        if (bytes.at(record) == '*')
            continue;
        stored.ns.push_back(int(number(record, "N")));
        stored.areas.push_back(number(record, "F"));
        stored.comments.push_back(text::fromCp1251(text(record, "COMMENT")));
    }
    return stored;
}

// The main window in a fresh settings folder, with a folder for tables,
// prompts and error boxes answered by scripts.
class TableWindow : public ::testing::Test {
protected:
    TableWindow()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zent5-app-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_dir = pattern;
    }
    ~TableWindow() override
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
        dropQuitRequests();
    }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    std::string folder() const { return m_dir.string(); }
    static bool exists(const std::string& p) { return std::filesystem::exists(p); }

    // Five rows in file order: N 1..5 with forces 30, 50, 10, 50, 20.
    std::string may()
    {
        const std::string p = path("May.db");
        write_table(p, {{1, 30, "первый"}, {2, 50, "второй"}, {3, 10, "третий"}, {4, 50, "четвёртый"},
                        {5, 20, "пятый"}});
        return p;
    }

    // Opens through "Открыть" as the user does, answering the dialog.
    void openByMenu(TForm1& w, const std::string& file)
    {
        prompts.files.push_back(file);
        w.N3->trigger();
    }

    DataGrid& grid(TForm1& w) { return *w.DataGrid1; }

    int column(TForm1& w, const char* field) { return grid(w).columns().indexOf(field); }

    std::string cell(TForm1& w, int row, const char* field)
    {
        return grid(w).model()->index(row, column(w, field)).data().toString().toStdString();
    }

    // The N column of the grid, top to bottom.
    std::vector<int> shownNs(TForm1& w)
    {
        std::vector<int> ns;
        for (int row = 0; row < grid(w).model()->rowCount(); ++row)
            ns.push_back(std::stoi(cell(w, row, "N")));
        return ns;
    }

    // Puts the cell cursor on a cell and opens its editor, as a double
    // click does; nullptr when none opened.
    QLineEdit* openEditor(TForm1& w, int row, const char* field)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // an editor closed before
        const QModelIndex at = grid(w).model()->index(row, column(w, field));
        grid(w).setCurrentIndex(at);
        grid(w).edit(at);
        return grid(w).findChild<QLineEdit*>();
    }

    // A mouse click on a column title, with the keys held.
    void clickTitle(TForm1& w, const char* field, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QHeaderView* titles = grid(w).horizontalHeader();
        const int section = column(w, field);
        const QPoint at(titles->sectionViewportPosition(section) + titles->sectionSize(section) / 2,
                        titles->height() / 2);
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, keys, at);
    }

    // Makes a window visible at a fixed size, so the grid lays out its rows.
    static void show(TForm1& w)
    {
        w.setWindowState(Qt::WindowNoState);
        w.resize(1200, 600);
        w.show();
        QCoreApplication::processEvents();
    }

    FreshSettings settings;
    ScriptedPrompter prompts;
    CapturedErrorBox errors;

private:
    std::filesystem::path m_dir;
};

} // namespace zent5::testing
