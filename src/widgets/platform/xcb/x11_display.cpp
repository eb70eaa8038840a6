#include "widgets/platform/xcb/x11_display.h"

#include <xcb/xcb.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

void X11Disconnect::operator()(xcb_connection_t *connection) const
{
    xcb_disconnect(connection);
}

X11Connection connectToX11(const std::string &display, std::chrono::milliseconds within)
{
    // The X library waits for the server's greeting without end, so it connects on a thread of
    // its own; one that hears back too late closes its connection, or is left behind as the
    // program ends.
    struct Attempt {
        std::mutex mutex;
        std::condition_variable answered;
        bool done = false;
        bool abandoned = false;
        xcb_connection_t *connection = nullptr;
    };
    auto attempt = std::make_shared<Attempt>();
    try {
        std::thread([attempt, display] {
            // A server resetting as its last client leaves drops a connection it has just let in:
            // once more, then, to the fresh server.
            xcb_connection_t *connection = xcb_connect(display.c_str(), nullptr);
            if (xcb_connection_has_error(connection) != 0) {
                xcb_disconnect(connection);
                connection = xcb_connect(display.c_str(), nullptr);
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
    } catch (const std::system_error &) {
        return {};
    }
    std::unique_lock lock(attempt->mutex);
    if (!attempt->answered.wait_for(lock, within, [&] { return attempt->done; })) {
        attempt->abandoned = true;
        return {};
    }
    X11Connection connection(attempt->connection);
    if (xcb_connection_has_error(connection.get()) != 0)
        connection.reset();
    return connection;
}
