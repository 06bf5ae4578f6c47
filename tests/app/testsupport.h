#pragma once

#include "app/errorbox.h"
#include "records/rowcursor.h"
#include "tests/common/scriptedprompter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSettings>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace zent5::testing {

// Points the settings store at an empty folder of its own for one test and
// reads the file it writes independently of the store.
class FreshSettings {
public:
    FreshSettings() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path()); }

    QString folder() const { return m_dir.path(); }
    QString file() const { return m_dir.path() + QStringLiteral("/Korvelin/ZT.conf"); }

    bool contains(const char* name) const { return QSettings(file(), QSettings::IniFormat).contains(key(name)); }
    QString value(const char* name) const
    {
        return QSettings(file(), QSettings::IniFormat).value(key(name)).toString();
    }
    void set(const char* name, const QVariant& value)
    {
        QSettings s(file(), QSettings::IniFormat);
        s.setValue(key(name), value);
        s.sync();
    }

private:
    static QString key(const char* name) { return QStringLiteral("1.0/") + QString::fromUtf8(name); }
    QTemporaryDir m_dir;
};

// Sends the error box to a script for one test.
class CapturedErrorBox {
public:
    CapturedErrorBox() { set_error_box_prompter(&prompter); }
    ~CapturedErrorBox() { set_error_box_prompter(nullptr); }
    ScriptedPrompter prompter;
};

// Quit requests posted by the close and exit commands must not end a modal
// loop of a later test.
inline void dropQuitRequests() { QCoreApplication::removePostedEvents(nullptr, QEvent::Quit); }

// A table component that is open or closed and records what it is asked.
class FakeTable : public RowCursor {
public:
    bool active = false;
    bool failActive = false;
    std::vector<std::string> calls;

    bool Active() const override
    {
        if (failActive)
            throw std::runtime_error("Таблица недоступна");
        return active;
    }
    void Refresh() override { calls.push_back("Refresh"); }
    void First() override { calls.push_back("First"); }
    void Last() override { calls.push_back("Last"); }
    void Next() override { calls.push_back("Next"); }
    bool Eof() const override { return true; }
    int VisibleCount() override { return 0; }
    std::string FieldText(std::string_view) override { return {}; }
    double FieldNumber(std::string_view) override { return 0; }
    FieldValue FieldValueOf(std::string_view) override { return {}; }
    void Append() override {}
    void SetFieldValue(std::string_view, const FieldValue&) override {}
    void Post() override {}
};

} // namespace zent5::testing
