#pragma once

#include "print/reportcommands.h"
#include "stats/statisticspage.h"
#include "stats/statisticssheet.h"

#include <QDialog>

#include <functional>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zent5 {
class PrintPlatform;
}

namespace zent5::stats {

// The statistics window: the figures of the rows it was given per series
// and quantity, the two required values, and the chart of one quantity of
// one series beside them; "Предварительный просмотр" and "Печать" put the
// same on paper. The rows are taken once, when the window is made.
class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    // `keptKilonewtons`: the required values last entered, in kN and MPa.
    // `keep` is called with the required values in kN and MPa whenever the
    // user enters a valid one. `platform` answers for the printers and the
    // print windows; the real one when null.
    StatisticsWindow(StatisticsInput input, const RequiredValues& keptKilonewtons,
                     std::function<void(const RequiredValues&)> keep, PrintPlatform* platform = nullptr,
                     QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // The required values in the units shown, as the figures use them.
    const RequiredValues& required() const { return m_required; }
    const std::vector<Series>& series() const { return m_series; }
    const ChartContent& chartContent() const { return m_chart; }
    // The page "Печать" prints now.
    StatisticsPage page() const;

    QLabel* SourceLabel = nullptr;       // "Все строки: 24" / "Выделено строк: 7"
    QLineEdit* ForceEdit = nullptr;      // "Требуемое усилие"
    QLineEdit* StressEdit = nullptr;     // "Требуемое напряжение"
    QLabel* InputMessage = nullptr;      // what is wrong with the typed values
    QTableWidget* Figures = nullptr;
    QComboBox* SeriesBox = nullptr;      // the series of the chart
    QComboBox* QuantityBox = nullptr;    // force or stress
    QChartView* ChartView = nullptr;
    QPushButton* PreviewButton = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;

public slots:
    void PreviewButtonClick();
    void PrintButtonClick();

private:
    void requiredEdited(Quantity q);
    void recompute();
    void showFigures();
    void showChart();
    void chooseFromFigures(int line);
    size_t chartSeries() const;
    Quantity chartQuantity() const;

    const StatisticsInput m_input;
    const char m_separator;
    RequiredValues m_kept;     // kN and MPa
    RequiredValues m_required; // units shown
    std::function<void(const RequiredValues&)> m_keep;
    std::vector<Series> m_series;
    FigureTable m_figures;
    ChartContent m_chart;
    QChart* m_qchart = nullptr;
    bool m_invalid[2] = {false, false};
    ReportCommands m_reports;
};

} // namespace zent5::stats
