#include "widgets/window_manager.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

namespace {

template<typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

// Qt's connection to the X server; none where Qt does not draw on X11.
xcb_connection_t *x11()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The atoms the program asks the window manager with, all interned in one round trip on first use:
// on a slow link each round trip counts.
enum Atom { FrameExtents, Supported, RequestFrameExtents, ActiveWindow, WmState, SkipTaskbar, SkipPager, AtomCount };

xcb_atom_t atom(xcb_connection_t *connection, Atom which)
{
    static const std::array<xcb_atom_t, AtomCount> atoms = [connection] {
        const char *names[AtomCount] = {"_NET_FRAME_EXTENTS", "_NET_SUPPORTED", "_NET_REQUEST_FRAME_EXTENTS",
                                        "_NET_ACTIVE_WINDOW", "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                                        "_NET_WM_STATE_SKIP_PAGER"};
        std::array<xcb_intern_atom_cookie_t, AtomCount> cookies;
        for (int i = 0; i < AtomCount; ++i)
            cookies[i] = xcb_intern_atom(connection, 0, uint16_t(qstrlen(names[i])), names[i]);
        std::array<xcb_atom_t, AtomCount> interned;
        for (int i = 0; i < AtomCount; ++i) {
            ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr), &std::free);
            interned[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        }
        return interned;
    }();
    return atoms[which];
}

// The atoms a window's property lists; none if it has no such property.
QList<uint32_t> atomsOf(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name)
{
    const auto cookie = xcb_get_property(connection, 0, window, name, XCB_ATOM_ATOM, 0, 1024);
    ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32)
        return {};
    const auto *values = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return QList<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

// A request to the window manager about `window`, sent to the root window, where window managers
// listen for them. One that does not know the request ignores it.
void askWindowManager(xcb_connection_t *connection, xcb_window_t window, Atom request,
                      std::array<uint32_t, 2> data = {})
{
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(connection, request);
    std::copy(data.cbegin(), data.cend(), message.data.data32);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

// Hears the window manager tell the frame round one window, which Qt reads afresh once it has
// handled the news, but passes on to no one.
class FrameListener : public QObject, public QAbstractNativeEventFilter
{
public:
    FrameListener(QObject *watcher, xcb_window_t window, xcb_atom_t extents, std::function<void()> framed)
        : QObject(watcher), m_window(window), m_extents(extents), m_framed(std::move(framed))
    {
        qGuiApp->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
        if (type == "xcb_generic_event_t" && (notify->response_type & 0x7f) == XCB_PROPERTY_NOTIFY
            && notify->window == m_window && notify->atom == m_extents)
            QTimer::singleShot(0, this, m_framed);
        return false;
    }

private:
    xcb_window_t m_window;
    xcb_atom_t m_extents;
    std::function<void()> m_framed;
};

// Asks for the keyboard for one window when it first maps, then goes.
class FirstMapListener : public QObject, public QAbstractNativeEventFilter
{
public:
    FirstMapListener(QWidget *window, xcb_connection_t *connection, unsigned long launchTime)
        : QObject(window), m_connection(connection), m_window(xcb_window_t(window->winId())), m_time(launchTime)
    {
        qGuiApp->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        const auto *map = static_cast<const xcb_map_notify_event_t *>(message);
        if (type != "xcb_generic_event_t" || (map->response_type & 0x7f) != XCB_MAP_NOTIFY || map->window != m_window)
            return false;
        // As an application asks (source 1): the window manager weighs the time against what the user
        // has done since, and may refuse.
        askWindowManager(m_connection, m_window, ActiveWindow, {1, uint32_t(m_time)});
        deleteLater();
        return false;
    }

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_window;
    unsigned long m_time;
};

} // namespace

// An X11 window manager frames a window only once it is mapped; asking it earlier means waiting.
std::optional<QMargins> frameBeforeShow(QWidget *)
{
    return std::nullopt;
}

bool watchFrame(QObject *watcher, QWidget *window, bool ask, std::function<void()> framed)
{
    xcb_connection_t *connection = x11();
    if (!connection)
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t extents = atom(connection, FrameExtents);
    // Only where the window manager says it tells the frame, as Qt reads it only then: the two agree.
    if (!atomsOf(connection, root, atom(connection, Supported)).contains(extents))
        return false;
    const xcb_window_t id = xcb_window_t(window->winId());
    new FrameListener(watcher, id, extents, std::move(framed));
    if (ask)
        askWindowManager(connection, id, RequestFrameExtents);
    return true;
}

void keepOutOfTaskBar(QWidget *window)
{
    xcb_connection_t *connection = x11();
    if (!connection || window->isVisible())
        return;
    // GNOME's window manager drops the skip-task-bar state of a dialog but keeps every utility
    // window out of the task bar; the other window managers honour the state for both.
    if (window->windowType() == Qt::Dialog) {
        const QRect place = window->geometry();
        window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);
        window->setGeometry(place);
    }
    // Qt adds its own states to these when it maps the window.
    const xcb_atom_t skip[] = {atom(connection, SkipTaskbar), atom(connection, SkipPager)};
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, xcb_window_t(window->winId()), atom(connection, WmState),
                        XCB_ATOM_ATOM, 32, 2, skip);
}

void takeKeyboardOnFirstShow(QWidget *window, unsigned long launchTime)
{
    if (xcb_connection_t *connection = x11())
        new FirstMapListener(window, connection, launchTime);
}

QPoint clientPlaceOnScreen(QWidget *window)
{
    xcb_connection_t *connection = x11();
    if (!connection)
        return window->geometry().topLeft();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto cookie = xcb_translate_coordinates(connection, xcb_window_t(window->winId()), root, 0, 0);
    ReplyPtr<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(connection, cookie, nullptr),
                                                      &std::free);
    return reply ? QPoint(reply->dst_x, reply->dst_y) : window->geometry().topLeft();
}
