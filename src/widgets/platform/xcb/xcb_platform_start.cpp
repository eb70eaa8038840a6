#include "widgets/platform_start.h"

#include <QByteArray>
#include <QString>
#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace {

using namespace std::chrono_literals;
constexpr auto kWithin = 3s;

struct Disconnect {
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};

// What the X server a display names did when asked to let the program in: let it in, refused it
// and said why, or said nothing in time. Where none of these, nothing listens there.
struct Answer {
    std::unique_ptr<xcb_connection_t, Disconnect> connection;
    std::string refusal;
    bool silent = false;
};

// Asked before Qt connects: Qt aborts on an X display it cannot open, and waits without end on one
// that accepts the connection and never answers.
Answer ask(const QByteArray &display)
{
    // The X library waits for the server's greeting without end, so it connects on a thread of its
    // own; one that hears back too late closes its connection, or is left behind as the program ends.
    struct Attempt {
        std::mutex mutex;
        std::condition_variable answered;
        bool done = false;
        bool abandoned = false;
        xcb_connection_t *connection = nullptr;
    };
    auto attempt = std::make_shared<Attempt>();
    // The library writes a refusing server's reason to standard error and keeps no copy: it is
    // read back from a pipe put there while the thread connects.
    int reason[2] = {-1, -1};
    const int standardError = dup(STDERR_FILENO);
    if (standardError >= 0 && pipe2(reason, O_CLOEXEC) == 0) {
        dup2(reason[1], STDERR_FILENO);
        close(reason[1]);
    }
    bool done = false;
    try {
        std::thread([attempt, name = display.toStdString()] {
            // A server resetting as its last client leaves drops a connection it has just let in:
            // once more, then, to the fresh server.
            xcb_connection_t *connection = xcb_connect(name.c_str(), nullptr);
            if (xcb_connection_has_error(connection) != 0) {
                xcb_disconnect(connection);
                connection = xcb_connect(name.c_str(), nullptr);
            }
            std::unique_lock lock(attempt->mutex);
            if (attempt->abandoned) {
                lock.unlock();
                xcb_disconnect(connection);
                return;
            }
            attempt->connection = connection;
            attempt->done = true;
            attempt->answered.notify_one();
        }).detach();
        std::unique_lock lock(attempt->mutex);
        done = attempt->answered.wait_for(lock, kWithin, [&] { return attempt->done; });
        attempt->abandoned = !done;
    } catch (const std::system_error &) {
    }
    if (standardError >= 0) {
        dup2(standardError, STDERR_FILENO);
        close(standardError);
    }
    Answer answer;
    answer.silent = !done;
    if (done && xcb_connection_has_error(attempt->connection) == 0) {
        answer.connection.reset(attempt->connection);
    } else if (done) {
        xcb_disconnect(attempt->connection);
        char text[512];
        ssize_t length = reason[0] >= 0 ? read(reason[0], text, sizeof text) : -1;
        answer.refusal.assign(text, size_t(std::max<ssize_t>(length, 0)));
        answer.refusal = answer.refusal.substr(0, answer.refusal.find('\n'));
        while (!answer.refusal.empty() && (answer.refusal.back() == '.' || answer.refusal.back() == ' '))
            answer.refusal.pop_back();
    }
    if (reason[0] >= 0)
        close(reason[0]);
    return answer;
}

// One line, in place of Qt's abort: what went wrong with the display, and what to do.
int say(const QByteArray &display, const Answer &answer)
{
    const char *virtualDisplay = "xvfb-run -s \"-screen 0 1024x768x24\" tarnwick";
    const char *named = display.constData();
    if (display.isEmpty())
        std::fprintf(stderr, "tarnwick: no display to open: DISPLAY is not set. Start it from a desktop session, or "
                             "in a virtual display: %s\n", virtualDisplay);
    else if (!answer.refusal.empty())
        std::fprintf(stderr, "tarnwick: the X server of the display \"%s\" refused the connection: %s. The user "
                             "running the program must be allowed on that display: give it the display's cookie "
                             "(XAUTHORITY) or let it in with xhost.\n", named, answer.refusal.c_str());
    else if (answer.silent)
        std::fprintf(stderr, "tarnwick: the X server of the display \"%s\" did not answer within %d s: it may be "
                             "stopped or overloaded. Try again once it answers, or start the program in a virtual "
                             "display: %s\n", named, int(kWithin.count()), virtualDisplay);
    else
        std::fprintf(stderr, "tarnwick: cannot open the display \"%s\": no X server is listening there. Start it "
                             "from a desktop session, or in a virtual display: %s\n", named, virtualDisplay);
    return 1;
}

// While Qt connects. Where it cannot after all (a server that let the check in, but not Qt), Qt
// warns and then ends the program with a fatal message and an abort: at its first word of
// trouble the display is asked again, and a failing one is said in the one line instead.
void whileConnecting(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        if (const Answer answer = ask(display); !answer.connection)
            std::_Exit(say(display, answer));
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

PlatformStart startPlatform(char *programName)
{
    static char fallbackName[] = "tarnwick";
    static char platformOption[] = "-platform";
    static char xcb[] = "xcb";
    PlatformStart start;
    start.argv = {programName ? programName : fallbackName};
    // The screens stand at designed places, which only X11 lets a program choose: on a Wayland
    // desktop run through XWayland where there is one. A QT_QPA_PLATFORM of the user's own wins.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    if (platform.isEmpty() && !display.isEmpty())
        start.argv.insert(start.argv.end(), {platformOption, xcb});
    start.argc = int(start.argv.size());
    start.argv.push_back(nullptr);
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return start;
    if (display.isEmpty()) {
        if (!platform.isEmpty() || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            start.status = say(display, {});
        return start;
    }
    Answer answer = ask(display);
    if (!answer.connection) {
        start.status = say(display, answer);
        return start;
    }
    // Held while Qt connects, the check's connection keeps a server that resets when its last
    // client leaves from resetting under Qt's own.
    qInstallMessageHandler(whileConnecting);
    start.connecting.reset(answer.connection.release(), [](xcb_connection_t *held) {
        qInstallMessageHandler(nullptr);
        xcb_disconnect(held);
    });
    return start;
}
