// The main window's commands: new and append from the instrument.
#include "app/tform1.h"

#include "app/modalresult.h"
#include "records/archiveimage.h"
#include "records/prompter.h"

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

} // namespace

FileDialogRequest TForm1::new_table_request() const
{
    FileDialogRequest request;
    request.fileName = "";
    request.filter = "Файлы данных|*.db";
    request.filterIndex = 1;
    request.defaultExtension = ".db";
    request.initialDir = m_dialogInitialDir;
    return request;
}

void TForm1::Create_DB(const std::string& path)
{
    // Only the archive of the download that led here is ever decoded; an
    // empty image is reported as damaged.
    static const ArchiveImage noArchive;
    m_session.createFromArchive(path, m_archive ? *m_archive : noArchive);
}

void TForm1::N2Click()
{
    if (m_state.table_open)
        Close_DB();

    const std::optional<std::string> chosen = m_prompter.saveFile(new_table_request());
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
    if (m_archive)
        m_session.appendFromArchive(*m_archive);
}

} // namespace zent5
