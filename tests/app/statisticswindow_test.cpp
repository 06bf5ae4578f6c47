// The statistics window, opened from "Сервис > Статистика" as the user does
// and made directly where only the window is under test.
#include "print/printplatform.h"
#include "print/pdftools.h"
#include "records/units.h"
#include "app/statisticswindow.h"
#include "tests/app/tablewindow.h"
#include "tests/common/qtlocale.h"
#include "tests/common/scopedlocale.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace zent5 {
namespace {

using stats::StatisticsWindow;
using testing::TableWindow;

const std::optional<double> none;

struct StatsTestRow {
    double n;
    const char* type;
    double d;
    double p, pKg, s, sKg;
};

// Forces 41.2, 38.5, 44.0 (kN) and 4201, 3926, 4487 (kgf) of А500С, d 12,
// and one row of А240 between them.
const std::vector<StatsTestRow> kRows = {
    {1, "А500С", 12, 41.2, 4201, 525.0, 5353},
    {2, "А240", 8, 20.0, 2039, 398.0, 4058},
    {3, "А500С", 12, 38.5, 3926, 490.1, 4998},
    {4, "А500С", 12, 44.0, 4487, 560.3, 5713},
};

void writeStatsTable(const std::string& path, const std::vector<StatsTestRow>& rows)
{
    DbfTable t;
    const std::filesystem::path file(path);
    t.setFilePath(file.parent_path().string());
    t.setTableName(file.filename().string());
    t.CreateNew();
    t.Open();
    for (const StatsTestRow& r : rows) {
        t.Append();
        t.SetFieldValue("N", r.n);
        t.SetFieldValue("TYPE", std::string(r.type));
        for (const auto& [field, v] : {std::pair{"D", r.d}, {"P", r.p}, {"P_KG", r.pKg}, {"S", r.s}, {"S_KG", r.sKg}})
            t.SetFieldValue(field, v);
        t.Post();
    }
    t.Close();
}

std::vector<stats::StatsRow> statsRows(Units dimension)
{
    std::vector<stats::StatsRow> rows;
    for (const StatsTestRow& r : kRows) {
        if (dimension == Units::KiloGramForce)
            rows.push_back({r.n, r.type, r.d, r.pKg, r.sKg});
        else
            rows.push_back({r.n, r.type, r.d, r.p, r.s});
    }
    return rows;
}

// A number written with '.' as the system shows it.
std::string systemNumber(std::string t)
{
    std::replace(t.begin(), t.end(), '.', text::decimalSeparator());
    return t;
}

std::string text(const QLabel* l) { return l->text().toStdString(); }
std::string text(const QLineEdit* e) { return e->text().toStdString(); }

// A figure of the window's table: line (series and quantity) by column heading.
std::string figure(const StatisticsWindow& w, int line, const char* heading)
{
    for (int c = 0; c < w.Figures->columnCount(); ++c)
        if (w.Figures->horizontalHeaderItem(c)->text() == QString::fromUtf8(heading))
            return w.Figures->item(line, c)->text().toStdString();
    return "(no column " + std::string(heading) + ")";
}

// Replaces the text of a field as the user does: the first key typed over
// the whole text, or Delete to leave it empty.
void retype(QLineEdit* edit, const QString& typed)
{
    edit->selectAll();
    if (typed.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    testing::type_text(edit, typed);
}

class NoPrinter : public PrintPlatform {
public:
    bool printer = false;
    int previews = 0;
    int previewPages = 0;
    std::function<bool(QPrintDialog&)> onPrint;

    bool printerInstalled() const override { return printer; }
    void runPreview(QPrintPreviewDialog& dialog) override
    {
        ++previews;
        dialog.show();
        QCoreApplication::processEvents();
        if (auto* pages = dialog.findChild<QPrintPreviewWidget*>())
            previewPages = pages->pageCount();
        dialog.reject();
    }
    bool runPrintDialog(QPrintDialog& dialog) override { return onPrint && onPrint(dialog); }
};

class StatisticsCommand : public TableWindow {
protected:
    void SetUp() override
    {
        writeStatsTable(path("Stats.db"), kRows);
        show(w);
    }

    // Opens the window from the menu and hands it to `look`; false when none opened.
    bool openStatistics(std::function<void(StatisticsWindow&)> look)
    {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            if (auto* s = qobject_cast<StatisticsWindow*>(QApplication::activeModalWidget())) {
                shown = true;
                look(*s);
                s->CloseButton->click();
            }
        });
        w.Statistics1->trigger();
        QCoreApplication::processEvents();
        return shown;
    }

