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

// Passes each X event Qt hears to `heard` until the listener goes, with its owner or as told.
class EventListener : public QObject, public QAbstractNativeEventFilter
{
public:
    EventListener(QObject *owner, std::function<void(EventListener *, const xcb_generic_event_t *)> heard)
        : QObject(owner), m_heard(std::move(heard))
    {
        qGuiApp->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type == "xcb_generic_event_t")
            m_heard(this, static_cast<const xcb_generic_event_t *>(message));
        return false;
    }

private:
    std::function<void(EventListener *, const xcb_generic_event_t *)> m_heard;
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
    const auto cookie = xcb_get_property(connection, 0, root, atom(connection, Supported), XCB_ATOM_ATOM, 0, 1024);
    ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    const auto *supported = reply ? static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get())) : nullptr;
    if (!supported || !std::count(supported, supported + xcb_get_property_value_length(reply.get()) / 4, extents))
        return false;
    // Qt reads the frame afresh once it has handled the news, but passes it on to no one.
    const xcb_window_t id = xcb_window_t(window->winId());
    auto heard = [id, extents, watcher, framed = std::move(framed)](EventListener *, const xcb_generic_event_t *e) {
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(e);
        if ((e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->window == id && notify->atom == extents)
            QTimer::singleShot(0, watcher, framed);
    };
    new EventListener(watcher, std::move(heard));
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
    xcb_connection_t *connection = x11();
    if (!connection)
        return;
    const xcb_window_t id = xcb_window_t(window->winId());
    new EventListener(window, [connection, id, launchTime](EventListener *listener, const xcb_generic_event_t *e) {
        const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(e);
        if ((e->response_type & 0x7f) != XCB_MAP_NOTIFY || map->window != id)
            return;
        // As an application asks (source 1): the window manager weighs the time against what the
        // user has done since, and may refuse.
        askWindowManager(connection, id, ActiveWindow, {1, uint32_t(launchTime)});
        listener->deleteLater();
    });
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
