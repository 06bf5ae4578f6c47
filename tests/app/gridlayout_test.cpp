#include "app/datagrid.h"
#include "app/gridlayout.h"
#include "app/settingsstore.h"
#include "records/error.h"
#include "tests/app/testsupport.h"

#include <gtest/gtest.h>

namespace zent5 {
namespace {

TEST(ColumnLayout, TheTextListsOnlyWhatDiffersFromAFreshColumnWithCrLf)
{
    GridColumns columns = GridColumns::measurement();
    columns.clearSortMarks();
    columns[0].Width = 100;
    columns[0].TitleState = GridTitleState::tsSortedDown;
    columns[0].Font.bold = true;
    columns[11].Color = 0x00FFFF;
    columns[11].Font.name = "Liberation Sans";
    const std::string text = layout_text(columns);

    EXPECT_EQ(text.substr(0, 47), "object TLayoutStorage\r\n  Data = <\r\n    item\r\n  ");
    EXPECT_NE(text.find("      FieldName = 'N'\r\n      Width = 100\r\n      TitleState = tsSortedDown\r\n"
                        "      Alignment = taCenter\r\n      Font.Style = [fsBold]\r\n    end\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("      FieldName = 'COMMENT'\r\n      Width = 111\r\n      LayoutIndex = 11\r\n"
                        "      Color = 65535\r\n      Alignment = taCenter\r\n      Font.Name = 'Liberation Sans'\r\n"
                        "    end>\r\nend\r\n"),
              std::string::npos)
        << text;
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        ASSERT_EQ(text[i - 1], '\r') << "at " << i;
}

TEST(ColumnLayout, WhatIsSavedIsRestored)
{
    GridColumns saved = GridColumns::measurement();
    saved[3].Width = 7;
    saved[5].TitleState = GridTitleState::tsSortedUp;
    saved[6].Color = 0x123456;
    saved[7].Alignment = ColumnAlignment::taLeftJustify;
    saved[8].Font = ColumnFont{"O'Brien Sans", 14, true, true, true, true, 0x0000FF};
    saved[9].FooterState = 2;
    saved[10].OptionsVisual = 5;
    saved[11].LayoutLevel = 1;

    GridColumns restored = GridColumns::measurement();
    restored.clearSortMarks();
    apply_layout_text(layout_text(saved), restored);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(saved[i].field);
        EXPECT_EQ(restored[i].Width, saved[i].Width);
        EXPECT_EQ(restored[i].LayoutLevel, saved[i].LayoutLevel);
        EXPECT_EQ(restored[i].LayoutIndex, saved[i].LayoutIndex);
        EXPECT_EQ(restored[i].TitleState, saved[i].TitleState);
        EXPECT_EQ(restored[i].FooterState, saved[i].FooterState);
        EXPECT_EQ(restored[i].OptionsVisual, saved[i].OptionsVisual);
        EXPECT_EQ(restored[i].Color, saved[i].Color);
        EXPECT_EQ(restored[i].Alignment, saved[i].Alignment);
        EXPECT_EQ(restored[i].Font, saved[i].Font);
    }
}

TEST(ColumnLayout, FieldNamesMatchWithoutCaseAndStrangersAreSkipped)
{
    GridColumns columns = GridColumns::measurement();
    const GridColumns before = columns;
    apply_layout_text("object TLayoutStorage\r\n  Data = <\r\n"
                      "    item\r\n      FieldName = 'comment'\r\n      Color = 255\r\n    end\r\n"
                      "    item\r\n      FieldName = 'SERIAL'\r\n      Width = 9\r\n    end\r\n"
                      "    item\r\n      FieldName = 'd'\r\n      Width = 50\r\n      Title.Caption = 'x'\r\n    end>\r\n"
                      "end\r\n",
                      columns);
    EXPECT_EQ(columns.find("COMMENT")->Color, 255u);
    EXPECT_EQ(columns.find("D")->Width, 50);
    for (const char* untouched : {"N", "DATE", "P", "F_MM"})
        EXPECT_EQ(columns.find(untouched)->Width, before[before.indexOf(untouched)].Width) << untouched;
}

TEST(ColumnLayout, TextThatIsNoLayoutFailsAndChangesNothing)
{
    const char* broken[] = {
        "",
        "garbage",
        "object TLayoutStorage\r\n  Data = <\r\n",
        "object TLayoutStorage\r\n  Data = <\r\n    item\r\n      FieldName = 'N'\r\n      Width = 1x\r\n    end>\r\nend\r\n",
        "object TLayoutStorage\r\n  Data = <\r\n    item\r\n      Width = 10\r\n    end>\r\nend\r\n",
        "object TLayoutStorage\r\n  Data = <\r\n    item\r\n      FieldName = 'N\r\n    end>\r\nend\r\n",
        "object TLayoutStorage\r\n  Data = <\r\n    item\r\n      FieldName = 'N'\r\n      TitleState = up\r\n    end>\r\nend\r\n",
        "object TLayoutStorage\r\n  Data = <\r\n    item\r\n      FieldName = 'N'\r\n      Width = -5\r\n    end>\r\nend\r\n",
        "object TLayoutStorage\r\n  Data = <\r\n    item\r\n      FieldName = 'N'\r\n      Font.Style = [fsHuge]\r\n    end>\r\nend\r\n",
        "object TLayoutStorage\r\n  Data = <\r\n    item\r\n      FieldName = 'N'\r\n    end>\r\nend\r\nend\r\n",
    };
    for (const char* text : broken) {
        SCOPED_TRACE(text);
        GridColumns columns = GridColumns::measurement();
        try {
            apply_layout_text(text, columns);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Ошибка в описании столбцов таблицы");
        }
        EXPECT_EQ(columns.find("N")->Width, 143);
    }
}

TEST(ColumnLayout, TheFirstLoadFitsTheColumnsAndStoresThemAtOnce)
{
    testing::FreshSettings stored;
    SettingsStore settings;
    DataGrid grid;
    grid.resize(1200, 300);

    load_layout(settings, grid);
    for (const GridColumn& c : grid.columns())
        EXPECT_EQ(c.Width, 100) << c.field;
    ASSERT_TRUE(stored.contains("Table_1"));
    EXPECT_EQ(stored.value("Table_1").toStdString(), layout_text(grid.columns()));

    DataGrid next;
    next.columns().find("COMMENT")->Color = 0x00FF00;
    grid.columns().find("COMMENT")->Color = 0x0000FF;
    save_layout(settings, grid);
    load_layout(settings, next);
    EXPECT_EQ(next.columns().find("COMMENT")->Color, 0x0000FFu);
    EXPECT_EQ(next.columns().find("N")->Width, 100);
}

} // namespace
} // namespace zent5
