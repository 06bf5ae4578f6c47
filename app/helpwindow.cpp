#include "app/helpwindow.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>

namespace zent5 {

namespace {

QString page_text_file(const QUrl& page)
{
    QFile file(page.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QUrl without_fragment(QUrl url)
{
    url.setFragment(QString());
    return url;
}

bool page_has(const QUrl& page, const QString& text)
{
    QTextDocument document;
    document.setHtml(page_text_file(page));
    return !document.find(text).isNull();
}

} // namespace

HelpWindow::HelpWindow(const QString& firstPage, QWidget* owner)
    : QMainWindow(owner, Qt::Window), m_firstPage(QUrl::fromLocalFile(firstPage))
{
    setObjectName(QStringLiteral("HelpWindow"));
    resize(960, 720);

    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setOpenExternalLinks(true);
    setCentralWidget(Browser);

    QToolBar* bar = addToolBar(QStringLiteral("Помощь"));
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    // Back and forward through the pages read, enabled while there is a page to go to.
    auto history = [this, bar](QStyle::StandardPixmap icon, const char* text, const char* name,
                               QKeySequence::StandardKey key, void (QTextBrowser::*go)(),
                               void (QTextBrowser::*available)(bool)) {
        QAction* action = bar->addAction(style()->standardIcon(icon), QString::fromUtf8(text));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        action->setEnabled(false);
        connect(action, &QAction::triggered, Browser, go);
        connect(Browser, available, action, &QAction::setEnabled);
        return action;
    };
    BackAction = history(QStyle::SP_ArrowBack, "Назад", "BackAction", QKeySequence::Back, &QTextBrowser::backward,
                         &QTextBrowser::backwardAvailable);
    ForwardAction = history(QStyle::SP_ArrowForward, "Вперёд", "ForwardAction", QKeySequence::Forward,
                            &QTextBrowser::forward, &QTextBrowser::forwardAvailable);

    ContentsAction = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Содержание"));
    ContentsAction->setObjectName(QStringLiteral("ContentsAction"));
    connect(ContentsAction, &QAction::triggered, this, &HelpWindow::show_contents);

    bar->addSeparator();
    bar->addWidget(new QLabel(QStringLiteral("Найти: "), bar));
    SearchText = new QLineEdit(bar);
    SearchText->setObjectName(QStringLiteral("SearchText"));
    SearchText->setClearButtonEnabled(true);
    SearchText->setMaximumWidth(280);
    bar->addWidget(SearchText);
    connect(SearchText, &QLineEdit::returnPressed, this, &HelpWindow::find_next);
    FindAction = bar->addAction(QStringLiteral("Далее"));
    FindAction->setObjectName(QStringLiteral("FindAction"));
    FindAction->setShortcut(QKeySequence::FindNext);
    connect(FindAction, &QAction::triggered, this, &HelpWindow::find_next);
    auto* focusSearch = new QAction(this);
    focusSearch->setShortcut(QKeySequence::Find);
    connect(focusSearch, &QAction::triggered, SearchText, [this] {
        SearchText->setFocus();
        SearchText->selectAll();
    });
    addAction(focusSearch);

    SearchState = new QLabel(this);
    SearchState->setObjectName(QStringLiteral("SearchState"));
    statusBar()->addWidget(SearchState, 1);

    connect(Browser, &QTextBrowser::sourceChanged, this, [this] {
        SearchState->clear();
        update_title();
    });
    Browser->setSource(m_firstPage);
    update_title();
}

HelpWindow* HelpWindow::show_guide(const std::string& firstPage, QWidget* owner)
{
    HelpWindow* window = owner ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!window)
        window = new HelpWindow(QString::fromStdString(firstPage), owner);
    else
        window->show_contents();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void HelpWindow::show_contents()
{
    if (Browser->source() != m_firstPage)
        Browser->setSource(m_firstPage);
    Browser->moveCursor(QTextCursor::Start);
}

QStringList HelpWindow::pages() const
{
    QStringList order{m_firstPage.toLocalFile()};
    QTextDocument contents;
    contents.setHtml(page_text_file(m_firstPage));
    for (QTextBlock block = contents.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isAnchor())
                continue;
            const QUrl link = without_fragment(m_firstPage.resolved(QUrl(format.anchorHref())));
            if (!link.isLocalFile() || !link.path().endsWith(QStringLiteral(".html")))
                continue;
            const QString file = link.toLocalFile();
            if (!order.contains(file) && QFileInfo(file).isFile())
                order << file;
        }
    }
    return order;
}

bool HelpWindow::find_text(const QString& text)
{
    SearchState->clear();
    if (text.isEmpty())
        return false;
    if (Browser->find(text))
        return true;

    const QStringList order = pages();
    const QString shown = without_fragment(Browser->source()).toLocalFile();
    const qsizetype at = order.indexOf(shown);
    for (qsizetype step = 1; step <= order.size(); ++step) {
        const QString& page = order[(std::max<qsizetype>(at, 0) + step) % order.size()];
        const QUrl url = QUrl::fromLocalFile(page);
        if (!page_has(url, text))
            continue;
        if (page != shown)
            Browser->setSource(url);
        Browser->moveCursor(QTextCursor::Start);
        if (Browser->find(text))
            return true;
    }
    SearchState->setText(QStringLiteral("«%1» в руководстве не найдено").arg(text));
    return false;
}

void HelpWindow::find_next() { find_text(SearchText->text()); }

void HelpWindow::update_title()
{
    const QString title = Browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Помощь") : title);
}

} // namespace zent5
