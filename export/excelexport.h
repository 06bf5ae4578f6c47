#pragma once

#include "records/prompter.h"
#include "records/rowcursor.h"

#include <functional>
#include <string>

namespace zent5 {

class XlsWorksheet;

// "Экспорт в Excel": asks for a file name in the shared save dialog, which
// starts in `initialDir` (the folder the file dialogs were given at
// start-up), clears the view's sort through `resetSort` (its failures are
// ignored) and writes the visible rows of the table in file order, in the
// units `dimension` selects (false kN, MPa, mm²; true kgf, kgf/cm², cm²).
// Does nothing when the table is not active or the dialog gives no name.
// Writer errors (zent5::Error) reach the caller; the success message is
// shown only after the file is complete.
void exp2excel(RowCursor& table, bool dimension, Prompter& prompter, const std::string& initialDir,
               const std::function<void()>& resetSort);

// The same file without dialogs and without touching the sort.
void writeMeasurementWorkbook(RowCursor& table, bool dimension, const std::string& fileName);

// Row 0 the headings, then one row per visible record from the first.
void fillMeasurementSheet(XlsWorksheet& sheet, RowCursor& table, bool dimension);

// "Экспорт в файл NAME завершен успешно." with the name without its folder.
std::string exportDoneText(const std::string& fileName);

} // namespace zent5
