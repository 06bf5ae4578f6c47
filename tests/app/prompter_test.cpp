#include "app/qtprompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

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

// The file dialogs list the files with their size, type and date, each
// column wide enough for its title and its contents, all within the list.
TEST(FileDialogs, OpenWideEnoughForEveryColumnOfTheList)
{
    QTemporaryDir dir;
    for (const char* name : {"Май 2014 анкеры.db", "b.db", "c.txt"})
        QFile(dir.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly);
    QtPrompter prompter(nullptr);
    for (const bool save : {false, true}) {
        SCOPED_TRACE(save ? "save" : "open");
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            auto* list = dialog->findChild<QTreeView*>();
            ASSERT_NE(list, nullptr);
            QElapsedTimer loading;
            loading.start();
            while (list->model()->rowCount(list->rootIndex()) < 2 && loading.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QCoreApplication::processEvents();
            EXPECT_TRUE(list->isVisible()) << "the list shows no details";
            QHeaderView* titles = list->header();
            ASSERT_GE(titles->count(), 4);
            int right = 0;
            for (int i = 0; i < 4; ++i) {
                const QString title = list->model()->headerData(i, Qt::Horizontal).toString();
                SCOPED_TRACE(title.toStdString());
                EXPECT_GE(titles->sectionSize(i), titles->fontMetrics().horizontalAdvance(title) + 2);
                if (i == 0)
                    continue; // a long name may be shortened
                for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
                    const QString text = list->model()->index(row, i, list->rootIndex()).data().toString();
                    EXPECT_GE(titles->sectionSize(i), list->fontMetrics().horizontalAdvance(text) + 2)
                        << text.toStdString();
                }
                right = std::max(right, titles->sectionViewportPosition(i) + titles->sectionSize(i));
            }
            EXPECT_LE(right, list->viewport()->width()) << "a column is cut off at the right";
            dialog->reject();
        });
        FileDialogRequest request;
        request.filter = "Базы данных|*.db";
        request.initialDir = dir.path().toStdString();
        EXPECT_FALSE(save ? prompter.saveFile(request) : prompter.openFile(request));
        EXPECT_TRUE(seen);
    }
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
