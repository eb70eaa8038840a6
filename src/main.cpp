// Tarnwick: the splash screen first, then whatever the user asks for, until the last screen goes.
#include "core/sysinfo/sys_info.h"
#include "shell/navigator.h"
#include "shell/screen_table.h"
#include "widgets/design_font.h"

#include <QApplication>

int main(int argc, char *argv[])
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The screens stand at designed places, which only X11 lets a program choose: on a Wayland
    // desktop run through XWayland where there is one. A QT_QPA_PLATFORM of the user's own wins.
    // (Wine hands DISPLAY on to Windows programs too, hence only here.)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        sysinfo::setForThisProgramOnly("QT_QPA_PLATFORM", "xcb");
#endif
    QApplication app(argc, argv);
    // The program ends when its last screen is unloaded, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // Lets the desktop match the windows to the installed launcher entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Tarnwick"));
    installDesignFonts();

    Navigator navigator;
    registerScreens(navigator);
    navigator.show(screenName::kSplash);
    return app.exec();
}
