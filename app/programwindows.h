#pragma once

#include "records/archiveimage.h"

#include <QStringList>

#include <memory>

class QDialog;

namespace zent5 {

class Prompter;
class TForm1;
class TForm3;
class TForm5;
class Tform6;

// The program's windows, each created once, in this order: the main window
// (which reads the settings), the download window, the splash window, the
// about window, the units dialog. They live until the program ends.
class ProgramWindows {
public:
    explicit ProgramWindows(Prompter& prompter);
    ~ProgramWindows();

    TForm1& main_window() { return *m_form1; }
    QDialog& download_window() { return *m_form2; }
    // nullptr once the splash has been shown.
    TForm5* splash_window() { return m_form5.get(); }
    Tform6& about_window() { return *m_form6; }
    TForm3& units_dialog() { return *m_form3; }

    // The object names of the windows in the order they were created.
    const QStringList& creation_order() const { return m_order; }
    // What the last download left; the download window fills it, the main
    // window's commands decode it.
    const ArchiveImage& archive() const { return m_archive; }

    // Shows the splash modally until its timer ends it, then destroys it so
    // its timer never ticks again.
    void show_splash();

private:
    QStringList m_order;
    ArchiveImage m_archive;
    // Declared in creation order, so they are destroyed the other way round
    // and the main window goes last.
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<QDialog> m_form2;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<Tform6> m_form6;
    std::unique_ptr<TForm3> m_form3;
};

// The program entry after the application object exists: title, Russian
// texts of Qt's dialogs, the windows, the splash, the maximized main window
// and the event loop. Returns the loop's exit code.
int run_program(Prompter& prompter);

} // namespace zent5
