#include "app/helpfile.h"
#include "app/helpwindow.h"
#include "app/tform1.h"
#include "tests/app/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

#include <filesystem>

#include <gtest/gtest.h>

namespace zent5 {
namespace {

const QString kFixtureGuide = QStringLiteral(ZENT5_TEST_DATA_DIR "/app/guide");
const QString kUserGuide = QStringLiteral(ZENT5_TEST_DATA_DIR "/../../help/guide");

QString shown_file(const HelpWindow& window)
{
    QUrl url = window.Browser->source();
    url.setFragment(QString());
    return QFileInfo(url.toLocalFile()).fileName();
}

void copy_folder(const QString& from, const QString& to)
{
    std::filesystem::create_directories(to.toStdString());
    std::filesystem::copy(from.toStdString(), to.toStdString(), std::filesystem::copy_options::recursive);
}

class GuideLookup : public ::testing::Test {
protected:
    QTemporaryDir root;
    std::string bin() const { return root.filePath(QStringLiteral("usr/bin")).toStdString(); }
    std::string installed() const { return root.filePath(QStringLiteral("usr/share/zent5/help/index.html")).toStdString(); }
    std::string beside() const { return root.filePath(QStringLiteral("usr/bin/help/index.html")).toStdString(); }
    static void touch(const std::string& file)
    {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        QFile f(QString::fromStdString(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
};

TEST_F(GuideLookup, InstalledFirstThenBesideTheProgram)
{
    struct Case {
        const char* name;
        bool installed;
        bool beside;
        bool folderNamedLikeThePage;
        int expected; // 0 none, 1 installed, 2 beside
    };
    const Case cases[] = {
        {"none", false, false, false, 0},
        {"installed only", true, false, false, 1},
        {"beside only", false, true, false, 2},
        {"both: the installed guide wins", true, true, false, 1},
        {"a folder named index.html is no page", false, false, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(root.path().toStdString() + "/usr");
        std::filesystem::create_directories(bin());
        if (c.installed)
            touch(installed());
        if (c.beside)
            touch(beside());
        if (c.folderNamedLikeThePage)
            std::filesystem::create_directories(installed());
        const std::string expected = c.expected == 1 ? installed() : c.expected == 2 ? beside() : "";
        EXPECT_EQ(guide_in(bin()), expected);
        EXPECT_EQ(guide_in(bin() + "/"), expected);
    }
    EXPECT_EQ(guide_in(""), "");
}

#ifndef _WIN32
// On this platform the guide is the help; zent5.hlp means nothing here.
TEST_F(GuideLookup, TheGuideIsThisPlatformsHelp)
{
    std::filesystem::create_directories(bin());
    touch(bin() + "/zent5.hlp");
    EXPECT_EQ(find_help(bin()), "");
    touch(installed());
    EXPECT_EQ(find_help(bin()), installed());
}

class HelpKey : public ::testing::Test {
protected:
    testing::FreshSettings settings;
    testing::ScriptedPrompter prompts;
    testing::CapturedErrorBox box;
    QTemporaryDir root;
    QString bin() const { return root.filePath(QStringLiteral("usr/bin")); }
    QString guide() const { return root.filePath(QStringLiteral("usr/share/zent5/help")); }

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(bin()));
        copy_folder(kUserGuide, guide());
    }

    static void press_f1(TForm1& window)
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F1);
    }
};

TEST_F(HelpKey, F1ShowsTheGuidesFirstPage)
{
    TForm1 window(prompts);
    window.find_help_in(bin().toStdString());
    press_f1(window);

    auto* help = window.findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->Browser->source(), QUrl::fromLocalFile(guide() + "/index.html"));
    EXPECT_EQ(help->windowTitle().toStdString(), "ЗЕНТ-5: руководство пользователя");
    EXPECT_TRUE(help->Browser->toPlainText().contains(QStringLiteral("Содержание")));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(box.prompter.messages.empty());
}

TEST_F(HelpKey, WithTheGuideRemovedF1DoesNothing)
{
    std::filesystem::remove_all(guide().toStdString());
    TForm1 window(prompts);
    window.find_help_in(bin().toStdString());
    ASSERT_EQ(window.help_file(), "");
    press_f1(window);
    window.ToolButton6->click();

    EXPECT_EQ(window.findChild<HelpWindow*>(), nullptr);
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(top->isVisible() && top != &window) << top->objectName().toStdString();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(box.prompter.messages.empty());
}
#endif

class HelpWindowOnAGuide : public ::testing::Test {
protected:
    HelpWindow window{kFixtureGuide + "/index.html"};
};

TEST_F(HelpWindowOnAGuide, BackAndForwardRetraceThePagesRead)
{
    EXPECT_EQ(shown_file(window), "index.html");
    EXPECT_EQ(window.windowTitle().toStdString(), "Test guide");
    EXPECT_FALSE(window.BackAction->isEnabled());
    EXPECT_FALSE(window.ForwardAction->isEnabled());

    window.Browser->setSource(QUrl::fromLocalFile(kFixtureGuide + "/a.html"));
    EXPECT_EQ(window.windowTitle().toStdString(), "Page A");
    EXPECT_TRUE(window.BackAction->isEnabled());

    window.BackAction->trigger();
    EXPECT_EQ(shown_file(window), "index.html");
    EXPECT_TRUE(window.ForwardAction->isEnabled());
    window.ForwardAction->trigger();
    EXPECT_EQ(shown_file(window), "a.html");

    window.ContentsAction->trigger();
    EXPECT_EQ(shown_file(window), "index.html");
    window.BackAction->trigger();
    EXPECT_EQ(shown_file(window), "a.html") << "the contents page is one more step in the history";
}

TEST_F(HelpWindowOnAGuide, ThePagesAreThoseOfTheContentsInTheirOrder)
{
    QStringList names;
    for (const QString& page : window.pages())
        names << QFileInfo(page).fileName();
    EXPECT_EQ(names, (QStringList{"index.html", "a.html", "b.html"}))
        << "each page once, without the outside link and the page not written";
}

TEST_F(HelpWindowOnAGuide, SearchGoesOnThroughTheFollowingPages)
{
    struct Find {
        const char* text;
        bool found;
        const char* page;
    };
    // From the top of the contents page, one after another.
    const Find finds[] = {
        {"anchor", true, "index.html"},
        {"ANCHOR", true, "index.html"}, // the second anchor, in any case
        {"strand", true, "b.html"},
        {"pulled", true, "b.html"},     // further down the same page
        {"contents", true, "b.html"},
        {"wire", true, "a.html"},       // round to the pages before
        {"no such word", false, "a.html"},
        {"", false, "a.html"},
    };
    int anchors = 0;
    for (const Find& f : finds) {
        SCOPED_TRACE(f.text);
        const int before = window.Browser->textCursor().position();
        EXPECT_EQ(window.find_text(QString::fromUtf8(f.text)), f.found);
        EXPECT_EQ(shown_file(window), f.page);
        if (f.found) {
            EXPECT_EQ(window.Browser->textCursor().selectedText().toLower(), QString::fromUtf8(f.text).toLower());
        }
        if (std::string(f.text) == "ANCHOR") {
            EXPECT_GT(window.Browser->textCursor().position(), before);
            ++anchors;
        }
    }
    EXPECT_EQ(anchors, 1);
    EXPECT_EQ(window.SearchState->text().toStdString(), "");

    window.SearchText->setText(QStringLiteral("no such word"));
    window.FindAction->trigger();
    EXPECT_EQ(window.SearchState->text().toStdString(), "«no such word» в руководстве не найдено");
    window.Browser->setSource(QUrl::fromLocalFile(kFixtureGuide + "/index.html"));
    EXPECT_EQ(window.SearchState->text().toStdString(), "") << "a new page clears the note";
}

TEST_F(HelpWindowOnAGuide, ShowingTheGuideAgainReusesTheWindowAtItsContents)
{
    QWidget owner;
    HelpWindow* first = HelpWindow::show_guide((kFixtureGuide + "/index.html").toStdString(), &owner);
    first->Browser->setSource(QUrl::fromLocalFile(kFixtureGuide + "/b.html"));
    first->close();
    HelpWindow* again = HelpWindow::show_guide((kFixtureGuide + "/index.html").toStdString(), &owner);
    EXPECT_EQ(again, first);
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(shown_file(*again), "index.html");
    EXPECT_EQ(owner.findChildren<HelpWindow*>().size(), 1);
}

// The guide the package installs: every page of its contents has a title,
// and every picture and page a page points at is there.
TEST(UserGuide, EveryPageAndPictureItNamesExists)
{
    HelpWindow window(kUserGuide + "/index.html");
    const QStringList pages = window.pages();
    EXPECT_GE(pages.size(), 9);
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        QFile file(page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QTextDocument document;
        document.setHtml(QString::fromUtf8(file.readAll()));
        EXPECT_FALSE(document.metaInformation(QTextDocument::DocumentTitle).isEmpty());
        const QDir folder = QFileInfo(page).dir();
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (format.isImageFormat()) {
                    const QString picture = format.toImageFormat().name();
                    EXPECT_TRUE(QFileInfo(folder.filePath(picture)).isFile()) << picture.toStdString();
                    EXPECT_FALSE(QImage(folder.filePath(picture)).isNull()) << picture.toStdString();
                }
                if (format.isAnchor() && !format.anchorHref().contains(QStringLiteral("://"))) {
                    const QString target = format.anchorHref().section(QLatin1Char('#'), 0, 0);
                    EXPECT_TRUE(QFileInfo(folder.filePath(target)).isFile()) << target.toStdString();
                }
            }
        }
    }
}

} // namespace
} // namespace zent5
