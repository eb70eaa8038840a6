#include "widgets/window_manager.h"

#include <QWidget>
#include <QWindow>

std::optional<QMargins> frameBeforeShow(QWidget *window)
{
    // Windows knows a window's frame once the native window exists, before it is first shown.
    window->winId();
    return window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
}

// The frame is known before the window shows.
bool watchFrame(QObject *, QWidget *, std::function<void(QMargins)>)
{
    return false;
}

// Tool and splash windows stay out of the task bar by their kind alone.
void keepOutOfTaskBar(QWidget *)
{
}

QPoint clientPlaceOnScreen(QWidget *window)
{
    return window->geometry().topLeft();
}
