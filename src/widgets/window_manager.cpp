#include "widgets/window_manager.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <QElapsedTimer>
#include <QThread>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

#if QT_CONFIG(xcb)
namespace {

template<typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The 32-bit values of a window's property; empty if it has none.
QList<uint32_t> property(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    const auto cookie = xcb_get_property(connection, 0, window, name, type, 0, 1024);
    ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32)
        return {};
    const auto *values = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return QList<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

} // namespace

QMargins requestFrameExtents(QWidget *window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return {};
    xcb_connection_t *connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    // Only a running window manager that says it answers; a bare X server never would.
    if (!property(connection, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM).contains(request))
        return {};

    const xcb_window_t id = xcb_window_t(window->winId());
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);

    // The answer is a property on our window; Qt's event loop would take the notification,
    // so read the property until it appears. Window managers answer within milliseconds.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500) {
        const QList<uint32_t> ltrb = property(connection, id, extents, XCB_ATOM_CARDINAL);
        if (ltrb.size() == 4)
            return QMargins(int(ltrb[0]), int(ltrb[2]), int(ltrb[1]), int(ltrb[3]));
        QThread::msleep(5);
    }
    return {};
}

void keepOutOfTaskBar(QWidget *window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || window->isVisible())
        return;
    // GNOME's window manager drops the skip-task-bar state of a dialog but keeps every utility
    // window out of the task bar; the other window managers honour the state for both.
    if (window->windowType() == Qt::Dialog) {
        const QRect place = window->geometry();
        window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);
        window->setGeometry(place);
    }
    xcb_connection_t *connection = x11->connection();
    const xcb_window_t id = xcb_window_t(window->winId());
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    // Qt adds its own states to these when it maps the window.
    QList<uint32_t> states = property(connection, id, state, XCB_ATOM_ATOM);
    for (const char *name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t skip = atom(connection, name);
        if (!states.contains(skip))
            states.append(skip);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                        states.constData());
}

QPoint clientPlaceOnScreen(QWidget *window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return window->geometry().topLeft();
    xcb_connection_t *connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto cookie = xcb_translate_coordinates(connection, xcb_window_t(window->winId()), root, 0, 0);
    ReplyPtr<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(connection, cookie, nullptr),
                                                      &std::free);
    return reply ? QPoint(reply->dst_x, reply->dst_y) : window->geometry().topLeft();
}

#else

QMargins requestFrameExtents(QWidget *window)
{
#ifdef Q_OS_WIN
    // Windows knows a window's frame once the native window exists, before it is first shown.
    window->winId();
    return window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
#else
    Q_UNUSED(window);
    return {};
#endif
}

void keepOutOfTaskBar([[maybe_unused]] QWidget *window)
{
#ifdef Q_OS_WIN
    // Windows leaves an owned window out of the taskbar. The owner is never shown, so the
    // screen still has no visible owner and stays where it is when another screen is clicked.
    // One owner for all of them, kept by the application: it outlives every screen it owns.
    if (window->isVisible() || window->windowHandle())
        return;
    const QString name = QStringLiteral("hiddenOwner");
    auto *owner = qApp->findChild<QWindow *>(name, Qt::FindDirectChildrenOnly);
    if (!owner) {
        owner = new QWindow;
        owner->setObjectName(name);
        static_cast<QObject *>(owner)->setParent(qApp);
        owner->create();
    }
    window->winId();
    window->windowHandle()->setTransientParent(owner);
#endif
}

QPoint clientPlaceOnScreen(QWidget *window)
{
    return window->geometry().topLeft();
}

#endif
