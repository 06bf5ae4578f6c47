// Takes the pictures of the user guide from the program's own windows: it
// builds them as the program does, runs the commands a user would, answers
// the dialogs, and saves each window (or the part of the screen holding an
// open menu) as a PNG. An instrument simulator plays the instrument.
//
//   guideshots OUTPUT_DIR SAMPLE_ARCHIVE WORK_DIR
#include "app/applicationtitle.h"
#include "app/datagrid.h"
#include "app/errorbox.h"
#include "app/programstate.h"
#include "app/programwindows.h"
#include "app/qtprompter.h"
#include "app/tform1.h"
#include "app/translations.h"
#include "app/zentapplication.h"
#include "app/statisticswindow.h"
#include "app/journalwindow.h"
#include "journal/datafolder.h"
#include "journal/journal.h"
#include "journal/verificationdates.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using zent5::TForm1;

// The pictures are shown at their own size in the help window, which is
// 960 pixels wide.
constexpr int kShotWidth = 880;
constexpr int kShotHeight = 500;

QString g_out;
QString g_sample;
QString g_work;

struct Step {
    const char* what;
    std::function<bool()> ready; // polled until true
    std::function<void()> act;   // may open a modal window: the next steps run inside it
};

std::vector<Step> g_steps;
QElapsedTimer g_stepClock;

void run_step(size_t i)
{
    if (i >= g_steps.size()) {
        QCoreApplication::exit(0);
        return;
    }
    Step& step = g_steps[i];
    if (g_stepClock.elapsed() > 60000) {
        std::fprintf(stderr, "guideshots: gave up waiting at \"%s\"\n", step.what);
        QCoreApplication::exit(1);
        return;
    }
    if (step.ready && !step.ready()) {
        QTimer::singleShot(100, [i] { run_step(i); });
        return;
    }
    std::fprintf(stderr, "guideshots: %s\n", step.what);
    g_stepClock.restart();
    QTimer::singleShot(300, [i] { run_step(i + 1); });
    if (step.act)
        step.act();
}

template <class T> T* modal() { return qobject_cast<T*>(QApplication::activeModalWidget()); }

std::function<bool()> after(int ms)
{
    auto clock = std::make_shared<QElapsedTimer>();
    return [clock, ms] {
        if (!clock->isValid())
            clock->start();
        return clock->elapsed() >= ms;
    };
}

void save(const QPixmap& picture, const char* name)
{
    const QString path = g_out + QLatin1Char('/') + QLatin1String(name);
    if (!picture.save(path))
        std::fprintf(stderr, "guideshots: cannot write %s\n", qPrintable(path));
}

void save_window(QWidget* window, const char* name) { save(window->grab(), name); }

// What the screen shows in a rectangle: a window with its open menu.
void save_screen(const QRect& area, const char* name)
{
    save(QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()), name);
}

