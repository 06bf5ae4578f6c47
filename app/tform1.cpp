#include "app/tform1.h"

#include "app/applicationtitle.h"
#include "app/datagrid.h"
#include "app/errorbox.h"
#include "app/gridlayout.h"
#include "app/gridprocedures.h"
#include "app/helpfile.h"
#include "app/modalresult.h"
#include "app/pictures.h"
#include "app/quitrequest.h"
#include "app/settingsstore.h"
#include "app/startupsettings.h"
#include "app/tform3.h"
#include "app/tform6.h"
#include "records/prompter.h"
#include "records/rowcursor.h"
#include "session/downloadjournal.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace zent5 {

TForm1::TForm1(Prompter& prompter, QWidget* parent) : QMainWindow(parent), m_prompter(prompter)
{
    m_table = &Dbf1;
    recordDownloads(m_session, m_prompter);
    setObjectName(QStringLiteral("TForm1"));
    resize(1343, 501);
    setContextMenuPolicy(Qt::NoContextMenu);

    buildMenu();
    buildToolBar();

    m_clientArea = new QWidget(this);
    m_clientArea->setObjectName(QStringLiteral("ClientArea"));
    m_clientArea->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(m_clientArea);
    layout->setContentsMargins(0, 0, 0, 0);
    DataGrid1 = new DataGrid(m_clientArea);
    DataGrid1->setTable(&Dbf1);
    layout->addWidget(DataGrid1);
    setCentralWidget(m_clientArea);

    buildPopupMenu();
    DataGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DataGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DataGrid1->viewport()->mapToGlobal(at)); });
    connect(DataGrid1, &DataGrid::titleStateChanged, this,
            [this](int column) { run_guarded([&] { DataGrid1TitleStateChange(column); }); });
    connect(DataGrid1, &DataGrid::editStarted, this, [this] { run_guarded([this] { DataGrid1InitEdit(); }); });

    set_caption(program_title);
    FormCreate();
}

TForm1::~TForm1()
{
    // The grid outlives Dbf1 by a moment while the window comes down.
    DataGrid1->setTable(nullptr);
}

void TForm1::FormCreate()
{
    Dbf1.Close();
    setWindowState(Qt::WindowMaximized);
    set_background(false);
    find_help_in(QCoreApplication::applicationDirPath().toStdString());

    m_settings = std::make_unique<SettingsStore>();
    const StartupSettings startup = read_startup_settings(*m_settings, QDir::currentPath().toStdString());
    m_state.default_dir = startup.default_dir;
    m_dialogInitialDir = startup.default_dir;
    m_state.dimension = startup.dimension;

    m_state.table_open = false;
    clear_sort_marks(*DataGrid1);
    disable_button();
    tab_vis_dis();
    set_vis_on_dimens();
}

QAction* TForm1::command(QMenu* menu, const char* name, const char* caption, void (TForm1::*handler)())
{
    auto* action = new QAction(QString::fromUtf8(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    if (handler)
        connectCommand(action, handler);
    menu->addAction(action);
    return action;
}

void TForm1::connectCommand(QAction* action, void (TForm1::*handler)())
{
    connect(action, &QAction::triggered, this, [this, handler] { run_guarded([this, handler] { (this->*handler)(); }); });
}

void TForm1::connectCommand(QToolButton* button, void (TForm1::*handler)())
{
    connect(button, &QToolButton::clicked, this, [this, handler] { run_guarded([this, handler] { (this->*handler)(); }); });
}

void TForm1::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QStringLiteral("Файл"));
    N2 = command(file, "N2", "Создать", &TForm1::N2Click);
    N2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    N2->setIcon(picture_icon(picNew));
    N3 = command(file, "N3", "Открыть", &TForm1::N3Click);
    N3->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    N3->setIcon(picture_icon(picOpen));
    N4 = command(file, "N4", "Дополнить", &TForm1::N4Click);
    N5 = command(file, "N5", "Сохранить", &TForm1::N5Click);
    N5->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    N5->setIcon(picture_icon(picSave));
    N7 = command(file, "N7", "Закрыть", &TForm1::N7Click);
    file->addSeparator();
    N8 = command(file, "N8", "Предварительный просмотр", &TForm1::N8Click);
    N8->setIcon(picture_icon(picPreview));
    N9 = command(file, "N9", "Печать", &TForm1::N9Click);
    N9->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    N9->setIcon(picture_icon(picPrint));
    file->addSeparator();
    N11 = command(file, "N11", "Выход", &TForm1::N11Click);

    QMenu* view = bar->addMenu(QStringLiteral("Вид"));
    N23 = command(view, "N23", "Выровнять столбцы", &TForm1::N23Click);
    view->addSeparator();
    N17 = command(view, "N17", "Задать цвет", &TForm1::N17Click);
    N18 = command(view, "N18", "Убрать цвет", &TForm1::N18Click);
    N19 = command(view, "N19", "Убрать все цвета", &TForm1::N19Click);
    view->addSeparator();
    N33 = command(view, "N33", "Убрать сортировку", &TForm1::N33Click);

    QMenu* edit = bar->addMenu(QStringLiteral("Правка"));
    N21 = command(edit, "N21", "Удалить строки", &TForm1::N21Click);
    N21->setIcon(picture_icon(picDeleteRows));

    QMenu* service = bar->addMenu(QStringLiteral("Сервис"));
    Excel1 = command(service, "Excel1", "Экспорт в Excel", &TForm1::Excel1Click);
    N37 = command(service, "N37", "Перенумеровать строки", &TForm1::N37Click);
    N15 = command(service, "N15", "Размерность", &TForm1::N15Click);
    Statistics1 = command(service, "Statistics1", "Статистика", &TForm1::Statistics1Click);
    Journal1 = command(service, "Journal1", "Журнал загрузок", &TForm1::Journal1Click);

    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    N24 = command(help, "N24", "Помощь", &TForm1::N24Click);
    N24->setShortcut(QKeySequence(Qt::Key_F1));
    N24->setIcon(picture_icon(picHelp));
    help->addSeparator();
    N26 = command(help, "N26", "О программе", &TForm1::N26Click);
}

