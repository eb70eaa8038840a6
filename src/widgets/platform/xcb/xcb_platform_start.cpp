#include "widgets/platform_start.h"

#include <QByteArray>
#include <QString>
#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace {

constexpr int kWithinSeconds = 3;

// What the X server a display names did when asked to let the program in: let it in (a
// connection), refused it and said why, or said nothing in time. Where none of these, nothing
// listens there.
struct Answer {
    xcb_connection_t *connection = nullptr;
    std::string refusal;
    bool silent = false;
};

// Asked before Qt connects: Qt aborts on an X display it cannot open, and waits without end on one
// that accepts the connection and never answers. The X library waits for the greeting without end
// too, so it connects on a thread of its own, left behind if it hears nothing in time.
Answer ask(const QByteArray &display)
{
    auto connecting = std::make_shared<std::packaged_task<xcb_connection_t *()>>([name = display.toStdString()] {
        // A server resetting as its last client leaves drops a connection it has just let in:
        // once more, then, to the fresh server.
        xcb_connection_t *connection = xcb_connect(name.c_str(), nullptr);
        if (xcb_connection_has_error(connection) == 0)
            return connection;
        xcb_disconnect(connection);
        return xcb_connect(name.c_str(), nullptr);
    });
    std::future<xcb_connection_t *> connected = connecting->get_future();
    // The library writes a refusing server's reason to standard error and keeps no copy: it is
    // read back from a pipe put there while the thread connects.
    int reason[2] = {-1, -1};
    const int standardError = dup(STDERR_FILENO);
    if (standardError >= 0 && pipe2(reason, O_CLOEXEC) == 0)
        dup2(reason[1], STDERR_FILENO);
    try {
        std::thread([connecting] { (*connecting)(); }).detach();
    } catch (const std::system_error &) {
        (*connecting)();  // no thread to spare: asked here, however long it takes
    }
    Answer answer;
    answer.silent = connected.wait_for(std::chrono::seconds(kWithinSeconds)) != std::future_status::ready;
    dup2(standardError, STDERR_FILENO);
    for (int fd : {standardError, reason[1]})
        close(fd);
    if (!answer.silent && xcb_connection_has_error(answer.connection = connected.get()) != 0) {
        xcb_disconnect(std::exchange(answer.connection, nullptr));
        char said[512] = {};
        if (read(reason[0], said, sizeof said - 1) > 0)
            answer.refusal.assign(said, std::strcspn(said, ".\n"));
    }
    close(reason[0]);
    return answer;
}

// One line, in place of Qt's abort: what went wrong with the display, and what to do.
int say(const QByteArray &display, const Answer &answer)
{
    const std::string named = "the display \"" + display.toStdString() + '"';
    const std::string elsewhere = "in a virtual display: xvfb-run -s \"-screen 0 1024x768x24\" tarnwick";
    std::string line;
    if (display.isEmpty())
        line = "no display to open: DISPLAY is not set. Start it from a desktop session, or " + elsewhere;
    else if (!answer.refusal.empty())
        line = "the X server of " + named + " refused the connection: " + answer.refusal + ". The user running the "
               "program must be allowed on that display: give it the display's cookie (XAUTHORITY) or let it in "
               "with xhost";
    else if (answer.silent)
        line = "the X server of " + named + " did not answer within " + std::to_string(kWithinSeconds) + " s: it "
               "may be stopped or overloaded. Try again once it answers, or start the program " + elsewhere;
    else
        line = "cannot open " + named + ": no X server is listening there. Start it from a desktop session, or "
               + elsewhere;
    std::fprintf(stderr, "tarnwick: %s\n", line.c_str());
    return 1;
}

// While Qt connects. Where it cannot after all (a server that let the check in, but not Qt), Qt
// warns and then ends the program with a fatal message and an abort: at its first word of
// trouble the display is asked again, and a failing one is said in the one line instead.
void whileConnecting(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        const Answer answer = ask(display);
        if (!answer.connection)
            std::_Exit(say(display, answer));
        xcb_disconnect(answer.connection);
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

PlatformStart startPlatform(char *programName)
{
    static char fallbackName[] = "tarnwick", platformOption[] = "-platform", xcb[] = "xcb";
    PlatformStart start;
    start.argv = {programName ? programName : fallbackName};
    // The screens stand at designed places, which only X11 lets a program choose: on a Wayland
    // desktop run through XWayland where there is one. A QT_QPA_PLATFORM of the user's own wins.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    // A launcher's startup notification ends in the time of the launching event.
    const QByteArray startup = qgetenv("DESKTOP_STARTUP_ID");
    if (const qsizetype at = startup.lastIndexOf("_TIME"); at >= 0)
        start.launchTime = startup.mid(at + 5).toULong();
    if (platform.isEmpty() && !display.isEmpty())
        start.argv.insert(start.argv.end(), {platformOption, xcb});
    start.argc = int(start.argv.size());
    start.argv.push_back(nullptr);
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return start;
    // A server dropping the connection mid-greeting ends in the one line, not in a broken pipe,
    // until Qt has connected.
    const auto onBrokenPipe = std::signal(SIGPIPE, SIG_IGN);
    const Answer answer = display.isEmpty() ? Answer() : ask(display);
    if (!answer.connection) {
        std::signal(SIGPIPE, onBrokenPipe);  // on Wayland, or said and ending
        if (!display.isEmpty() || !platform.isEmpty() || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            start.status = say(display, answer);
        return start;
    }
    // Held while Qt connects, the check's connection keeps a server that resets when its last
    // client leaves from resetting under Qt's own.
    qInstallMessageHandler(whileConnecting);
    start.connecting.reset(answer.connection, [onBrokenPipe](xcb_connection_t *held) {
        qInstallMessageHandler(nullptr);
        std::signal(SIGPIPE, onBrokenPipe);
        xcb_disconnect(held);
    });
    return start;
}
