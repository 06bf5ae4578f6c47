#include "app/statisticswindow.h"

#include "print/chartpainter.h"
#include "records/text.h"
#include "records/units.h"
#include "stats/figuretext.h"
#include "stats/requiredentry.h"
#include "stats/shownunits.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QLegendMarker>
#include <QPainter>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zent5::stats {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

constexpr int kMarkSize = 8; // pixels

QImage markPicture(const QColor& colour)
{
    QImage picture(kMarkSize, kMarkSize, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0.5, 0.5, kMarkSize - 1, kMarkSize - 1));
    return picture;
}

// An axis whose labels are the content's tick texts at their values.
QCategoryAxis* axisOf(const ChartAxis& content)
{
    auto* axis = new QCategoryAxis;
    axis->setRange(content.minimum, content.maximum);
    axis->setStartValue(content.minimum);
    for (const ChartTick& t : content.ticks)
        axis->append(qs(t.text), t.value);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setTitleText(qs(content.title));
    return axis;
}

void showContent(QChart& chart, const ChartContent& content)
{
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
    chart.setTitle(qs(content.title));
    QCategoryAxis* x = axisOf(content.x);
    QCategoryAxis* y = axisOf(content.y);
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    auto attach = [&](QAbstractSeries* series) {
        chart.addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    };
    for (const ChartLevel& level : content.levels) {
        auto* line = new QLineSeries;
        line->setName(qs(level.label));
        line->setPen(QPen(chartColour(level.colour), 2, chartPenStyle(level.style)));
        line->append(content.x.minimum, level.value);
        line->append(content.x.maximum, level.value);
        attach(line);
    }
    // Marks are a line series without its line, drawn with one picture per
    // point: a scatter series makes an item of every point, and a table of
    // 100,000 rows would take seconds to show.
    for (const ChartMarks& marks : content.marks) {
        auto* points = new QLineSeries;
        points->setName(qs(marks.label));
        QPen noLine(chartColour(marks.colour));
        noLine.setStyle(Qt::NoPen);
        points->setPen(noLine);
        points->setLightMarker(markPicture(chartColour(marks.colour)));
        points->setMarkerSize(kMarkSize);
        QList<QPointF> at;
        at.reserve(qsizetype(marks.points.size()));
        for (const ChartPoint& p : marks.points)
            at.append(QPointF(p.x, p.y));
        points->replace(at);
        attach(points);
        for (QLegendMarker* legend : chart.legend()->markers(points))
            legend->setShape(QLegend::MarkerShapeCircle);
    }
}

QLabel* label(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

} // namespace

