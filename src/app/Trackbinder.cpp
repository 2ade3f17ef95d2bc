// The program entry: the application, its settings and its five windows.
#include "app/Unit1.h"
#include "app/Unit5.h"
#include "controls/AccessibleFactory.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "platform/SettingsStore.h"
#include "platform/Volumes.h"
#include "playlist/PlaylistViewAccessible.h"
#include "windows/Unit2.h"
#include "windows/Unit4.h"
#include "windows/Unit6.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// Without this check Qt aborts with a message about plugins that helps nobody.
bool haveDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "Trackbinder needs a graphical display, and none was found "
                     "(DISPLAY and WAYLAND_DISPLAY are not set).\n"
                     "To run it on a virtual display instead: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }

    QApplication app(argc, argv);
    installAccessibleFactory();
    installPlaylistAccessibleFactory();
    QApplication::setApplicationName(QStringLiteral("Trackbinder"));
    QApplication::setOrganizationName(QStringLiteral("Brivola"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));

    // Qt's own texts (standard buttons) in the user's language where installed.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    tb::QtDialogs dialogs;
    tb::QtSettingsStore settingsStore;
    tb::SystemVolumes volumes;
    tb::SystemLauncher launcher;
    AppSettings settings;
    TForm1 form(AppServices{dialogs, settingsStore, volumes, launcher}, settings);
    TSplash splash;
    splash.showAndPaint();

    // The start-up bench asks when the splash stood painted, and no more.
    if (qEnvironmentVariableIsSet("TRACKBINDER_STARTUP_PROBE")) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("splash_painted_ns=%lld\n",
                    static_cast<long long>(std::chrono::nanoseconds(now).count()));
        return 0;
    }
    // The playlist of the last run is read while the splash stands.
    form.keepPlaylistIn(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    TSetup setup(dialogs, form);
    TTips tips;
    TAboutBox aboutBox(launcher);
    form.setWindows({&splash, &setup, &tips, &aboutBox});

    // The loop shows the main window; its first show closes the splash and shows the tips.
    QTimer::singleShot(0, &form, &QWidget::show);
    return app.exec();
}