    TForm1 w{prompts};
};

TEST_F(StatisticsCommand, OnlyWithATableOpen)
{
    EXPECT_FALSE(w.Statistics1->isEnabled());
    EXPECT_FALSE(openStatistics([](StatisticsWindow&) {})) << "the command checks for itself";
    openByMenu(w, path("Stats.db"));
    EXPECT_TRUE(w.Statistics1->isEnabled());
    w.N7->trigger();
    EXPECT_FALSE(w.Statistics1->isEnabled());
    EXPECT_TRUE(errors.prompter.messages.empty());
}

TEST_F(StatisticsCommand, AllRowsOrTheSelectedOnesInTheGridsOrder)
{
    openByMenu(w, path("Stats.db"));
    const struct {
        const char* name;
        std::vector<int> selected;
        std::string caption;
        std::string firstType; // the series that appears first
        size_t rows;
    } cases[] = {
        {"nothing selected", {}, "Все строки: 4", "А500С", 4},
        {"one row selected", {1}, "Все строки: 4", "А500С", 4},
        {"three rows selected", {1, 2, 3}, "Выделено строк: 3", "А240", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid(w).clearSelection();
        for (int row : c.selected)
            grid(w).selectionModel()->select(grid(w).model()->index(row, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ASSERT_TRUE(openStatistics([&](StatisticsWindow& s) {
            EXPECT_EQ(text(s.SourceLabel), c.caption);
            EXPECT_EQ(s.series().front().type, c.firstType);
            EXPECT_EQ(s.series().back().rows.size(), c.rows);
        }));
    }

    // Sorted by force, smallest last: the А240 row, shown last, starts no series first.
    clickTitle(w, "P");
    ASSERT_EQ(shownNs(w), (std::vector<int>{4, 1, 3, 2}));
    grid(w).clearSelection();
    ASSERT_TRUE(openStatistics([](StatisticsWindow& s) {
        const ChartContent& chart = s.chartContent();
        ASSERT_FALSE(chart.marks.empty());
        EXPECT_EQ(chart.marks[0].points.front().y, 44.0) << "the chart follows the grid's order";
        EXPECT_EQ(chart.marks[0].points.back().y, 20.0);
    }));
    EXPECT_TRUE(errors.prompter.messages.empty());
}

TEST_F(StatisticsCommand, RequiredValuesAreKeptInKilonewtonsAndShownInTheUnitsOfTheGrid)
{
    openByMenu(w, path("Stats.db"));
    ASSERT_TRUE(openStatistics([](StatisticsWindow& s) {
        EXPECT_EQ(text(s.ForceEdit), "");
        retype(s.ForceEdit, QStringLiteral("40,5"));
        retype(s.StressEdit, QStringLiteral("500"));
    }));
    EXPECT_EQ(settings.value("Required_force").toStdString(), "40.5");
    EXPECT_EQ(settings.value("Required_stress").toStdString(), "500");

    w.state().dimension = Units::KiloGramForce;
    w.set_vis_on_dimens();
    ASSERT_TRUE(openStatistics([](StatisticsWindow& s) {
        EXPECT_EQ(s.required().force, kgfFromKilonewtons(40.5));
        EXPECT_EQ(text(s.StressEdit), systemNumber("5098.58106488964"));
        EXPECT_EQ(figure(s, 0, "Не прошли"), "1") << "3926 kgf is below 40.5 kN";
        retype(s.ForceEdit, QStringLiteral("4000"));
        retype(s.StressEdit, QString());
    }));
    EXPECT_EQ(settings.value("Required_force").toStdString(), "39.2266") << "4000 kgf";
    EXPECT_EQ(settings.value("Required_stress").toStdString(), "") << "an empty field asks nothing";

    w.state().dimension = Units::KiloNewton;
    w.set_vis_on_dimens();
    ASSERT_TRUE(openStatistics([](StatisticsWindow& s) {
        EXPECT_EQ(text(s.ForceEdit), systemNumber("39.2266"));
        EXPECT_EQ(text(s.StressEdit), "");
    }));
    EXPECT_TRUE(errors.prompter.messages.empty());
}

class StatisticsWindowTest : public ::testing::Test {
protected:
    testing::FreshSettings settings;
    std::vector<stats::RequiredValues> kept;
    NoPrinter platform;

    std::unique_ptr<StatisticsWindow> make(Units dimension, const stats::RequiredValues& keptKn = {})
    {
        stats::StatisticsInput input{statsRows(dimension), false, dimension, "Stats.db"};
        return std::make_unique<StatisticsWindow>(
            std::move(input), keptKn, [this](const stats::RequiredValues& v) { kept.push_back(v); }, &platform);
    }
};

TEST_F(StatisticsWindowTest, FiguresAsTheGridShowsThemUnderEveryLocale)
{
    for (const char* name : testing::kTestLocales) {
        const testing::ScopedLocale locale(name);
        if (!locale.ok())
            continue;
        const testing::DefaultQtLocale qtLocale(name);
        const char sep = std::string(name).rfind("C.", 0) == 0 ? '.' : ',';
        auto shown = [sep](std::string t) {
            std::replace(t.begin(), t.end(), '.', sep);
            return t;
        };
        SCOPED_TRACE(name);
        auto kn = make(Units::KiloNewton, {12.5, none});
        EXPECT_EQ(text(kn->ForceEdit), shown("12.5"));
        EXPECT_EQ(figure(*kn, 0, "Величина"), "F, кН");
        EXPECT_EQ(figure(*kn, 0, "Среднее"), shown("41.23"));
        EXPECT_EQ(figure(*kn, 0, "Мин."), shown("38.50"));
        EXPECT_EQ(figure(*kn, 1, "Среднее"), shown("525.1"));
        EXPECT_EQ(figure(*kn, 1, "V, %"), shown("6.7"));
        EXPECT_EQ(figure(*kn, 2, "d, мм"), "8");

        auto kgf = make(Units::KiloGramForce);
        EXPECT_EQ(figure(*kgf, 0, "Величина"), "F, кГс");
        EXPECT_EQ(figure(*kgf, 0, "Среднее"), shown("4204.66666666667"));
        EXPECT_EQ(figure(*kgf, 0, "Мин."), "3926");
        EXPECT_EQ(figure(*kgf, 1, "s"), shown("357.50291374104"));
        EXPECT_EQ(kgf->chartContent().y.title, "Усилие F, кГс");
    }
}

TEST_F(StatisticsWindowTest, WrongInputIsSaidInTheWindowAndChangesNothing)
{
    auto w = make(Units::KiloNewton, {40.0, none});
    EXPECT_TRUE(w->InputMessage->isHidden());
    EXPECT_EQ(figure(*w, 0, "Не прошли"), "1");
    EXPECT_EQ(figure(*w, 0, "N не прошедших"), "3");
    // Typed key by key: the figures and the kept value are those of the last
    // text that was a valid value.
    const struct {
        const char* typed;
        bool valid;
        std::string failed; // of the force of the first series
        std::optional<double> kept;
    } steps[] = {
        {"abc", false, "1", 40.0}, {"-5", false, "1", 40.0}, {"45", true, "3", 45.0},
        {"41,5x", false, "2", 41.5}, {"", true, "", none},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.typed);
        retype(w->ForceEdit, QString::fromUtf8(step.typed));
        EXPECT_EQ(w->InputMessage->isHidden(), step.valid);
        if (!step.valid) {
            EXPECT_EQ(text(w->InputMessage), "Требуемое усилие: введите число не меньше 0 или оставьте поле пустым.");
        }
        EXPECT_EQ(figure(*w, 0, "Не прошли"), step.failed);
        EXPECT_EQ(kept.empty() ? std::optional<double>(40.0) : kept.back().force, step.kept);
    }
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.back(), (stats::RequiredValues{none, none}));

    retype(w->StressEdit, QStringLiteral("x"));
    retype(w->ForceEdit, QStringLiteral("y"));
    EXPECT_EQ(text(w->InputMessage), "Требуемое усилие: введите число не меньше 0 или оставьте поле пустым.\n"
                                     "Требуемое напряжение: введите число не меньше 0 или оставьте поле пустым.");
}

TEST_F(StatisticsWindowTest, TheChartShowsItsContentAndFollowsTheChoice)
{
    auto w = make(Units::KiloNewton, {40.0, none});
    auto lineSeries = [&] {
        std::vector<QLineSeries*> found;
        for (QAbstractSeries* s : w->ChartView->chart()->series())
            found.push_back(qobject_cast<QLineSeries*>(s));
        return found;
    };
    // All rows, force: the three levels, then the marks passed and failed.
    EXPECT_EQ(w->SeriesBox->currentText().toStdString(), "Все строки");
    std::vector<QLineSeries*> series = lineSeries();
    ASSERT_EQ(series.size(), 5u);
    const ChartContent& chart = w->chartContent();
    EXPECT_EQ(series[3]->name().toStdString(), chart.marks[0].label);
    EXPECT_EQ(series[3]->count(), 2) << "41.2 and 44.0";
    EXPECT_EQ(series[4]->count(), 2) << "20.0 and 38.5 are below 40";
    EXPECT_EQ(series[4]->pen().color(), QColor(0xD6, 0x27, 0x28));
    EXPECT_EQ(series[4]->lightMarker().pixelColor(4, 4), QColor(0xD6, 0x27, 0x28));
    EXPECT_EQ(series[2]->name().toStdString(), systemNumber("Требуемое 40.00"));
    EXPECT_EQ(series[2]->at(0).y(), 40.0);
    EXPECT_EQ(w->ChartView->chart()->title().toStdString(), "Все строки (n = 4)");

    // A line of the figures chooses its series and quantity.
    w->Figures->setCurrentCell(3, 0);
    EXPECT_EQ(w->QuantityBox->currentIndex(), 1);
    EXPECT_EQ(w->chartContent().y.title, "Напряжение σ, МПа");
    EXPECT_EQ(w->ChartView->chart()->title().toStdString(), "А240, d 8 мм (n = 1)");
    EXPECT_EQ(lineSeries().size(), 2u) << "one value: the mean and one mark, no requirement";
}

TEST_F(StatisticsWindowTest, PrintAndPreviewPutThePageOnPaper)
{
    auto w = make(Units::KiloNewton, {40.0, none});
    w->PrintButton->click();
    EXPECT_EQ(platform.previews, 0) << "without a printer nothing happens";

    w->PreviewButton->click();
    EXPECT_EQ(platform.previews, 1);
    EXPECT_EQ(platform.previewPages, 1);

    if (!testing::havePopplerTools())
        GTEST_SKIP() << "poppler-utils not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    platform.printer = true;
    platform.onPrint = [pdf](QPrintDialog& dialog) {
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(pdf);
        return true;
    };
    w->QuantityBox->setCurrentIndex(1);
    w->PrintButton->click();
    const std::string printed = testing::pdfText(pdf);
    for (const char* shown : {"Статистика испытаний", "Таблица: Stats.db", "Все строки: 4", "График: Напряжение, Все строки",
                              "Напряжение σ, МПа", "Стр. 1 из 1"})
        EXPECT_NE(printed.find(shown), std::string::npos) << shown << "\n" << printed;
}

} // namespace
} // namespace zent5
