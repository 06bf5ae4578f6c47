// The main window's command "Журнал загрузок" and the table commands its
// window runs on a download kept in the journal.
#include "app/tform1.h"

#include "app/journalwindow.h"
#include "journal/datafolder.h"
#include "journal/verificationdates.h"
#include "session/downloadjournal.h"

namespace zent5 {

void TForm1::Journal1Click()
{
    JournalWindow window(*this, journal::journalFolder(), journal::verificationDatesPath(), this);
    window.exec();
}

// A table made again from a kept download is no new download: the journal
// gains no entry for it.
bool TForm1::create_table_from(const journal::Entry& entry)
{
    if (m_state.table_open)
        Close_DB();
    const std::optional<std::string> chosen = m_prompter.saveFile(new_table_request());
    if (!chosen || chosen->empty())
        return false;
    createTableFromEntry(m_session, entry, *chosen);
    return true;
}

void TForm1::append_table_from(const journal::Entry& entry)
{
    if (!m_state.table_open)
        return;
    appendFromEntry(m_session, entry);
}

} // namespace zent5
