#include "app/helpfile.h"
#include "app/programwindows.h"
#include "app/tform1.h"
#include "app/tform6.h"
#include "app/versiontext.h"
#include "tests/app/testsupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

namespace zent5 {
namespace {

TEST(AboutWindow, ShowsTheVersionTheBuildStamped)
{
    Tform6 about;
    EXPECT_EQ(about.windowTitle().toStdString(), "О программе");
    EXPECT_EQ(about.StaticText1->text().toStdString(), "ЗЕНТ-5");
    EXPECT_EQ(about.StaticText2->text().toStdString(), "Программа для передачи данных с прибора ЗЕНТ-5");
    EXPECT_EQ(about.Button1->text().toStdString(), "Ок");
    EXPECT_EQ(about.StaticText3->text().toStdString(), "Версия 1.0");

    about.FormShow();
    EXPECT_EQ(about.StaticText3->text().toStdString(), "Версия 1.0.1.0");
}

TEST(AboutWindow, AMissingVersionReadsAllZeros)
{
    EXPECT_EQ(file_version_text("1.0.1.0"), "1.0.1.0");
    EXPECT_EQ(file_version_text(""), "0.0.0.0");
}

TEST(AboutWindow, TheMenuCommandShowsItModallyWithTheVersion)
{
    testing::FreshSettings settings;
    testing::ScriptedPrompter prompts;
    ProgramWindows windows(prompts);
    std::string shown;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<Tform6*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        shown = about->StaticText3->text().toStdString();
        about->Button1->click();
    });
    windows.main_window().N26->trigger();
    EXPECT_EQ(shown, "Версия 1.0.1.0");
}

// Records the files the desktop is asked to open.
class Viewer : public QObject {
    Q_OBJECT
public:
    std::vector<std::string> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url.toLocalFile().toStdString()); }
};

class Help : public ::testing::Test {
protected:
    Viewer viewer;
    QTemporaryDir dir;
    void SetUp() override { QDesktopServices::setUrlHandler(QStringLiteral("file"), &viewer, "open"); }
    void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
};

TEST_F(Help, TheHelpFileIsFoundOnlyBesideTheProgram)
{
    const std::string path = dir.path().toStdString();
    EXPECT_EQ(help_file_in(path), "");
    QDir(dir.path()).mkdir(QStringLiteral("zent5.hlp"));
    EXPECT_EQ(help_file_in(path), "") << "a folder of that name is no help file";
    QDir(dir.path()).rmdir(QStringLiteral("zent5.hlp"));

    QFile file(dir.filePath(QStringLiteral("zent5.hlp")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(help_file_in(path), path + "/zent5.hlp");
    EXPECT_EQ(help_file_in(path + "/"), path + "/zent5.hlp");
}

// The road of zent5.hlp on Windows.
TEST_F(Help, AFoundHelpFileOpensInTheDesktopViewer)
{
    const std::string help = dir.filePath(QStringLiteral("zent5.hlp")).toStdString();
    open_in_desktop_viewer(help);
    EXPECT_EQ(viewer.opened, std::vector<std::string>{help});
}

TEST_F(Help, WithoutAHelpFileHelpDoesNothingAndSaysNothing)
{
    testing::FreshSettings settings;
    testing::ScriptedPrompter prompts;
    testing::CapturedErrorBox box;
    TForm1 window(prompts);
    ASSERT_EQ(window.help_file(), "") << "no help is expected beside the test program";

    window.N24->trigger();
    window.ToolButton6->click();

    EXPECT_TRUE(viewer.opened.empty());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(box.prompter.messages.empty());
}

} // namespace
} // namespace zent5

#include "about_test.moc"
