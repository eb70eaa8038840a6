#include "shell/navigator.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

#include <algorithm>

namespace {

// While a message box or a menu is open, its own event loop runs on top of the handler that
// opened it, and that handler's screen must outlive it.
QWidget *nestedLoopOwner()
{
    QWidget *box = QApplication::activeModalWidget();
    return box ? box : QApplication::activePopupWidget();
}

} // namespace

Navigator::Navigator(QObject *parent)
    : QObject(parent)
{
    m_deleteTimer.setSingleShot(true);
    connect(&m_deleteTimer, &QTimer::timeout, this, &Navigator::deleteUnloaded);
}

Navigator::~Navigator()
{
    // Screens have no parent; whatever is still there goes with the navigator.
    qDeleteAll(m_loaded);
    qDeleteAll(m_unloaded);
}

void Navigator::add(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

QWidget *Navigator::find(const QString &name) const
{
    for (const QPointer<QWidget> &screen : m_loaded) {
        if (screen && screen->objectName() == name)
            return screen;
    }
    return nullptr;
}

QStringList Navigator::loadedNames() const
{
    QStringList names;
    for (const QPointer<QWidget> &screen : m_loaded)
        names << (screen ? screen->objectName() : QString());
    return names;
}

QWidget *Navigator::show(const QString &name, Cause cause)
{
    QWidget *screen = find(name);
    if (!screen) {
        const auto factory = m_factories.constFind(name);
        if (factory == m_factories.constEnd())
            return nullptr;
        screen = (*factory)();
        screen->setObjectName(name);
        screen->installEventFilter(this);
        m_loaded.append(screen);
    }
    // The doctor may be typing in another program: only the user's own asking, or a program that
    // has the keyboard, moves it.
    const bool hasKeyboard = m_keyboard || QApplication::activeWindow();
    screen->setAttribute(Qt::WA_ShowWithoutActivating, cause == Cause::Program && !hasKeyboard);
    screen->setWindowState(screen->windowState() & ~Qt::WindowMinimized);
    screen->show();
    if (cause == Cause::User || (cause == Cause::Program && hasKeyboard)) {
        screen->raise();
        screen->activateWindow();
    } else if (cause == Cause::Program) {
        QApplication::alert(screen);
    }
    return screen;
}

void Navigator::hide(const QString &name)
{
    if (QWidget *screen = find(name))
        screen->hide();
}

void Navigator::unload(QWidget *screen)
{
    const qsizetype position = m_loaded.indexOf(screen);
    if (!screen || position < 0)
        return;
    m_loaded.removeAt(position);
    screen->removeEventFilter(this);
    screen->hide();
    // The keyboard goes back to the screen now in front, the latest loaded one that shows: without a
    // window manager no one else hands it on, and it would belong to no window.
    if (m_keyboard == screen) {
        const auto shown = std::find_if(m_loaded.crbegin(), m_loaded.crend(),
                                        [](const QPointer<QWidget> &s) { return s && s->isVisible(); });
        if (shown != m_loaded.crend())
            (*shown)->activateWindow();
    }
    // The handler that unloads its own screen may still be running on it: deleted from the
    // event loop, once that handler has returned.
    m_unloaded.append(screen);
    m_deleteTimer.start(0);

    if (m_loaded.isEmpty() && !m_endCheckQueued) {
        m_endCheckQueued = true;
        QMetaObject::invokeMethod(this, &Navigator::endIfNothingLoaded, Qt::QueuedConnection);
    }
}

void Navigator::unloadAll()
{
    // Downwards, so the positions not yet visited stay valid as screens go.
    for (qsizetype i = m_loaded.size() - 1; i >= 0; --i)
        unload(m_loaded.at(i));
}

bool Navigator::eventFilter(QObject *watched, QEvent *event)
{
    // A screen that hides itself, a dialog that closes, keeps the keyboard until it is unloaded.
    if (event->type() == QEvent::Paint && !m_unloaded.isEmpty())
        m_deleteTimer.start(0);
    else if (event->type() == QEvent::WindowActivate)
        m_keyboard = static_cast<QWidget *>(watched);
    else if (event->type() == QEvent::WindowDeactivate && watched == m_keyboard && !m_keyboard->isHidden())
        m_keyboard = nullptr;
    if (watched == m_nestedLoopOwner && event->type() == QEvent::Hide) {
        watched->removeEventFilter(this);
        watched->disconnect(&m_deleteTimer);
        m_nestedLoopOwner = nullptr;
        m_deleteTimer.start(0);
        return false;
    }
    // The screen's own closeEvent still runs afterwards; a question screen goes home there.
    if (event->type() == QEvent::Close && watched->isWidgetType())
        unload(static_cast<QWidget *>(watched));
    return QObject::eventFilter(watched, event);
}

void Navigator::deleteUnloaded()
{
    if (QWidget *owner = nestedLoopOwner()) {
        // Looked at again once the box or menu has closed.
        if (owner != m_nestedLoopOwner) {
            m_nestedLoopOwner = owner;
            owner->installEventFilter(this);
            connect(owner, &QObject::destroyed, &m_deleteTimer, [this] { m_deleteTimer.start(0); });
        }
        return;
    }
    // Some window managers die of a window destroyed while they still look at it: the screens go once
    // those shown are on the display, put there after all that came before (again at their first paint).
    const auto placing = [](const auto &s) { return s && s->isVisible() && !s->windowHandle()->isExposed(); };
    if (std::any_of(m_loaded.cbegin(), m_loaded.cend(), placing))
        return;
    for (const QPointer<QWidget> &screen : std::exchange(m_unloaded, {})) {
        if (screen)
            screen->deleteLater();
    }
}

void Navigator::endIfNothingLoaded()
{
    m_endCheckQueued = false;
    if (m_loaded.isEmpty())
        m_endHandler();
}