void TForm1::buildPopupMenu()
{
    PopupMenu1 = new QMenu(DataGrid1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N22 = command(PopupMenu1, "N22", "Печать", &TForm1::N22Click);
    CalcSV = command(PopupMenu1, "CalcSV", "Расчет S&&V", nullptr);
    CalcSV->setEnabled(false);
    PopupMenu1->addSeparator();
    PopupSetColor = command(PopupMenu1, "PopupSetColor", "Задать цвет", &TForm1::N17Click);
    PopupRemoveColor = command(PopupMenu1, "PopupRemoveColor", "Убрать цвет", &TForm1::N18Click);
    PopupRemoveColors = command(PopupMenu1, "PopupRemoveColors", "Убрать все цвета", &TForm1::N19Click);
    PopupMenu1->addSeparator();
    PopupFit = command(PopupMenu1, "PopupFit", "Выровнять столбцы", &TForm1::N23Click);
    PopupMenu1->addSeparator();
    PopupDelete = command(PopupMenu1, "PopupDelete", "Удалить", &TForm1::N21Click);
}

void TForm1::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    struct Button {
        QToolButton** button;
        const char* name;
        int picture;
        void (TForm1::*handler)();
    };
    // The sixth button shows the help picture and opens the help, like F1.
    const Button buttons[] = {
        {&ToolButton1, "ToolButton1", picNew, &TForm1::N2Click},
        {&ToolButton2, "ToolButton2", picOpen, &TForm1::N3Click},
        {&ToolButton3, "ToolButton3", picSave, &TForm1::N5Click},
        {&ToolButton4, "ToolButton4", picPreview, &TForm1::N8Click},
        {&ToolButton5, "ToolButton5", picPrint, &TForm1::N9Click},
        {&ToolButton6, "ToolButton6", picHelp, &TForm1::N24Click},
    };
    for (const Button& b : buttons) {
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setIcon(picture_icon(b.picture));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        connectCommand(button, b.handler);
        ToolBar1->addWidget(button);
        *b.button = button;
    }
}

void TForm1::attach_windows(QDialog* downloadWindow, const ArchiveImage* archive, Tform6* aboutWindow,
                            TForm3* unitsDialog)
{
    m_form2 = downloadWindow;
    m_archive = archive;
    m_form6 = aboutWindow;
    m_form3 = unitsDialog;
}

bool TForm1::table_active() const { return m_table && m_table->Active(); }

void TForm1::enable_button()
{
    for (QAction* item : {N4, N5, N7, N8, N9, N23, N17, N18, N19, N33, N21, N37, Excel1, Statistics1})
        item->setEnabled(true);
    for (QToolButton* button : {ToolButton3, ToolButton4, ToolButton5})
        button->setEnabled(true);
}

void TForm1::disable_button()
{
    for (QAction* item : {N4, N5, N7, N8, N9, N23, N17, N18, N19, N33, N21, N37, Excel1, Statistics1})
        item->setEnabled(false);
    for (QToolButton* button : {ToolButton3, ToolButton4, ToolButton5})
        button->setEnabled(false);
    CalcSV->setEnabled(false);
}

void TForm1::tab_vis_en()
{
    if (!table_active())
        return;
    m_table->First();
    m_table->Refresh();
    DataGrid1->gridModel().refresh();
    DataGrid1->show();
}

void TForm1::tab_vis_dis() { DataGrid1->hide(); }

void TForm1::set_vis_on_dimens() { zent5::set_vis_on_dimens(*DataGrid1, m_state.dimension); }

void TForm1::set_background(bool tableOpen)
{
    QPalette look = m_clientArea->palette();
    look.setColor(QPalette::Window, palette().color(tableOpen ? QPalette::Button : QPalette::Dark));
    m_clientArea->setPalette(look);
}

QColor TForm1::background_color() const { return m_clientArea->palette().color(QPalette::Window); }

void TForm1::set_caption(const std::string& caption)
{
    set_application_title(caption);
    setWindowTitle(QString::fromStdString(application_title()));
}

void TForm1::load_layout() { zent5::load_layout(*m_settings, *DataGrid1); }

void TForm1::save_layout() { zent5::save_layout(*m_settings, *DataGrid1); }

void TForm1::N15Click()
{
    if (!m_form3)
        return;
    if (m_form3->exec() == mrOk)
        set_vis_on_dimens();
}

void TForm1::find_help_in(const std::string& programDir) { m_helpFile = find_help(programDir); }

void TForm1::N24Click() { open_help(m_helpFile, this); }

void TForm1::N26Click()
{
    if (m_form6)
        m_form6->exec();
}

void TForm1::FormClose()
{
    m_settings->setText("Default_dir", m_state.default_dir);
    Close_DB();
    post_quit_request();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    run_guarded([this] { FormClose(); });
    event->accept();
}

} // namespace zent5
