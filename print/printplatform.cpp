#include "printplatform.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>

namespace zent5 {

bool PrintPlatform::printerInstalled() const { return !QPrinterInfo::availablePrinters().isEmpty(); }

void PrintPlatform::runPreview(QPrintPreviewDialog& dialog) { dialog.exec(); }

bool PrintPlatform::runPrintDialog(QPrintDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

} // namespace zent5
