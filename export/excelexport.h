#pragma once

#include "records/prompter.h"
#include "records/rowcursor.h"
#include "records/units.h"

#include <functional>
#include <string>

namespace zent5 {

class XlsWorksheet;

// "Экспорт в Excel": asks for a file name in the shared save dialog, which
// starts in `initialDir` (the folder the file dialogs were given at
// start-up), clears the view's sort through `resetSort` (its failures are
// ignored) and writes the visible rows of the table in file order, in the
// system of units given.
// Does nothing when the table is not active or the dialog gives no name.
// Writer errors (zent5::Error) reach the caller; the success message is
// shown only after the file is complete.
void exp2excel(RowCursor& table, Units units, Prompter& prompter, const std::string& initialDir,
               const std::function<void()>& resetSort);

// The same file without dialogs and without touching the sort.
void writeMeasurementWorkbook(RowCursor& table, Units units, const std::string& fileName);

// Row 0 the headings, then one row per visible record from the first.
void fillMeasurementSheet(XlsWorksheet& sheet, RowCursor& table, Units units);

// "Экспорт в файл NAME завершен успешно." with the name without its folder.
std::string exportDoneText(const std::string& fileName);

} // namespace zent5
