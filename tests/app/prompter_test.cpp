#include "app/qtprompter.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace zent5 {
namespace {

TEST(FileDialogs, TheFilterIsADescriptionAndAPattern)
{
    EXPECT_EQ(qt_name_filter("Базы данных|*.db").toStdString(), "Базы данных (*.db)");
    EXPECT_EQ(qt_name_filter("Файлы данных|*.db").toStdString(), "Файлы данных (*.db)");
    EXPECT_EQ(qt_name_filter("").toStdString(), "");
}

TEST(FileDialogs, TheDefaultExtensionIsAddedOnlyToANameWithout)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/data/May", "/data/May.db"},
        {"/data/May.db", "/data/May.db"},
        {"/data/May.DB", "/data/May.DB"},
        {"/data/May.txt", "/data/May.txt"},
        {"/data.v2/May", "/data.v2/May.db"}, // a dot in the folder is no extension
        {"", ""},
    };
    for (const auto& [typed, chosen] : cases) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(with_default_extension(typed, ".db"), chosen);
    }
    EXPECT_EQ(with_default_extension("/data/May", ""), "/data/May");
    EXPECT_EQ(with_default_extension("/data/Book", "xls"), "/data/Book.xls");
}

QString shown(QAbstractButton* button) { return button->text().remove(u'&'); }

TEST(QtTexts, StandardButtonsSpeakRussian)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("ЗЕНТ-5"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    EXPECT_EQ(shown(box.button(QMessageBox::Yes)).toStdString(), "Да");
    EXPECT_EQ(shown(box.button(QMessageBox::No)).toStdString(), "Нет");
    EXPECT_EQ(shown(box.button(QMessageBox::Cancel)).toStdString(), "Отмена");
    EXPECT_EQ(shown(box.button(QMessageBox::Ok)).toStdString(), "OK");
}

} // namespace
} // namespace zent5
