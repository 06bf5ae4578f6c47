#include "app/pictures.h"
#include "app/tform1.h"
#include "tests/app/testsupport.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace zent5 {
namespace {

constexpr int none = -1;

struct Item {
    const char* menu;
    const char* caption; // nullptr for a separator
    const char* shortcut;
    int picture;
    bool always; // enabled in both states; otherwise only with a table open
};

const Item mainMenu[] = {
    {"Файл", "Создать", "Ctrl+N", picNew, true},
    {"Файл", "Открыть", "Ctrl+O", picOpen, true},
    {"Файл", "Дополнить", "", none, false},
    {"Файл", "Сохранить", "Ctrl+S", picSave, false},
    {"Файл", "Закрыть", "", none, false},
    {"Файл", nullptr, "", none, true},
    {"Файл", "Предварительный просмотр", "", picPreview, false},
    {"Файл", "Печать", "Ctrl+P", picPrint, false},
    {"Файл", nullptr, "", none, true},
    {"Файл", "Выход", "", none, true},
    {"Вид", "Выровнять столбцы", "", none, false},
    {"Вид", nullptr, "", none, true},
    {"Вид", "Задать цвет", "", none, false},
    {"Вид", "Убрать цвет", "", none, false},
    {"Вид", "Убрать все цвета", "", none, false},
    {"Вид", nullptr, "", none, true},
    {"Вид", "Убрать сортировку", "", none, false},
    {"Правка", "Удалить строки", "", picDeleteRows, false},
    {"Сервис", "Экспорт в Excel", "", none, false},
    {"Сервис", "Перенумеровать строки", "", none, false},
    {"Сервис", "Размерность", "", none, true},
    {"Сервис", "Статистика", "", none, false},
    {"Сервис", "Журнал загрузок", "", none, true},
    {"Справка", "Помощь", "F1", picHelp, true},
    {"Справка", nullptr, "", none, true},
    {"Справка", "О программе", "", none, true},
};

std::string describe(const QString& menu, const QAction* action)
{
    if (action->isSeparator())
        return menu.toStdString() + " | -";
    return menu.toStdString() + " | " + action->text().toStdString() + " | " +
           action->shortcut().toString(QKeySequence::PortableText).toStdString();
}

bool samePicture(const QIcon& icon, int index)
{
    if (index == none)
        return icon.isNull();
    return !icon.isNull() && icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32) ==
                                 picture(index).toImage().convertToFormat(QImage::Format_ARGB32);
}

class MainWindowCommands : public ::testing::Test {
protected:
    testing::FreshSettings settings;
    testing::ScriptedPrompter prompts;
    TForm1 window{prompts};

    void checkMainMenu(bool tableOpen)
    {
        std::vector<std::string> expected, actual;
        std::vector<const QAction*> items;
        for (const Item& i : mainMenu)
            expected.push_back(i.caption ? std::string(i.menu) + " | " + i.caption + " | " + i.shortcut
                                         : std::string(i.menu) + " | -");
        for (QAction* top : window.menuBar()->actions())
            for (QAction* a : top->menu()->actions()) {
                actual.push_back(describe(top->text(), a));
                items.push_back(a);
            }
        ASSERT_EQ(actual, expected);
        for (size_t k = 0; k < items.size(); ++k) {
            const Item& i = mainMenu[k];
            if (!i.caption)
                continue;
            SCOPED_TRACE(i.caption);
            EXPECT_EQ(items[k]->isEnabled(), i.always || tableOpen);
            EXPECT_TRUE(samePicture(items[k]->icon(), i.picture));
        }
    }

    std::vector<QToolButton*> toolButtons()
    {
        std::vector<QToolButton*> buttons;
        for (QAction* a : window.ToolBar1->actions())
            if (auto* b = qobject_cast<QToolButton*>(window.ToolBar1->widgetForAction(a)))
                buttons.push_back(b);
        return buttons;
    }

    void checkToolBar(bool tableOpen)
    {
        struct Button {
            const char* name;
            int picture;
            bool always;
        };
        const Button expected[] = {
            {"ToolButton1", picNew, true},     {"ToolButton2", picOpen, true},
            {"ToolButton3", picSave, false},   {"ToolButton4", picPreview, false},
            {"ToolButton5", picPrint, false},  {"ToolButton6", picHelp, true},
        };
        const auto buttons = toolButtons();
        ASSERT_EQ(buttons.size(), 6u);
        for (size_t k = 0; k < 6; ++k) {
            SCOPED_TRACE(expected[k].name);
            EXPECT_EQ(buttons[k]->objectName().toStdString(), expected[k].name);
            EXPECT_EQ(buttons[k]->isEnabled(), expected[k].always || tableOpen);
            EXPECT_TRUE(samePicture(buttons[k]->icon(), expected[k].picture));
            EXPECT_TRUE(buttons[k]->text().isEmpty());
            EXPECT_TRUE(buttons[k]->toolTip().isEmpty());
        }
    }

    void checkContextMenu()
    {
        struct Popup {
            const char* caption;
            bool enabled;
        };
        const Popup expected[] = {
            {"Печать", true},          {"Расчет S&&V", false}, {nullptr, true},
            {"Задать цвет", true},     {"Убрать цвет", true},   {"Убрать все цвета", true},
            {nullptr, true},           {"Выровнять столбцы", true}, {nullptr, true},
            {"Удалить", true},
        };
        const auto actions = window.PopupMenu1->actions();
        ASSERT_EQ(actions.size(), qsizetype(std::size(expected)));
        for (qsizetype k = 0; k < actions.size(); ++k) {
            const Popup& p = expected[k];
            SCOPED_TRACE(p.caption ? p.caption : "separator");
            EXPECT_EQ(actions[k]->isSeparator(), p.caption == nullptr);
            if (!p.caption)
                continue;
            EXPECT_EQ(actions[k]->text().toStdString(), p.caption);
            EXPECT_EQ(actions[k]->isEnabled(), p.enabled);
        }
    }
};

TEST_F(MainWindowCommands, NoTableStateOffersOnlyTheAlwaysCommands)
{
    checkMainMenu(false);
    checkToolBar(false);
    checkContextMenu();
}

TEST_F(MainWindowCommands, EnableButtonOpensTheTableCommandsAndDisableButtonClosesThem)
{
    window.enable_button();
    checkMainMenu(true);
    checkToolBar(true);
    checkContextMenu();

    window.disable_button();
    checkMainMenu(false);
    checkToolBar(false);
    checkContextMenu();
}

TEST_F(MainWindowCommands, TheCalculationItemShowsItsAmpersandOnce)
{
    // Qt shows a doubled ampersand as one, as the caption intends.
    EXPECT_EQ(window.CalcSV->text().toStdString(), "Расчет S&&V");
    EXPECT_EQ(window.CalcSV->iconText().toStdString(), "Расчет S&V");
}

} // namespace
} // namespace zent5
