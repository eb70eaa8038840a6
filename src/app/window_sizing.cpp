#include "window_sizing.h"

#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

QSize frameExtra(QWidget *window)
{
#ifdef Q_OS_WIN
    // Windows knows a window's frame once the window exists, before it is first shown; Qt's
    // frame geometry of a hidden window would leave the frame out.
    window->winId();
    const QMargins frame = window->windowHandle()->frameMargins();
    return {frame.left() + frame.right(), frame.top() + frame.bottom()};
#else
    return window->frameGeometry().size() - window->size();
#endif
}

} // namespace

void sizeToDisplay(QWidget *window, float factor)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    // Single precision and twips, as the layout was designed.
    const auto displayTwips = [screen] {
        const QSize display = screen->geometry().size();
        return QSizeF(float(display.width() * kTwipsPerPixel), float(display.height() * kTwipsPerPixel));
    };

    const QSize extra = frameExtra(window);
    const float heightTwips = float(displayTwips().height()) * factor;
    window->resize(window->width(), px(heightTwips) - extra.height());
    const float widthTwips = float(displayTwips().width()) * factor;
    window->resize(px(widthTwips) - extra.width(), window->height());

    const QSize outer = window->frameGeometry().size();
    const QSizeF display = displayTwips();
    const float left = (float(display.width()) - float(outer.width() * kTwipsPerPixel)) / 2.0f;
    const float top = (float(display.height()) - float(outer.height() * kTwipsPerPixel)) / 2.0f;
    window->move(screen->geometry().topLeft() + QPoint(px(left), px(top)));
}
