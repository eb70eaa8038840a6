#include "widgets/window_manager.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

std::optional<QMargins> frameBeforeShow(QWidget *window)
{
    // Windows knows a window's frame once the native window exists, before it is first shown.
    window->winId();
    return window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
}

// The frame is known before the window shows.
bool watchFrame(QObject *, QWidget *, bool, std::function<void()>)
{
    return false;
}

// Windows leaves an owned window out of the taskbar. The owner is never shown, so the screen
// still has no visible owner and stays where it is when another screen is clicked. One owner for
// all of them, kept by the application: it outlives every screen it owns.
void keepOutOfTaskBar(QWidget *window)
{
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
}

// Windows gives the first window of a program just started the keyboard itself.
void takeKeyboardOnFirstShow(QWidget *, unsigned long) {}

QPoint clientPlaceOnScreen(QWidget *window)
{
    return window->geometry().topLeft();
}
