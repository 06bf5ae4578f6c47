// The main window's commands: new and append from the instrument.
#include "app/tform1.h"

#include "app/downloadwindow.h"
#include "app/modalresult.h"
#include "records/archivedecoding.h"
#include "records/archiveimage.h"
#include "records/prompter.h"
#include "table/tablereplacement.h"

#include <QDialog>

#include <optional>

namespace zent5 {

namespace {

// Shows the download window modally; true when the whole archive arrived.
// Without a download window there is nothing to download from.
bool downloadArchive(QDialog* window)
{
    return window && window->exec() == mrOk;
}

// Runs the steps that must follow whatever happened before them; an error of
// their own is dropped, so the error box shows the first one only.
template <class Steps>
void finishQuietly(Steps&& steps)
{
    try {
        steps();
    } catch (...) {
    }
}

} // namespace

void TForm1::Create_DB(const std::string& path)
{
    // Only the archive of the download that led here is ever decoded; an
    // empty image is reported as damaged.
    static const ArchiveImage noArchive;
    const ArchiveImage* downloaded = downloaded_archive(m_form2);
    const ArchiveImage& archive = downloaded ? *downloaded : noArchive;
    // A damaged archive is refused before the file is made: choosing an
    // existing table must never trade its rows for an empty table.
    check_archive(archive);

    m_state.table_open = false;
    m_state.table_changed = false;
    Dbf1.Close();
    // The rows go into a new file beside the chosen one, which it replaces
    // only once complete: a failure on the way (a full disk, a write error,
    // the program killed) leaves a table of that name as it was, and the
    // window in its no-table state.
    TableReplacement replacement(path);
    replacement.lockTarget();
    replacement.openEmpty(Dbf1);
    flash2pos(false, Dbf1, archive, m_prompter);
    replacement.commit(Dbf1);
    Dbf1.Open();
    m_state.table_open = true;
    set_background(true);
    enable_button();
    tab_vis_en();
    load_layout();
    m_state.table_changed = false;
}

void TForm1::N2Click()
{
    if (m_state.table_open)
        Close_DB();

    FileDialogRequest request;
    request.fileName = "";
    request.filter = "Файлы данных|*.db";
    request.filterIndex = 1;
    request.defaultExtension = ".db";
    request.initialDir = m_dialogInitialDir;
    const std::optional<std::string> chosen = m_prompter.saveFile(request);
    if (!chosen || chosen->empty())
        return;

    // The file is created, replacing one of that name, only once the
    // archive is here: a download that fails leaves it as it was.
    if (!downloadArchive(m_form2))
        return;
    Create_DB(*chosen);
}

void TForm1::N4Click()
{
    if (!m_state.table_open)
        return;
    if (!downloadArchive(m_form2))
        return;
    const ArchiveImage* archive = downloaded_archive(m_form2);
    if (!archive)
        return;

    if (Dbf1.Active())
        reset_sort();
    try {
        flash2pos(true, Dbf1, *archive, m_prompter);
    } catch (...) {
        // The sort is gone and the cursor stands on the last row: the grid
        // shows the table as it now is before the error box.
        finishQuietly([this] { tab_vis_en(); });
        throw;
    }
    Save_DB();
    tab_vis_en();
}

} // namespace zent5
