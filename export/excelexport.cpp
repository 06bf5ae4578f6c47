#include "excelexport.h"

#include "records/utf8path.h"
#include "xlsworkbook.h"
#include "xlswriter.h"

#include "records/pathparts.h"

#include <array>

namespace zent5 {
namespace {

constexpr const char* kSheetName = "ЗЕНТ-5";
constexpr const char* kCaption = "Экспорт в Excel";

struct Column {
    const char* heading;
    std::string_view field;
    bool number;
};

// The headings of the force, stress and area columns.
struct UnitHeadings {
    const char* force;
    const char* stress;
    const char* area;
};

UnitHeadings headingsIn(Units units)
{
    if (units == Units::KiloGramForce)
        return {"F, кГс", "б, кГс/кв.см", "S, кв.см"};
    return {"F, кН", "б, МПа", "S, кв.мм"};
}

// Columns A to I of the sheet.
std::array<Column, 9> sheetColumns(Units units)
{
    const UnitFields fields = unitFields(units);
    const UnitHeadings headings = headingsIn(units);
    return {{
        {"N", "N", true},
        {"Дата", "DATE", false},
        {"Время", "TIME", false},
        {"Тип анкера", "TYPE", false},
        {"d, мм", "D", true},
        {headings.force, fields.force, true},
        {headings.stress, fields.stress, true},
        {headings.area, fields.area, true},
        {"Примечание", "COMMENT", false},
    }};
}

void saveMeasurementWorkbook(RowCursor& table, Units units, const std::string& fileName,
                             const std::function<void()>& beforeFilling)
{
    XlsWorkbook workbook;
    XlsWorksheet& sheet = workbook.AddSheet();
    sheet.SetName(kSheetName);
    if (beforeFilling)
        beforeFilling();
    fillMeasurementSheet(sheet, table, units);
    XlsWriter writer;
    writer.Save(workbook, fileName);
}

} // namespace

void fillMeasurementSheet(XlsWorksheet& sheet, RowCursor& table, Units units)
{
    const std::array<Column, 9> columns = sheetColumns(units);
    table.First();
    for (size_t c = 0; c < columns.size(); ++c)
        sheet.Range(int(c), 0, int(c), 0).SetValue(columns[c].heading);
    const int n = table.VisibleCount();
    for (int k = 1; k <= n; ++k) {
        for (size_t c = 0; c < columns.size(); ++c) {
            const Column& col = columns[c];
            XlsRange& cell = sheet.Range(int(c), k, int(c), k);
            if (col.number)
                cell.SetValue(table.FieldNumber(col.field));
            else
                cell.SetValue(table.FieldText(col.field));
        }
        table.Next();
    }
}

std::string exportDoneText(const std::string& fileName)
{
    return "Экспорт в файл " + splitPath(fileName).fileName + " завершен успешно.";
}

void writeMeasurementWorkbook(RowCursor& table, Units units, const std::string& fileName)
{
    saveMeasurementWorkbook(table, units, fileName, {});
}

void exp2excel(RowCursor& table, Units units, Prompter& prompter, const std::string& initialDir,
               const std::function<void()>& resetSort)
{
    if (!table.Active())
        return;
    FileDialogRequest request;
    request.fileName.clear();
    request.filter = "Книга Excel|*.xls";
    request.filterIndex = 1;
    request.defaultExtension = ".xls";
    request.initialDir = initialDir;
    const std::optional<std::string> fileName = prompter.saveFile(request);
    if (!fileName || fileName->empty())
        return;

    saveMeasurementWorkbook(table, units, *fileName, [&] {
        // The rows go out in file order; a sort that cannot be undone does
        // not stop the export.
        try {
            if (resetSort)
                resetSort();
        } catch (...) {
        }
    });
    prompter.message(kCaption, exportDoneText(*fileName), MessageIcon::Information, MessageButtons::Ok);
}

} // namespace zent5
