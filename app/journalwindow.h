#pragma once

#include "journal/instrumentregister.h"
#include "journal/journal.h"
#include "journal/verificationdates.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace zent5 {

class TForm1;

// The window "Журнал загрузок": on its first page the downloads the journal
// keeps, newest first, and what can be done with one of them; on its second
// the register of the instruments those downloads came from, with the
// verification due dates the user enters. The register is a page of the
// same window because it is built from the same reading of the journal:
// deleting an entry changes it at once, and both pages say the same about
// the files that could not be read.
//
// A table made from an entry goes through the main window's commands, as
// after a download, and shows there; the window then closes.
class JournalWindow : public QDialog {
    Q_OBJECT
public:
    // The journal in `journalFolder` (none when empty) and the due dates
    // in the file `datesPath`.
    JournalWindow(TForm1& main, std::string journalFolder, std::string datesPath, QWidget* parent = nullptr);
    ~JournalWindow() override;

    const journal::Listing& listing() const { return m_listing; }
    const std::vector<journal::Instrument>& instruments() const { return m_instruments; }

    QTabWidget* Tabs = nullptr;
    // "Загрузки"
    QTableWidget* Entries = nullptr;
    QLabel* SummaryLabel = nullptr;  // "Загрузок в журнале: 3"
    QLabel* ProblemsLabel = nullptr; // the files that are no entries
    QLabel* FolderLabel = nullptr;   // "Папка журнала: ..."
    QPushButton* CreateButton = nullptr; // "Создать таблицу"
    QPushButton* AppendButton = nullptr; // "Дополнить таблицу"
    QPushButton* ImageButton = nullptr;  // "Сохранить образ"
    QPushButton* DeleteButton = nullptr; // "Удалить"
    // "Приборы"
    QTableWidget* Instruments = nullptr;
    QLineEdit* DueDateEdit = nullptr;        // "Поверка до", дд.мм.гггг
    QPushButton* SaveDateButton = nullptr;   // "Записать"
    QPushButton* ClearDateButton = nullptr;  // "Очистить"
    QLabel* DatesLabel = nullptr;            // why the dates cannot be changed
    QPushButton* CloseButton = nullptr;

public slots:
    void CreateButtonClick();
    void AppendButtonClick();
    void ImageButtonClick();
    void DeleteButtonClick();
    void SaveDateButtonClick();
    void ClearDateButtonClick();
    // Reads the journal and the due dates again and shows them.
    void refresh();

private:
    void build();
    void showEntries();
    void showInstruments();
    void enableCommands();
    void showChosenDueDate();
    const journal::EntryInfo* chosenEntry() const;
    const journal::Instrument* chosenInstrument() const;
    void setDueDate(const std::optional<journal::Day>& due);
    // The chosen entry read from its file; nothing when no entry is chosen.
    std::optional<journal::Entry> chosenEntryRead() const;

    TForm1& m_main;
    journal::Journal m_journal;
    const std::string m_datesPath;
    journal::Listing m_listing;
    std::string m_listingError; // the folder itself could not be read
    journal::VerificationDates m_dates;
    std::string m_datesError;   // the dates could not be read: they are not to be replaced
    std::vector<journal::Instrument> m_instruments;
};

} // namespace zent5
