#include "reportpdfwriter.h"

#include "records/error.h"
#include "reportcomposer.h"
#include "reportlayout.h"
#include "reportrenderer.h"
#include "textmeasurer.h"

#include <QSaveFile>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

namespace zent5 {

struct ReportPdfWriter::Open {
    explicit Open(const ComposedReport& composed) : report{composed.layoutName, composed.page, composed.styles, {}} {}

    // The renderer needs the styles for as long as pages come, whoever owns the report.
    const ComposedReport report;
    const ReportRenderer renderer{report};
    QSaveFile file; // takes the target's name only when the report is complete
    // Declared after the file: the painter ends and the writer goes before the file closes.
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
    double sx = 1;
    double sy = 1;
    bool firstPage = true;
};

ReportPdfWriter::ReportPdfWriter(std::string path, int dotsPerInch) : m_path(std::move(path)), m_dotsPerInch(dotsPerInch)
{
}

ReportPdfWriter::~ReportPdfWriter()
{
    if (!m_open)
        return;
    // Unfinished: what was written is no report.
    if (m_open->painter.isActive())
        m_open->painter.end();
    m_open->writer.reset();
    m_open->file.cancelWriting();
}

void ReportPdfWriter::begin(const ComposedReport& report)
{
    auto open = std::make_unique<Open>(report);
    open->file.setFileName(QString::fromStdString(m_path));
    if (!open->file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error("Не удаётся создать файл " + m_path);
    open->writer = std::make_unique<QPdfWriter>(&open->file);
    QPdfWriter& writer = *open->writer;
    writer.setResolution(m_dotsPerInch);
    writer.setCreator(QStringLiteral("ЗЕНТ-5"));
    writer.setTitle(QString::fromStdString(report.layoutName));
    ReportRenderer::setUpPage(writer, report.page);
    open->sx = writer.logicalDpiX() / kReportUnitsPerInch;
    open->sy = writer.logicalDpiY() / kReportUnitsPerInch;
    // From here on the writer removes the file should anything fail.
    m_open = std::move(open);
    if (!m_open->painter.begin(m_open->writer.get()))
        throw Error("Ошибка записи в файл " + m_path);
}

void ReportPdfWriter::addPage(const Page& page)
{
    Open& o = *m_open;
    if (!o.firstPage)
        o.writer->newPage();
    o.firstPage = false;
    o.renderer.paintPage(o.painter, page, o.sx, o.sy);
}

void ReportPdfWriter::finish()
{
    if (!m_open)
        begin(ComposedReport{});
    Open& o = *m_open;
    const bool ok = o.painter.end();
    o.writer.reset();
    if (!ok || o.file.error() != QFileDevice::NoError || !o.file.commit())
        throw Error("Ошибка записи в файл " + m_path); // the destructor drops the unfinished file
    m_open.reset();
}

void writeReportPdf(ReportComposer& composer, RowCursor& table, const std::string& path, int dotsPerInch)
{
    TextMeasurer measurer;
    ReportPdfWriter writer(path, dotsPerInch);
    composer.compose(table, measurer, [&writer](const ComposedReport& report, Page& page) {
        if (!writer.begun())
            writer.begin(report);
        writer.addPage(page);
    });
    writer.finish();
}

} // namespace zent5
