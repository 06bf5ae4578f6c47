#include "excelexport.h"

#include "records/utf8path.h"
#include "xlsworkbook.h"
#include "xlswriter.h"

#include <array>

namespace zent5 {
namespace {

constexpr const char* kSheetName = "ЗЕНТ-5";
constexpr const char* kCaption = "Экспорт в Excel";

struct Column {
    const char* heading;
    const char* headingKgf; // with dimension true
    const char* field;
    const char* fieldKgf;
    bool number;
};

// Columns A to I of the sheet.
constexpr std::array<Column, 9> kColumns{{
    {"N", "N", "N", "N", true},
    {"Дата", "Дата", "DATE", "DATE", false},
    {"Время", "Время", "TIME", "TIME", false},
    {"Тип анкера", "Тип анкера", "TYPE", "TYPE", false},
    {"d, мм", "d, мм", "D", "D", true},
    {"F, кН", "F, кГс", "P", "P_KG", true},
    {"б, МПа", "б, кГс/кв.см", "S", "S_KG", true},
    {"S, кв.мм", "S, кв.см", "F", "F_MM", true},
    {"Примечание", "Примечание", "COMMENT", "COMMENT", false},
}};

void saveMeasurementWorkbook(RowCursor& table, bool dimension, const std::string& fileName,
                             const std::function<void()>& beforeFilling)
{
    XlsWorkbook workbook;
    XlsWorksheet& sheet = workbook.AddSheet();
    sheet.SetName(kSheetName);
    if (beforeFilling)
        beforeFilling();
    fillMeasurementSheet(sheet, table, dimension);
    XlsWriter writer;
    writer.Save(workbook, fileName);
}

} // namespace

void fillMeasurementSheet(XlsWorksheet& sheet, RowCursor& table, bool dimension)
{
    table.First();
    for (size_t c = 0; c < kColumns.size(); ++c)
        sheet.Range(int(c), 0, int(c), 0).SetValue(dimension ? kColumns[c].headingKgf : kColumns[c].heading);
    const int n = table.VisibleCount();
    for (int k = 1; k <= n; ++k) {
        for (size_t c = 0; c < kColumns.size(); ++c) {
            const Column& col = kColumns[c];
            const char* field = dimension ? col.fieldKgf : col.field;
            XlsRange& cell = sheet.Range(int(c), k, int(c), k);
            if (col.number)
                cell.SetValue(table.FieldNumber(field));
            else
                cell.SetValue(table.FieldText(field));
        }
        table.Next();
    }
}

std::string exportDoneText(const std::string& fileName)
{
    return "Экспорт в файл " + utf8Of(pathFromUtf8(fileName).filename()) + " завершен успешно.";
}

void writeMeasurementWorkbook(RowCursor& table, bool dimension, const std::string& fileName)
{
    saveMeasurementWorkbook(table, dimension, fileName, {});
}

void exp2excel(RowCursor& table, bool dimension, Prompter& prompter, const std::string& initialDir,
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

    saveMeasurementWorkbook(table, dimension, *fileName, [&] {
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
