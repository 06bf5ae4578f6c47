#pragma once

class QPrintDialog;
class QPrintPreviewDialog;

namespace zent5 {

// The platform's printers and the modal print windows. The program uses
// the real ones; tests answer in their place.
class PrintPlatform {
public:
    virtual ~PrintPlatform() = default;

    // Whether any printer is installed.
    virtual bool printerInstalled() const;
    // Shows the preview window and returns when the user closes it.
    virtual void runPreview(QPrintPreviewDialog& dialog);
    // Shows the print dialog; true when the user confirms.
    virtual bool runPrintDialog(QPrintDialog& dialog);
};

} // namespace zent5
