// Tarnwick: the splash screen first, then whatever the user asks for, until the last screen goes.
#include "shell/navigator.h"
#include "shell/screen_table.h"
#include "widgets/design_look.h"
#include "widgets/window_sizing.h"

#include <QApplication>

#include <cstdio>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include "widgets/platform/xcb/x11_display.h"

#include <QList>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <utility>

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

// What Qt says while it connects, held back: where its X11 plugin cannot connect after all, Qt
// ends the program with a fatal message and an abort, and the user gets the one line instead.
// A message handler is a plain function, hence this state of the file's own.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
struct Connecting {
    QByteArray display;
    QList<HeldMessage> held;
    QtMessageHandler passOn = nullptr;
};
Connecting connecting;

void passOnHeld()
{
    for (const HeldMessage &m : std::exchange(connecting.held, {}))
        connecting.passOn(m.type, QMessageLogContext(nullptr, 0, nullptr, m.category.constData()), m.text);
}

void holdWhileConnecting(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const QByteArray category = context.category ? context.category : "";
    const bool cannotConnect = std::any_of(connecting.held.cbegin(), connecting.held.cend(), [](const HeldMessage &m) {
        return m.category == "qt.qpa.xcb" && m.text.startsWith(QLatin1StringView("could not connect"));
    });
    if (type == QtFatalMsg && cannotConnect)
        std::_Exit(noDisplay(connecting.display));
    if (type != QtFatalMsg) {
        connecting.held.append({type, category, text});
        return;
    }
    passOnHeld();
    connecting.passOn(type, context, text);
}

// Says what Qt held back while it connected, once it has.
void connected()
{
    qInstallMessageHandler(connecting.passOn);
    passOnHeld();
}

} // namespace
#endif

int main(int argc, char *argv[])
{
    // The program takes no options: Qt is given its name, and the platform where the program
    // chooses it, so none of Qt's own options reach it.
    char fallbackName[] = "tarnwick";
    char *qtArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr, nullptr, nullptr};
    int qtArgc = 1;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The screens stand at designed places, which only X11 lets a program choose: on a Wayland
    // desktop run through XWayland where there is one. A QT_QPA_PLATFORM of the user's own wins.
    // (Wine hands DISPLAY on to Windows programs too, hence only here.)
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    X11Connection checked;
    if (platform.isEmpty() || platform.startsWith("xcb")) {
        if (display.isEmpty() && (!platform.isEmpty() || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")))
            return noDisplay(display);
        using namespace std::chrono_literals;
        if (!display.isEmpty() && !(checked = connectToX11(display.toStdString(), 3s)))
            return noDisplay(display);
    }
    char platformOption[] = "-platform";
    char xcb[] = "xcb";
    if (platform.isEmpty() && !display.isEmpty()) {
        qtArgv[qtArgc++] = platformOption;
        qtArgv[qtArgc++] = xcb;
    }
    connecting.display = display;
    connecting.passOn = qInstallMessageHandler(holdWhileConnecting);
#endif
    // The screens keep their designed look whatever the desktop's theme: no theme's icons either.
    QApplication::setDesktopSettingsAware(false);
    QApplication app(qtArgc, qtArgv);
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    connected();
    checked.reset();
#endif
    // The program ends when its last screen is unloaded, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // Lets the desktop match the windows to the installed launcher entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Tarnwick"));
    installDesignLook();

    Navigator navigator;
    registerScreens(navigator);
    learnFrame(&navigator);
    navigator.show(screenName::kSplash);
    return app.exec();
}