QString ports_folder() { return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Korvelin/ZT/ports"; }

// Every COM number leads nowhere, so only the simulator can answer.
void block_ports()
{
    QDir().mkpath(ports_folder());
    for (int n = 1; n <= 38; ++n) {
        const QString entry = ports_folder() + QStringLiteral("/COM%1").arg(n);
        QFile::remove(entry);
        QFile::link(g_work + QStringLiteral("/absent/COM%1").arg(n), entry);
    }
}

std::unique_ptr<QProcess> g_sim;

void start_simulator(const QStringList& args)
{
    g_sim = std::make_unique<QProcess>();
    g_sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    g_sim->start(QStringLiteral(ZENT5_SIM_PROGRAM), QStringList{"--com", "1"} + args);
}

bool simulator_on_com1()
{
    const QFileInfo com1(ports_folder() + "/COM1");
    return com1.isSymLink() && com1.symLinkTarget().startsWith(QStringLiteral("/dev/pts/"));
}

void stop_simulator()
{
    if (!g_sim)
        return;
    g_sim->terminate();
    g_sim->waitForFinished(5000);
    g_sim.reset();
    block_ports();
}

// Answers the file dialog of "Создать", "Открыть" or the export with a path.
void answer_file_dialog(const QString& path)
{
    if (auto* dialog = modal<QFileDialog>()) {
        dialog->selectFile(path);
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(path);
        // accept() is protected in QFileDialog, and still its slot.
        QMetaObject::invokeMethod(dialog, "accept");
    }
}

// A file dialog shown long enough to have read its folder.
std::function<bool()> file_dialog_shown()
{
    auto since = std::make_shared<QElapsedTimer>();
    return [since] {
        if (!modal<QFileDialog>()) {
            since->invalidate();
            return false;
        }
        if (!since->isValid())
            since->start();
        return since->elapsed() >= 700;
    };
}

void press_ok_of_message()
{
    if (auto* box = modal<QMessageBox>())
        box->accept();
}

void add_message_shot(const char* what, const char* name)
{
    g_steps.push_back({what, [] { return modal<QMessageBox>() != nullptr; }, [name] {
                           save_window(modal<QMessageBox>(), name);
                           press_ok_of_message();
                       }});
}

// The journal as a user's would look after some weeks: downloads of the
// sample's instrument (1234) and of a second one (4242), whose verification
// has run out; the first is verified for a while yet.
void seed_journal()
{
    QFile sample(g_sample);
    if (!sample.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = sample.readAll();
    auto image = std::make_unique<zent5::ArchiveImage>();
    const size_t length = std::min<size_t>(size_t(bytes.size()), zent5::ArchiveImage::kCapacity);
    if (length < 4)
        return;
    std::copy_n(bytes.constData(), length, image->bytes.begin());
    const size_t recordSize = image->bytes[2] + 256u * image->bytes[3];
    image->kind = 1;
    image->model = 24;
    image->versionText = "10.10.14";

    using zent5::journal::TableAction;
    struct Kept {
        uint16_t serial;
        int64_t utcSeconds; // the Moscow clock shows three hours more
        TableAction action;
        const char* table;
        uint16_t records; // the first ones of the sample
    };
    const QString folder = g_work;
    const Kept kept[] = {
        {4242, 1740729600, TableAction::NewTable, "Мост-2.db", 12},   // 28.02.2025 11:00
        {4242, 1741080600, TableAction::Append, "Мост-2.db", 18},     // 04.03.2025 12:30
        {1234, 1741262400, TableAction::NewTable, "Испытания.db", 24}, // 06.03.2025 15:00
    };
    zent5::journal::Journal journal(zent5::journal::journalFolder());
    for (const Kept& k : kept) {
        image->serialNumber = k.serial;
        image->bytes[0] = uint8_t(k.records);
        image->bytes[1] = uint8_t(k.records >> 8);
        image->decodedLength = std::min(length, 4 + k.records * recordSize);
        zent5::journal::Download d;
        d.moment = {k.utcSeconds, 3 * 3600};
        d.portName = "\\\\.\\COM1";
        d.action = k.action;
        d.tablePath = (folder + QLatin1Char('/') + QString::fromUtf8(k.table)).toStdString();
        d.rowsAdded = k.records;
        zent5::journal::Entry entry = zent5::journal::makeEntry(*image, d);
        journal.add(entry);
    }
    zent5::journal::VerificationDates dates;
    using std::chrono::day;
    using std::chrono::month;
    using std::chrono::year;
    dates.setDueDate({24, 4242}, zent5::journal::Day{year(2025), month(3), day(1)});
    dates.setDueDate({24, 1234}, zent5::journal::Day{year(2030), month(12), day(1)});
    zent5::journal::saveVerificationDates(zent5::journal::verificationDatesPath(), dates);
}

} // namespace

int main(int argc, char** argv)
{
    zent5::ZentApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: guideshots OUTPUT_DIR SAMPLE_ARCHIVE WORK_DIR\n", stderr);
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    g_sample = QString::fromLocal8Bit(argv[2]);
    g_work = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(g_out);
    block_ports();
    seed_journal();

    zent5::QtPrompter prompter;
    zent5::set_application_title(zent5::program_title);
    QApplication::setApplicationDisplayName(QString());
    zent5::load_russian_translations(app);
    zent5::set_error_box_prompter(&prompter);
    zent5::ProgramWindows windows(prompter);
    windows.show_splash();
    TForm1& w = windows.main_window();
    w.setWindowState(Qt::WindowNoState);
    w.setGeometry(0, 0, kShotWidth, kShotHeight);
    w.show();

    const QString table = g_work + QStringLiteral("/Испытания.db");
    const QString book = g_work + QStringLiteral("/Испытания.xls");
    auto menuArea = [&w](QMenu* menu) { return w.geometry().united(menu->geometry()).intersected(QRect(0, 0, kShotWidth, kShotHeight)); };
    auto click_title = [&w](int logicalColumn, Qt::KeyboardModifiers keys = {}) {
        QHeaderView* header = w.DataGrid1->horizontalHeader();
        const int x = header->sectionViewportPosition(logicalColumn) + header->sectionSize(logicalColumn) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, keys, QPoint(x, header->height() / 2));
    };
    auto column_of = [&w](const QString& title) {
        QAbstractItemModel* model = w.DataGrid1->model();
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->headerData(c, Qt::Horizontal).toString() == title && !w.DataGrid1->isColumnHidden(c))
                return c;
        return -1;
    };

    g_steps = {
        {"the main window without a table", after(800), [&] { save(w.grab(QRect(0, 0, kShotWidth, 180)), "start.png"); }},
        {"the File menu", nullptr, [&] {
             QMenu* file = w.menuBar()->findChildren<QMenu*>().value(0);
             file->popup(w.mapToGlobal(w.menuBar()->actionGeometry(file->menuAction()).bottomLeft()));
         }},
        {"", after(500), [&] {
             QMenu* file = w.menuBar()->findChildren<QMenu*>().value(0);
             save_screen(menuArea(file).adjusted(0, 0, 0, 0).intersected(QRect(0, 0, 400, 210)), "menu-file.png");
             file->hide();
         }},

        // "Создать" with a slow instrument, to see the download under way.
        {"the simulator", nullptr, [&] { start_simulator({"--image", g_sample, "--chunk", "16", "--chunk-delay", "50"}); }},
        {"Создать", simulator_on_com1, [&] { w.N2->trigger(); }},
        {"the save dialog", file_dialog_shown(), [&] {
             save_window(modal<QFileDialog>(), "create-dialog.png");
             answer_file_dialog(table);
         }},
        {"the download under way", after(1500), [] {
             if (QWidget* download = QApplication::activeModalWidget())
                 save_window(download, "download.png");
         }},
        {"the table", [] { return QApplication::activeModalWidget() == nullptr; }, [&] {
             stop_simulator();
         }},
        {"", after(500), [&] { save_window(&w, "table.png"); }},

        // The grid's commands.
        {"the context menu", nullptr, [&] {
             w.DataGrid1->setCurrentIndex(w.DataGrid1->model()->index(2, column_of(QStringLiteral("F, кН"))));
             const QRect cell = w.DataGrid1->visualRect(w.DataGrid1->currentIndex());
             w.PopupMenu1->popup(w.DataGrid1->viewport()->mapToGlobal(cell.center()));
         }},
        {"", after(500), [&] {
             save_screen(w.geometry().united(w.PopupMenu1->geometry()).intersected(QRect(0, 0, kShotWidth, kShotHeight)), "popup.png");
             w.PopupMenu1->hide();
         }},
        {"a sort by force", nullptr, [&] { click_title(column_of(QStringLiteral("F, кН"))); }},
        {"a colour", after(300), [&] { w.N17->trigger(); }},
        {"the colour dialog", [] { return modal<QColorDialog>() != nullptr; }, [] {
             auto* dialog = modal<QColorDialog>();
             dialog->setCurrentColor(QColor(255, 230, 150));
             dialog->accept();
         }},
        {"", after(500), [&] { save_window(&w, "sorted.png"); }},
        {"", nullptr, [&] { w.N33->trigger(); w.N19->trigger(); }},

        // Units.
        {"the units dialog", after(300), [&] { w.N15->trigger(); }},
        {"", [] { return QApplication::activeModalWidget() != nullptr; }, [] {
             QWidget* dialog = QApplication::activeModalWidget();
             for (auto* radio : dialog->findChildren<QRadioButton*>())
                 if (radio->text().startsWith(QStringLiteral("кГс")))
                     radio->setChecked(true);
             save_window(dialog, "units.png");
             for (auto* button : dialog->findChildren<QAbstractButton*>())
                 if (button->text() == QStringLiteral("Ok"))
                     button->click();
         }},
        {"the table in kgf", after(500), [&] { save_window(&w, "table-kgf.png"); }},
        {"", nullptr, [&] { w.N15->trigger(); }},
        {"", [] { return QApplication::activeModalWidget() != nullptr; }, [] {
             QWidget* dialog = QApplication::activeModalWidget();
             for (auto* radio : dialog->findChildren<QRadioButton*>())
                 if (radio->text().startsWith(QStringLiteral("кН")))
                     radio->setChecked(true);
             for (auto* button : dialog->findChildren<QAbstractButton*>())
                 if (button->text() == QStringLiteral("Ok"))
                     button->click();
         }},

        // Printing and export.
        {"the print preview", after(300), [&] { w.N8->trigger(); }},
        {"", [] { return modal<QPrintPreviewDialog>() != nullptr; }, [] {
             auto* preview = modal<QPrintPreviewDialog>();
             preview->resize(kShotWidth, 640);
         }},
        {"", after(1500), [] {
             auto* preview = modal<QPrintPreviewDialog>();
             save_window(preview, "preview.png");
             preview->reject();
         }},
        // The statistics, with a required force some tests of the first series fall short of.
        {"the statistics", after(300), [&] { w.Statistics1->trigger(); }},
        {"", [] { return modal<zent5::stats::StatisticsWindow>() != nullptr; }, [] {
             auto* stats = modal<zent5::stats::StatisticsWindow>();
             stats->resize(kShotWidth, 600);
             // At the picture's width the chart gets more room, as a user drags it.
             if (auto* split = stats->findChild<QSplitter*>())
                 split->setSizes({kShotWidth * 2 / 5, kShotWidth * 3 / 5});
             stats->ForceEdit->clear();
             QTest::keyClicks(stats->ForceEdit, QStringLiteral("33"));
             stats->Figures->setCurrentCell(0, 0);
         }},
        {"", after(1000), [] {
             auto* stats = modal<zent5::stats::StatisticsWindow>();
             save_window(stats, "stats.png");
             stats->accept();
         }},
        {"the export", after(300), [&] { w.Excel1->trigger(); }},
        {"", file_dialog_shown(), [&] { answer_file_dialog(book); }},
    };
    add_message_shot("the export's message", "export-done.png");

    // "Дополнить" from the instrument whose verification has run out.
    g_steps.push_back({"an instrument past its verification", after(300), [] {
                           start_simulator({"--image", g_sample, "--serial", "4242", "--chunk", "16",
                                            "--chunk-delay", "50"});
                       }});
    g_steps.push_back({"", simulator_on_com1, [&] { w.N4->trigger(); }});
    g_steps.push_back({"the download window's warning", after(2000), [] {
                           if (QWidget* download = QApplication::activeModalWidget())
                               save_window(download, "download-overdue.png");
                       }});
    g_steps.push_back({"", [] { return modal<QMessageBox>() != nullptr; }, [] {
                           press_ok_of_message();
                           stop_simulator();
                       }});

    // The journal of downloads and the register of the instruments.
    g_steps.push_back({"the journal", after(500), [&] { w.Journal1->trigger(); }});
    g_steps.push_back({"", [] { return modal<zent5::JournalWindow>() != nullptr; }, [] {
                           auto* journal = modal<zent5::JournalWindow>();
                           journal->resize(kShotWidth, 420);
                           journal->Entries->selectRow(0);
                       }});
    g_steps.push_back({"", after(500), [] {
                           auto* journal = modal<zent5::JournalWindow>();
                           save_window(journal, "journal.png");
                           journal->Tabs->setCurrentIndex(1);
                           for (int row = 0; row < journal->Instruments->rowCount(); ++row)
                               if (journal->Instruments->item(row, 0)->text() == QStringLiteral("4242"))
                                   journal->Instruments->selectRow(row);
                       }});
    g_steps.push_back({"", after(500), [] {
                           auto* journal = modal<zent5::JournalWindow>();
                           save_window(journal, "instruments.png");
                           journal->reject();
                       }});

    // What goes wrong.
    g_steps.push_back({"no instrument", after(300), [&] { w.N4->trigger(); }});
    add_message_shot("the message of no instrument", "not-found.png");
    g_steps.push_back({"a silent instrument", after(500), [] { start_simulator({"--silent"}); }});
    g_steps.push_back({"", simulator_on_com1, [&] { w.N4->trigger(); }});
    g_steps.push_back({"the download window waiting", after(8000), [] {
                           QWidget* download = QApplication::activeModalWidget();
                           save_window(download, "no-answer.png");
                           for (auto* button : download->findChildren<QAbstractButton*>())
                               if (button->text() == QStringLiteral("Отмена"))
                                   button->click();
                       }});
    g_steps.push_back({"another instrument", [] { return QApplication::activeModalWidget() == nullptr; }, [] {
                           stop_simulator();
                           start_simulator({"--model", "26"});
                       }});
    g_steps.push_back({"", simulator_on_com1, [&] { w.N4->trigger(); }});
    add_message_shot("the message of the wrong instrument", "wrong-device.png");
    g_steps.push_back({"a damaged table", after(300), [&] {
                           stop_simulator();
                           QFile damaged(g_work + QStringLiteral("/Старая.db"));
                           damaged.open(QIODevice::WriteOnly);
                           damaged.write("not a table");
                           damaged.close();
                           w.N3->trigger();
                       }});
    g_steps.push_back({"", file_dialog_shown(), [&] {
                           save_window(modal<QFileDialog>(), "open-dialog.png");
                           answer_file_dialog(g_work + QStringLiteral("/Старая.db"));
                       }});
    add_message_shot("the message of a damaged table", "damaged.png");

    g_stepClock.start();
    QTimer::singleShot(0, [] { run_step(0); });
    const int code = QApplication::exec();
    stop_simulator();
    zent5::set_error_box_prompter(nullptr);
    return code;
}
