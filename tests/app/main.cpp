#include "app/translations.h"
#include "app/zentapplication.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The widget tests need one application object for the whole run; it is the
// program's own, so errors escaping an event handler take the program's road.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test may touch the user's own settings, nor the journal of downloads.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());

    zent5::ZentApplication app(argc, argv);
    zent5::ZentApplication::setQuitOnLastWindowClosed(false);
    zent5::load_russian_translations(app);

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
