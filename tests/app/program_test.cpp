#include "app/modalresult.h"
#include "app/pictures.h"
#include "app/programwindows.h"
#include "app/tform1.h"
#include "app/tform5.h"
#include "tests/app/testsupport.h"

#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

namespace zent5 {
namespace {

TEST(ProgramWindows, AreCreatedOnceInTheirOrderAndKnowEachOther)
{
    testing::FreshSettings settings;
    testing::ScriptedPrompter prompts;
    ProgramWindows windows(prompts);

    EXPECT_EQ(windows.creation_order(),
              (QStringList{"TForm1", "TForm2", "TForm5", "Tform6", "TForm3"}));
    TForm1& main = windows.main_window();
    EXPECT_EQ(main.download_window(), &windows.download_window());
    EXPECT_EQ(main.about_window(), &windows.about_window());
    EXPECT_EQ(main.units_dialog(), &windows.units_dialog());
    // The main window read the settings while it was created, before any splash.
    EXPECT_TRUE(settings.contains("Default_dir"));
    EXPECT_TRUE(settings.contains("Dimension"));
    EXPECT_FALSE(main.isVisible());
}

TEST(Splash, WaitsForItsTimerOnly)
{
    TForm5 splash;
    EXPECT_EQ(splash.size(), QSize(400, 77));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.Image1->pixmap().size(), QSize(400, 78));
    EXPECT_EQ(splash.Timer1->interval(), 3000);
    EXPECT_FALSE(splash.Timer1->isActive()) << "the timer is off until the window is shown";

    splash.FormShow();
    EXPECT_TRUE(splash.Timer1->isActive());
    splash.Timer1Timer();
    EXPECT_EQ(splash.result(), mrOk);
    EXPECT_FALSE(splash.Timer1->isActive());
}

TEST(Splash, IsShownModallyAndDestroyedAfterItsTick)
{
    testing::FreshSettings settings;
    testing::ScriptedPrompter prompts;
    ProgramWindows windows(prompts);
    TForm5* splash = windows.splash_window();
    ASSERT_NE(splash, nullptr);
    bool wasModal = false;
    // Stands in for the 3000 ms tick, so the test does not wait for it.
    QTimer::singleShot(0, [&] {
        wasModal = splash->isModal() && splash->isVisible() && splash->Timer1->isActive();
        splash->Timer1Timer();
    });
    windows.show_splash();
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(windows.splash_window(), nullptr);
    EXPECT_FALSE(windows.main_window().isVisible());
}

TEST(Pictures, SevenDistinctSixteenPixelPictures)
{
    std::vector<QImage> seen;
    for (int i = 0; i < picture_count; ++i) {
        SCOPED_TRACE(i);
        const QImage image = picture(i).toImage();
        EXPECT_EQ(image.size(), QSize(16, 16));
        for (const QImage& other : seen)
            EXPECT_NE(image, other);
        seen.push_back(image);
    }
    EXPECT_EQ(splash_picture().size(), QSize(400, 78));
}

} // namespace
} // namespace zent5