StatisticsWindow::StatisticsWindow(StatisticsInput input, const RequiredValues& keptKilonewtons,
                                   std::function<void(const RequiredValues&)> keep, PrintPlatform* platform,
                                   QWidget* parent)
    : QDialog(parent), m_input(std::move(input)), m_separator(text::decimalSeparator()), m_kept(keptKilonewtons),
      m_required(m_input.dimension == Units::KiloGramForce ? requiredInKgf(keptKilonewtons) : keptKilonewtons), m_keep(std::move(keep)),
      m_reports(platform)
{
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(QStringLiteral("Статистика"));
    resize(1240, 640);
    const ShownUnits units = shownUnits(m_input.dimension);

    SourceLabel = new QLabel(qs(sourceLine(m_input.rows.size(), m_input.selection)), this);
    SourceLabel->setObjectName(QStringLiteral("SourceLabel"));

    auto editFor = [&](Quantity q, const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaximumWidth(160);
        if (const std::optional<double>& v = m_required.value(q))
            edit->setText(qs(numberText(*v, GridFormat::General, m_separator)));
        connect(edit, &QLineEdit::textEdited, this, [this, q] { requiredEdited(q); });
        return edit;
    };
    ForceEdit = editFor(Quantity::Force, "ForceEdit");
    StressEdit = editFor(Quantity::Stress, "StressEdit");
    auto* requiredRow = new QHBoxLayout;
    requiredRow->addWidget(label("Требуемое усилие", this));
    requiredRow->addWidget(ForceEdit);
    requiredRow->addWidget(new QLabel(qs(std::string(units.forceUnit)), this));
    requiredRow->addSpacing(24);
    requiredRow->addWidget(label("Требуемое напряжение", this));
    requiredRow->addWidget(StressEdit);
    requiredRow->addWidget(new QLabel(qs(std::string(units.stressUnit)), this));
    requiredRow->addStretch(1);
    InputMessage = new QLabel(this);
    InputMessage->setObjectName(QStringLiteral("InputMessage"));
    InputMessage->setStyleSheet(QStringLiteral("color: #c00000"));
    InputMessage->hide();

    Figures = new QTableWidget(this);
    Figures->setObjectName(QStringLiteral("Figures"));
    Figures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Figures->setSelectionBehavior(QAbstractItemView::SelectRows);
    Figures->setSelectionMode(QAbstractItemView::SingleSelection);
    Figures->verticalHeader()->hide();
    Figures->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Figures->verticalHeader()->setDefaultSectionSize(Figures->fontMetrics().height() + 6);
    connect(Figures, &QTableWidget::currentCellChanged, this, [this](int row) { chooseFromFigures(row); });

    SeriesBox = new QComboBox(this);
    SeriesBox->setObjectName(QStringLiteral("SeriesBox"));
    QuantityBox = new QComboBox(this);
    QuantityBox->setObjectName(QStringLiteral("QuantityBox"));
    QuantityBox->addItem(qs(quantityName(Quantity::Force)));
    QuantityBox->addItem(qs(quantityName(Quantity::Stress)));
    m_qchart = new QChart;
    m_qchart->legend()->setAlignment(Qt::AlignRight);
    m_qchart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    m_qchart->legend()->setShowToolTips(true);
    m_qchart->setMargins(QMargins(4, 4, 4, 4));
    ChartView = new QChartView(m_qchart, this);
    ChartView->setObjectName(QStringLiteral("ChartView"));
    ChartView->setRenderHint(QPainter::Antialiasing);
    ChartView->setMinimumWidth(420);

    auto* chartSide = new QWidget(this);
    auto* chartLayout = new QVBoxLayout(chartSide);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    auto* choice = new QHBoxLayout;
    choice->addWidget(label("Серия", chartSide));
    choice->addWidget(SeriesBox, 1);
    choice->addWidget(label("Величина", chartSide));
    choice->addWidget(QuantityBox);
    chartLayout->addLayout(choice);
    chartLayout->addWidget(ChartView, 1);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(Figures);
    split->addWidget(chartSide);
    // The figures take most of the width, as their thirteen columns need it.
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({720, 520});

    PreviewButton = new QPushButton(QStringLiteral("Предварительный просмотр"), this);
    PreviewButton->setObjectName(QStringLiteral("PreviewButton"));
    PrintButton = new QPushButton(QStringLiteral("Печать"), this);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    CloseButton = new QPushButton(QStringLiteral("Закрыть"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    connect(PreviewButton, &QPushButton::clicked, this, &StatisticsWindow::PreviewButtonClick);
    connect(PrintButton, &QPushButton::clicked, this, &StatisticsWindow::PrintButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    for (QPushButton* b : {PreviewButton, PrintButton, CloseButton})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(PreviewButton);
    buttons->addWidget(PrintButton);
    buttons->addWidget(CloseButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SourceLabel);
    layout->addLayout(requiredRow);
    layout->addWidget(InputMessage);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    recompute();
    for (const Series& s : m_series)
        SeriesBox->addItem(qs(seriesName(s, m_separator)));
    SeriesBox->setCurrentIndex(int(firstChartSeries(m_series)));
    connect(SeriesBox, &QComboBox::currentIndexChanged, this, [this] { showChart(); });
    connect(QuantityBox, &QComboBox::currentIndexChanged, this, [this] { showChart(); });
    showChart();
}

StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::requiredEdited(Quantity q)
{
    const bool force = q == Quantity::Force;
    const RequiredEntry entry = readRequiredEntry((force ? ForceEdit : StressEdit)->text().toStdString());
    m_invalid[force ? 0 : 1] = !entry.valid;
    QStringList problems;
    if (m_invalid[0])
        problems << QStringLiteral("Требуемое усилие: введите число не меньше 0 или оставьте поле пустым.");
    if (m_invalid[1])
        problems << QStringLiteral("Требуемое напряжение: введите число не меньше 0 или оставьте поле пустым.");
    InputMessage->setText(problems.join(QLatin1Char('\n')));
    InputMessage->setVisible(!problems.isEmpty());
    if (!entry.valid)
        return; // the figures stay those of the last valid values

    (force ? m_required.force : m_required.stress) = entry.value;
    std::optional<double> kept = entry.value;
    if (kept && m_input.dimension == Units::KiloGramForce)
        kept = force ? kilonewtonsFromKgf(*kept) : megapascalsFromKgfPerCm2(*kept);
    (force ? m_kept.force : m_kept.stress) = kept;
    if (m_keep)
        m_keep(m_kept);
    recompute();
    showChart();
}

void StatisticsWindow::recompute()
{
    m_series = seriesStatistics(m_input.rows, m_required);
    m_figures = figureTable(m_series, m_input.rows, m_input.dimension, m_separator);
    showFigures();
}

void StatisticsWindow::showFigures()
{
    const QSignalBlocker quiet(Figures);
    const int current = Figures->currentRow();
    Figures->clear();
    Figures->setColumnCount(int(m_figures.headings.size()));
    Figures->setRowCount(int(m_figures.lines.size()));
    QStringList headings;
    for (const std::string& h : m_figures.headings)
        headings << qs(h);
    Figures->setHorizontalHeaderLabels(headings);
    for (size_t r = 0; r < m_figures.lines.size(); ++r) {
        const FigureLine& line = m_figures.lines[r];
        for (size_t c = 0; c <= line.cells.size(); ++c) {
            const bool numbers = c == line.cells.size();
            auto* item = new QTableWidgetItem(numbers ? qs(failedNumbersText(line.failedNumbers, 50))
                                                      : qs(line.cells[c]));
            if (numbers && !line.failedNumbers.empty())
                item->setToolTip(qs(failedNumbersText(line.failedNumbers, 500)));
            const bool text = c == 0 || numbers;
            item->setTextAlignment(Qt::AlignVCenter | (text ? Qt::AlignLeft : c == 2 ? Qt::AlignHCenter : Qt::AlignRight));
            Figures->setItem(int(r), int(c), item);
        }
    }
    Figures->resizeColumnsToContents();
    Figures->setCurrentCell(current, 0);
}

void StatisticsWindow::chooseFromFigures(int line)
{
    if (line < 0 || size_t(line) >= m_figures.lines.size())
        return;
    const FigureLine& chosen = m_figures.lines[size_t(line)];
    {
        const QSignalBlocker quietSeries(SeriesBox), quietQuantity(QuantityBox);
        SeriesBox->setCurrentIndex(int(chosen.series));
        QuantityBox->setCurrentIndex(chosen.quantity == Quantity::Force ? 0 : 1);
    }
    showChart();
}

size_t StatisticsWindow::chartSeries() const { return size_t(std::max(0, SeriesBox->currentIndex())); }

Quantity StatisticsWindow::chartQuantity() const
{
    return QuantityBox->currentIndex() == 1 ? Quantity::Stress : Quantity::Force;
}

void StatisticsWindow::showChart()
{
    if (chartSeries() >= m_series.size())
        return;
    const Quantity q = chartQuantity();
    m_chart = statisticsChart(m_series[chartSeries()], m_input.rows, q, m_input.dimension, m_required.value(q),
                              m_separator);
    showContent(*m_qchart, m_chart);
}

StatisticsPage StatisticsWindow::page() const
{
    return statisticsPage(m_input, m_series, m_required, chartSeries(), chartQuantity(), m_separator);
}

void StatisticsWindow::PreviewButtonClick()
{
    const ComposedReport report = composeStatisticsPage(page());
    m_reports.showPreview(report, this);
}

void StatisticsWindow::PrintButtonClick()
{
    const ComposedReport report = composeStatisticsPage(page());
    m_reports.printSequence(report, this);
}

} // namespace zent5::stats
