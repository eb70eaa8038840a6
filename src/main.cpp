// Tarnwick: the splash screen first, then whatever the user asks for, until the last screen goes.
#include "core/sysinfo/sys_info.h"
#include "shell/navigator.h"
#include "shell/screen_table.h"
#include "widgets/design_font.h"
#include "widgets/window_sizing.h"

#include <QApplication>
#include <QPixmapCache>

#include <cstdio>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include "core/display/x11_display.h"

#include <chrono>

namespace {

// One line, in place of Qt's abort: what could not be opened, and how to run without a desktop.
int noDisplay(const QByteArray &display)
{
    const QByteArray what = display.isEmpty() ? QByteArrayLiteral("no display to open: DISPLAY is not set")
                                              : "cannot open the display \"" + display + "\": no X server answers there";
    std::fprintf(stderr,
                 "tarnwick: %s. Start it from a desktop session, or in a virtual display: "
                 "xvfb-run -s \"-screen 0 1024x768x24\" tarnwick\n",
                 what.constData());
    return 1;
}

} // namespace
#endif

int main(int argc, char *argv[])
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The screens stand at designed places, which only X11 lets a program choose: on a Wayland
    // desktop run through XWayland where there is one. A QT_QPA_PLATFORM of the user's own wins.
    // (Wine hands DISPLAY on to Windows programs too, hence only here.)
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    if (platform.isEmpty() || platform.startsWith("xcb")) {
        if (display.isEmpty() && (!platform.isEmpty() || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")))
            return noDisplay(display);
        using namespace std::chrono_literals;
        if (!display.isEmpty() && !x11DisplayAnswers(display.toStdString(), 3s))
            return noDisplay(display);
    }
    if (platform.isEmpty() && !display.isEmpty())
        sysinfo::setForThisProgramOnly("QT_QPA_PLATFORM", "xcb");
#endif
    // The program takes no options: Qt is given its name alone, so none of Qt's own reach it.
    int qtArgc = 1;
    char fallbackName[] = "tarnwick";
    char *qtArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    QApplication app(qtArgc, qtArgv);
    // The program ends when its last screen is unloaded, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // Lets the desktop match the windows to the installed launcher entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Tarnwick"));
    installDesignFonts();
    // Each screen is made anew each time it opens, with a palette of its own, and the style keys its
    // pictures of the controls by palette: in Qt's pixmap cache they would serve no other screen and
    // pile up, some 5 kB a screen, to its 10 MB. Controls this few are drawn afresh as cheaply.
    QPixmapCache::setCacheLimit(0);

    Navigator navigator;
    registerScreens(navigator);
    learnFrame(&navigator);
    navigator.show(screenName::kSplash);
    return app.exec();
}
