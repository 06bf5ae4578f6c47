#include "app/datagrid.h"
#include "app/modalresult.h"
#include "app/programwindows.h"
#include "app/settingsstore.h"
#include "app/tform1.h"
#include "app/tform3.h"
#include "tests/app/testsupport.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace zent5 {
namespace {

using testing::FreshSettings;
using testing::ScriptedPrompter;

class UnitsDialog : public ::testing::Test {
protected:
    FreshSettings stored;
    ProgramState state;
    SettingsStore settings;
    TForm3 dialog{state, settings};
};

TEST_F(UnitsDialog, Texts)
{
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Размерность");
    EXPECT_EQ(dialog.GroupBox1->title().toStdString(), "Размерность");
    EXPECT_EQ(dialog.RadioButton1->text().toStdString(), "кН (МПа)");
    EXPECT_EQ(dialog.RadioButton2->text().toStdString(), "кГс (кГс/кв.см)");
    EXPECT_EQ(dialog.Button1->text().toStdString(), "Ok");
    EXPECT_EQ(dialog.Button2->text().toStdString(), "Отмена");
}

TEST_F(UnitsDialog, ShowingPresetsTheCurrentUnitsNotAnEarlierChoice)
{
    for (Units units : {Units::KiloGramForce, Units::KiloNewton, Units::KiloGramForce}) {
        SCOPED_TRACE(units == Units::KiloGramForce ? "kgf" : "kN");
        state.dimension = units;
        // A choice left by a cancelled showing.
        dialog.RadioButton1->setChecked(units == Units::KiloGramForce);
        dialog.FormShow();
        EXPECT_EQ(dialog.RadioButton2->isChecked(), units == Units::KiloGramForce);
        EXPECT_EQ(dialog.RadioButton1->isChecked(), units == Units::KiloNewton);
    }
}

TEST_F(UnitsDialog, OkStoresTheChoice)
{
    state.dimension = Units::KiloGramForce;
    dialog.FormShow();
    dialog.RadioButton1->setChecked(true);
    dialog.Button1Click();
    EXPECT_EQ(dialog.result(), mrOk);
    EXPECT_EQ(state.dimension, Units::KiloNewton);
    EXPECT_EQ(stored.value("Dimension"), QStringLiteral("0"));

    dialog.FormShow();
    dialog.RadioButton2->setChecked(true);
    dialog.Button1Click();
    EXPECT_EQ(state.dimension, Units::KiloGramForce);
    EXPECT_EQ(stored.value("Dimension"), QStringLiteral("1"));
}

TEST_F(UnitsDialog, OkWithoutAChangeWritesTheSettingAgain)
{
    stored.set("Dimension", 5);
    state.dimension = Units::KiloGramForce;
    dialog.FormShow();
    dialog.Button1Click();
    EXPECT_EQ(state.dimension, Units::KiloGramForce);
    EXPECT_EQ(stored.value("Dimension"), QStringLiteral("1"));
}

TEST_F(UnitsDialog, CancelAndTheFrameCloseChangeNothing)
{
    stored.set("Dimension", 1);
    for (const std::function<void()>& cancel :
         {std::function<void()>([&] { dialog.Button2Click(); }), std::function<void()>([&] { dialog.reject(); })}) {
        state.dimension = Units::KiloGramForce;
        dialog.FormShow();
        dialog.RadioButton1->setChecked(true);
        cancel();
        EXPECT_EQ(dialog.result(), mrCancel);
        EXPECT_EQ(state.dimension, Units::KiloGramForce);
        EXPECT_EQ(stored.value("Dimension"), QStringLiteral("1"));
    }
}

// Runs `answer` on the modal dialog once its loop runs.
void whenModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
}

std::vector<std::string> shownCaptions(const DataGrid& grid)
{
    std::vector<std::string> captions;
    for (int i = 0; i < grid.columns().size(); ++i)
        if (!grid.isColumnHidden(i))
            captions.push_back(grid.columns()[i].caption);
    return captions;
}

TEST(UnitsCommand, OkSwitchesTheGridColumnsAtOnceAndCancelKeepsThem)
{
    FreshSettings stored;
    stored.set("Dimension", 1);
    ScriptedPrompter prompts;
    ProgramWindows windows(prompts);
    TForm1& main = windows.main_window();
    const std::vector<std::string> kgf = {"N",      "Дата",         "Время",    "Тип арматуры", "d, мм",
                                          "F, кГс", "б, кГс/кв.см", "S, кв.см", "Примечание"};
    const std::vector<std::string> kn = {"N",     "Дата",   "Время",    "Тип арматуры", "d, мм",
                                         "F, кН", "б, МПа", "S, кв.мм", "Примечание"};
    ASSERT_EQ(shownCaptions(*main.DataGrid1), kgf);

    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<TForm3*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->RadioButton2->isChecked());
        dialog->RadioButton1->click();
        dialog->Button2->click();
    });
    main.N15->trigger();
    EXPECT_EQ(shownCaptions(*main.DataGrid1), kgf);
    EXPECT_EQ(stored.value("Dimension"), QStringLiteral("1"));

    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<TForm3*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->RadioButton2->isChecked()) << "the cancelled choice is forgotten";
        dialog->RadioButton1->click();
        dialog->Button1->click();
    });
    main.N15->trigger();
    EXPECT_EQ(shownCaptions(*main.DataGrid1), kn);
    EXPECT_EQ(main.state().dimension, Units::KiloNewton);
    EXPECT_EQ(stored.value("Dimension"), QStringLiteral("0"));
}

} // namespace
} // namespace zent5
