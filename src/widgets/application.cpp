#include "widgets/application.h"

#include "widgets/design_look.h"

#include <QIcon>

// Told before the application exists: the screens keep their designed look whatever the desktop's
// theme, no theme's icons either.
Application::Application(int &argc, char **argv)
    : QApplication((setDesktopSettingsAware(false), argc), argv)
{
    setQuitOnLastWindowClosed(false);
    setApplicationName(QStringLiteral("Tarnwick"));
    // Lets the desktop match the windows to the installed launcher entry.
    setDesktopFileName(QStringLiteral("org.tarnwick.Tarnwick"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tarnwick-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/tarnwick-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    installDesignLook();
}
