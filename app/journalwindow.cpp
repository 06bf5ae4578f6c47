#include "app/journalwindow.h"

#include "app/errorbox.h"
#include "app/journaltexts.h"
#include "app/tform1.h"
#include "journal/archivedump.h"
#include "journal/datafolder.h"
#include "journal/moment.h"
#include "records/error.h"
#include "records/prompter.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>

namespace zent5 {
namespace {

const char* const kCaption = "Журнал загрузок";

QString qs(const std::string& s) { return QString::fromStdString(s); }

QTableWidget* newList(QWidget* parent, const char* name, const char* const* headings, int columns)
{
    auto* list = new QTableWidget(0, columns, parent);
    list->setObjectName(QString::fromLatin1(name));
    QStringList titles;
    for (int c = 0; c < columns; ++c)
        titles << QString::fromUtf8(headings[c]);
    list->setHorizontalHeaderLabels(titles);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    return list;
}

QTableWidgetItem* cell(const std::string& text, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto* item = new QTableWidgetItem(qs(text));
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

// Each column as wide as its widest text and a little room.
void fitColumns(QTableWidget* list)
{
    list->resizeColumnsToContents();
    for (int c = 0; c + 1 < list->columnCount(); ++c)
        list->setColumnWidth(c, list->columnWidth(c) + 12);
}

QPushButton* newButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter in the date field writes the date; it must not press a button too.
    button->setAutoDefault(false);
    return button;
}

QLabel* newLine(QWidget* parent, const char* name)
{
    auto* line = new QLabel(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return line;
}

} // namespace

JournalWindow::JournalWindow(TForm1& main, std::string journalFolder, std::string datesPath, QWidget* parent)
    : QDialog(parent), m_main(main), m_journal(std::move(journalFolder)), m_datesPath(std::move(datesPath))
{
    setObjectName(QStringLiteral("JournalWindow"));
    setWindowTitle(QString::fromUtf8(kCaption));
    build();
    refresh();
}

JournalWindow::~JournalWindow() = default;

void JournalWindow::build()
{
    resize(900, 480);
    auto* layout = new QVBoxLayout(this);
    Tabs = new QTabWidget(this);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    layout->addWidget(Tabs);

    auto* downloads = new QWidget(Tabs);
    auto* dl = new QVBoxLayout(downloads);
    Entries = newList(downloads, "Entries", journaltext::kEntryHeadings, int(std::size(journaltext::kEntryHeadings)));
    dl->addWidget(Entries, 1);
    SummaryLabel = newLine(downloads, "SummaryLabel");
    dl->addWidget(SummaryLabel);
    ProblemsLabel = newLine(downloads, "ProblemsLabel");
    ProblemsLabel->setStyleSheet(QStringLiteral("color: #a00000"));
    dl->addWidget(ProblemsLabel);
    FolderLabel = newLine(downloads, "FolderLabel");
    dl->addWidget(FolderLabel);
    auto* commands = new QHBoxLayout;
    CreateButton = newButton(downloads, "CreateButton", "Создать таблицу");
    AppendButton = newButton(downloads, "AppendButton", "Дополнить таблицу");
    ImageButton = newButton(downloads, "ImageButton", "Сохранить образ");
    DeleteButton = newButton(downloads, "DeleteButton", "Удалить");
    commands->addWidget(CreateButton);
    commands->addWidget(AppendButton);
    commands->addWidget(ImageButton);
    commands->addStretch(1);
    commands->addWidget(DeleteButton);
    dl->addLayout(commands);
    Tabs->addTab(downloads, QStringLiteral("Загрузки"));

    auto* register_ = new QWidget(Tabs);
    auto* rl = new QVBoxLayout(register_);
    Instruments = newList(register_, "Instruments", journaltext::kInstrumentHeadings,
                          int(std::size(journaltext::kInstrumentHeadings)));
    rl->addWidget(Instruments, 1);
    auto* dueRow = new QHBoxLayout;
    auto* dueCaption = new QLabel(QStringLiteral("Поверка до:"), register_);
    DueDateEdit = new QLineEdit(register_);
    DueDateEdit->setObjectName(QStringLiteral("DueDateEdit"));
    DueDateEdit->setPlaceholderText(QStringLiteral("дд.мм.гггг"));
    DueDateEdit->setMaxLength(20);
    DueDateEdit->setFixedWidth(DueDateEdit->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 24);
    dueCaption->setBuddy(DueDateEdit);
    SaveDateButton = newButton(register_, "SaveDateButton", "Записать");
    ClearDateButton = newButton(register_, "ClearDateButton", "Очистить");
    dueRow->addWidget(dueCaption);
    dueRow->addWidget(DueDateEdit);
    dueRow->addWidget(SaveDateButton);
    dueRow->addWidget(ClearDateButton);
    dueRow->addStretch(1);
    rl->addLayout(dueRow);
    DatesLabel = newLine(register_, "DatesLabel");
    DatesLabel->setStyleSheet(QStringLiteral("color: #a00000"));
    rl->addWidget(DatesLabel);
    Tabs->addTab(register_, QStringLiteral("Приборы"));

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    CloseButton = newButton(this, "CloseButton", "Закрыть");
    bottom->addWidget(CloseButton);
    layout->addLayout(bottom);

    auto guarded = [this](QPushButton* button, void (JournalWindow::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { run_guarded([&] { (this->*handler)(); }); });
    };
    guarded(CreateButton, &JournalWindow::CreateButtonClick);
    guarded(AppendButton, &JournalWindow::AppendButtonClick);
    guarded(ImageButton, &JournalWindow::ImageButtonClick);
    guarded(DeleteButton, &JournalWindow::DeleteButtonClick);
    guarded(SaveDateButton, &JournalWindow::SaveDateButtonClick);
    guarded(ClearDateButton, &JournalWindow::ClearDateButtonClick);
    connect(DueDateEdit, &QLineEdit::returnPressed, this,
            [this] { run_guarded([this] { SaveDateButtonClick(); }); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Entries, &QTableWidget::itemSelectionChanged, this, &JournalWindow::enableCommands);
    connect(Instruments, &QTableWidget::itemSelectionChanged, this, [this] {
        showChosenDueDate();
        enableCommands();
    });
}

void JournalWindow::refresh()
{
    m_listing = {};
    m_listingError.clear();
    if (m_journal.folder().empty()) {
        m_listingError = "Не найдена папка данных пользователя: журнал не ведется";
    } else {
        try {
            m_listing = m_journal.list();
        } catch (const std::exception& e) {
            m_listingError = std::string(e.what());
        }
    }

    m_dates = {};
    m_datesError.clear();
    if (m_datesPath.empty()) {
        m_datesError = "Не найдена папка данных пользователя: сроки поверки не хранятся";
    } else {
        try {
            m_dates = journal::loadVerificationDates(m_datesPath);
        } catch (const std::exception& e) {
            m_datesError = std::string(e.what()) + ". Сроки поверки нельзя изменить, пока этот файл не удален.";
        }
    }
    m_instruments = journal::buildRegister(m_listing.entries, m_dates);

    showEntries();
    showInstruments();
    enableCommands();
}

void JournalWindow::showEntries()
{
    const int keep = Entries->currentRow();
    Entries->clearContents();
    Entries->setRowCount(int(m_listing.entries.size()));
    int row = 0;
    for (const journal::EntryInfo& entry : m_listing.entries) {
        const journaltext::EntryLine line = journaltext::entryLine(entry);
        Entries->setItem(row, 0, cell(line.moment));
        Entries->setItem(row, 1, cell(line.serial, Qt::AlignRight));
        Entries->setItem(row, 2, cell(line.version));
        Entries->setItem(row, 3, cell(line.records, Qt::AlignRight));
        Entries->setItem(row, 4, cell(line.action));
        QTableWidgetItem* table = cell(line.table);
        table->setToolTip(QDir::toNativeSeparators(qs(line.tablePath)));
        Entries->setItem(row, 5, table);
        ++row;
    }
    fitColumns(Entries);
    if (!m_listing.entries.empty())
        Entries->selectRow(std::clamp(keep, 0, int(m_listing.entries.size()) - 1));

    SummaryLabel->setText(QStringLiteral("Загрузок в журнале: %1").arg(m_listing.entries.size()));
    const std::string problems =
        m_listingError.empty() ? journaltext::problemsText(m_listing.problems) : m_listingError;
    ProblemsLabel->setText(qs(problems));
    ProblemsLabel->setVisible(!problems.empty());
    FolderLabel->setText(m_journal.folder().empty()
                             ? QString()
                             : QStringLiteral("Папка журнала: %1").arg(QDir::toNativeSeparators(qs(m_journal.folder()))));
}

void JournalWindow::showInstruments()
{
    const int keep = Instruments->currentRow();
    const journal::Day today = journal::localDay(journal::now());
    Instruments->clearContents();
    Instruments->setRowCount(int(m_instruments.size()));
    int row = 0;
    for (const journal::Instrument& instrument : m_instruments) {
        const journaltext::InstrumentLine line = journaltext::instrumentLine(instrument);
        Instruments->setItem(row, 0, cell(line.serial, Qt::AlignRight));
        Instruments->setItem(row, 1, cell(line.model, Qt::AlignRight));
        Instruments->setItem(row, 2, cell(line.version));
        Instruments->setItem(row, 3, cell(line.firstDownload));
        Instruments->setItem(row, 4, cell(line.lastDownload));
        Instruments->setItem(row, 5, cell(line.downloads, Qt::AlignRight));
        // Said in words too: a chosen row shows no colour of its own.
        const bool overdue =
            instrument.verificationDue && journal::verificationPassed(*instrument.verificationDue, today);
        QTableWidgetItem* due = cell(overdue ? line.dueDate + " (просрочена)" : line.dueDate);
        if (overdue)
            due->setForeground(QColor(0xa0, 0, 0));
        Instruments->setItem(row, 6, due);
        ++row;
    }
    fitColumns(Instruments);
    if (!m_instruments.empty())
        Instruments->selectRow(std::clamp(keep, 0, int(m_instruments.size()) - 1));
    DatesLabel->setText(qs(m_datesError));
    DatesLabel->setVisible(!m_datesError.empty());
    showChosenDueDate();
}

void JournalWindow::showChosenDueDate()
{
    const journal::Instrument* instrument = chosenInstrument();
    DueDateEdit->setText(instrument && instrument->verificationDue
                             ? qs(journal::shownDayText(*instrument->verificationDue))
                             : QString());
}

void JournalWindow::enableCommands()
{
    const bool entry = chosenEntry() != nullptr;
    CreateButton->setEnabled(entry);
    AppendButton->setEnabled(entry && m_main.state().table_open);
    ImageButton->setEnabled(entry);
    DeleteButton->setEnabled(entry);
    const bool dates = chosenInstrument() != nullptr && m_datesError.empty();
    DueDateEdit->setEnabled(dates);
    SaveDateButton->setEnabled(dates);
    ClearDateButton->setEnabled(dates);
}

const journal::EntryInfo* JournalWindow::chosenEntry() const
{
    const QList<QTableWidgetSelectionRange> chosen = Entries->selectedRanges();
    if (chosen.isEmpty())
        return nullptr;
    const int row = chosen.first().topRow();
    return row >= 0 && size_t(row) < m_listing.entries.size() ? &m_listing.entries[size_t(row)] : nullptr;
}

const journal::Instrument* JournalWindow::chosenInstrument() const
{
    const QList<QTableWidgetSelectionRange> chosen = Instruments->selectedRanges();
    if (chosen.isEmpty())
        return nullptr;
    const int row = chosen.first().topRow();
    return row >= 0 && size_t(row) < m_instruments.size() ? &m_instruments[size_t(row)] : nullptr;
}

std::optional<journal::Entry> JournalWindow::chosenEntryRead() const
{
    const journal::EntryInfo* info = chosenEntry();
    if (!info)
        return std::nullopt;
    return m_journal.load(info->id);
}

void JournalWindow::CreateButtonClick()
{
    // The entry is read first: one that cannot be read closes no table.
    const std::optional<journal::Entry> entry = chosenEntryRead();
    if (!entry)
        return;
    const bool made = m_main.create_table_from(*entry);
    enableCommands();
    if (made)
        accept();
}

void JournalWindow::AppendButtonClick()
{
    if (!m_main.state().table_open)
        return;
    const std::optional<journal::Entry> entry = chosenEntryRead();
    if (!entry)
        return;
    m_main.append_table_from(*entry);
    accept();
}

void JournalWindow::ImageButtonClick()
{
    const journal::EntryInfo* info = chosenEntry();
    if (!info)
        return;
    const journal::Entry entry = m_journal.load(info->id);
    FileDialogRequest request;
    request.fileName = "";
    request.filter = "Двоичные файлы|*.bin";
    request.filterIndex = 1;
    request.defaultExtension = ".bin";
    request.initialDir = m_main.dialog_initial_dir();
    const std::optional<std::string> chosen = m_main.prompter().saveFile(request);
    if (!chosen || chosen->empty())
        return;
    journal::writeArchiveDump(entry, *chosen);
}

void JournalWindow::DeleteButtonClick()
{
    const journal::EntryInfo* info = chosenEntry();
    if (!info)
        return;
    const journaltext::EntryLine line = journaltext::entryLine(*info);
    const std::string question =
        "Удалить из журнала загрузку прибора № " + line.serial + " от " + line.moment + "?";
    if (m_main.prompter().message(kCaption, question, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes)
        return;
    const std::string id = info->id;
    try {
        m_journal.remove(id);
    } catch (...) {
        refresh();
        throw;
    }
    refresh();
}

void JournalWindow::setDueDate(const std::optional<journal::Day>& due)
{
    const journal::Instrument* instrument = chosenInstrument();
    if (!instrument || !m_datesError.empty())
        return;
    // Kept in memory only once the file holds it.
    journal::VerificationDates dates = m_dates;
    dates.setDueDate(instrument->key, due);
    journal::saveVerificationDates(m_datesPath, dates);
    refresh();
}

void JournalWindow::SaveDateButtonClick() { setDueDate(journaltext::parseDueDate(DueDateEdit->text().toStdString())); }

void JournalWindow::ClearDateButtonClick() { setDueDate(std::nullopt); }

} // namespace zent5
