#include "app/applicationtitle.h"
#include "app/captiontext.h"
#include "app/datagrid.h"
#include "records/gridcolumns.h"
#include "app/tform1.h"
#include "tests/app/testsupport.h"

#include <QApplication>
#include <QDir>
#include <QPalette>

#include <gtest/gtest.h>

namespace zent5 {
namespace {

using testing::FreshSettings;
using testing::ScriptedPrompter;

std::vector<std::string> shownCaptions(const DataGrid& grid)
{
    std::vector<std::string> captions;
    for (int i = 0; i < grid.columns().size(); ++i)
        if (!grid.isColumnHidden(i))
            captions.push_back(grid.columns()[i].caption);
    return captions;
}

const std::vector<std::string> kiloNewtonColumns = {"N",     "Дата",     "Время",    "Тип арматуры", "d, мм",
                                                     "F, кН", "б, МПа", "S, кв.мм", "Примечание"};
const std::vector<std::string> kiloGramForceColumns = {"N",      "Дата",         "Время",    "Тип арматуры", "d, мм",
                                                       "F, кГс", "б, кГс/кв.см", "S, кв.см", "Примечание"};

TEST(Startup, FirstStartWritesTheDirectoryAndKiloNewtonAtOnce)
{
    FreshSettings settings;
    ScriptedPrompter prompts;
    TForm1 window(prompts);

    EXPECT_EQ(settings.value("Default_dir"), QDir::currentPath());
    EXPECT_EQ(settings.value("Dimension"), QStringLiteral("0"));
    EXPECT_FALSE(settings.contains("Table_1"));
    EXPECT_EQ(window.state().default_dir, QDir::currentPath().toStdString());
    EXPECT_EQ(window.dialog_initial_dir(), QDir::currentPath().toStdString());
    EXPECT_EQ(window.state().dimension, Units::KiloNewton);
    EXPECT_EQ(shownCaptions(*window.DataGrid1), kiloNewtonColumns);
}

TEST(Startup, StoredValuesAreReadAndLeftAsTheyAre)
{
    FreshSettings settings;
    settings.set("Default_dir", QStringLiteral("/srv/измерения"));
    settings.set("Dimension", 1);
    ScriptedPrompter prompts;
    TForm1 window(prompts);

    EXPECT_EQ(window.state().default_dir, "/srv/измерения");
    EXPECT_EQ(window.dialog_initial_dir(), "/srv/измерения");
    EXPECT_EQ(window.state().dimension, Units::KiloGramForce);
    EXPECT_EQ(shownCaptions(*window.DataGrid1), kiloGramForceColumns);
    EXPECT_EQ(settings.value("Default_dir"), QStringLiteral("/srv/измерения"));
    EXPECT_EQ(settings.value("Dimension"), QStringLiteral("1"));
}

TEST(Startup, DimensionReadsAnyNonZeroAsKilogramForce)
{
    struct Case {
        const char* stored;
        Units dimension;
        const char* afterStart;
    };
    const Case cases[] = {
        {"0", Units::KiloNewton, "0"},
        {"1", Units::KiloGramForce, "1"},
        {"7", Units::KiloGramForce, "7"},
        {"-1", Units::KiloGramForce, "-1"},
        // Not an integer: treated as absent, so the default is written.
        {"kgf", Units::KiloNewton, "0"},
        {"", Units::KiloNewton, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        FreshSettings settings;
        settings.set("Dimension", QString::fromUtf8(c.stored));
        ScriptedPrompter prompts;
        TForm1 window(prompts);
        EXPECT_EQ(window.state().dimension, c.dimension);
        EXPECT_EQ(settings.value("Dimension").toStdString(), c.afterStart);
    }
}

TEST(Startup, TheWindowStartsInTheNoTableState)
{
    FreshSettings settings;
    ScriptedPrompter prompts;
    TForm1 window(prompts);

    EXPECT_TRUE(window.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_FALSE(window.state().table_open);
    EXPECT_FALSE(window.state().table_changed);
    EXPECT_TRUE(window.DataGrid1->isHidden());
    EXPECT_EQ(window.windowTitle().toStdString(), "ЗЕНТ-5");
    EXPECT_EQ(application_title(), "ЗЕНТ-5");
    EXPECT_EQ(window.background_color(), window.palette().color(QPalette::Dark));
    // The window's definition marks "S, кв.см"; start-up clears every mark.
    for (const GridColumn& c : window.DataGrid1->columns())
        EXPECT_EQ(c.TitleState, GridTitleState::tsSortedNone) << c.field;
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(MainWindowLook, TableOpenLookAndBack)
{
    FreshSettings settings;
    ScriptedPrompter prompts;
    TForm1 window(prompts);
    testing::FakeTable table;
    window.attach_table(&table);

    window.tab_vis_en();
    EXPECT_TRUE(window.DataGrid1->isHidden()) << "a closed table shows no grid";
    EXPECT_TRUE(table.calls.empty());

    table.active = true;
    window.set_background(true);
    window.enable_button();
    window.tab_vis_en();
    EXPECT_FALSE(window.DataGrid1->isHidden());
    EXPECT_EQ(table.calls, (std::vector<std::string>{"First", "Refresh"}));
    EXPECT_EQ(window.background_color(), window.palette().color(QPalette::Button));

    window.set_caption(table_caption("/data/May.db"));
    EXPECT_EQ(window.windowTitle().toStdString(), "May - ЗЕНТ-5");
    EXPECT_EQ(application_title(), "May - ЗЕНТ-5");

    window.Close_DB();
    EXPECT_TRUE(window.DataGrid1->isHidden());
    EXPECT_FALSE(window.N5->isEnabled());
    EXPECT_EQ(window.windowTitle().toStdString(), "ЗЕНТ-5");
    EXPECT_EQ(application_title(), "ЗЕНТ-5");
    EXPECT_EQ(window.background_color(), window.palette().color(QPalette::Dark));
}

TEST(MainWindowLook, CaptionOfAnOpenTable)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/data/May.db", "May - ЗЕНТ-5"},
        {"May.db", "May - ЗЕНТ-5"},
        {"/data/arch.2024.db", "arch.2024 - ЗЕНТ-5"},
        {"/data.old/May", "May - ЗЕНТ-5"},
        {"C:\\Data\\May.db", "May - ЗЕНТ-5"},
        {"/data/Испытания мая.db", "Испытания мая - ЗЕНТ-5"},
    };
    for (const auto& [path, caption] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(table_caption(path), caption);
    }
}

TEST(Closing, ClosingTheWindowStoresTheDirectoryEvenWithNoTable)
{
    FreshSettings settings;
    ScriptedPrompter prompts;
    TForm1 window(prompts);
    window.state().default_dir = "/home/user/таблицы";

    window.close();
    testing::dropQuitRequests();

    EXPECT_EQ(settings.value("Default_dir"), QStringLiteral("/home/user/таблицы"));
    EXPECT_TRUE(settings.value("Table_1").startsWith(QStringLiteral("object ")));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(Closing, UnsavedEditsBringTheSavePromptFirst)
{
    for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        FreshSettings settings;
        ScriptedPrompter prompts;
        TForm1 window(prompts);
        window.state().table_open = true;
        window.state().table_changed = true;
        prompts.answers.push_back(answer);

        window.close();
        testing::dropQuitRequests();

        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].caption, "ЗЕНТ-5");
        EXPECT_EQ(prompts.messages[0].text, "Сохранить изменения в таблицах ?");
        EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Question);
        EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_FALSE(window.state().table_open);
        EXPECT_FALSE(window.state().table_changed);
    }
}

TEST(Closing, ExitLeavesTheStoredDirectoryAlone)
{
    FreshSettings settings;
    ScriptedPrompter prompts;
    TForm1 window(prompts);
    const QString stored = settings.value("Default_dir");
    window.state().default_dir = "/elsewhere";
    window.state().table_changed = true;

    window.N11->trigger();
    testing::dropQuitRequests();

    EXPECT_EQ(settings.value("Default_dir"), stored);
    EXPECT_FALSE(settings.contains("Table_1"));
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
} // namespace zent5
