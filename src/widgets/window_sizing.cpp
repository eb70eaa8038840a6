#include "widgets/window_sizing.h"

#include "widgets/twips.h"
#include "widgets/window_manager.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// The frame last put round a screen: the window manager frames them alike, so the next is sized for it.
QMargins lastFrame;

// The frame Qt knows the window manager put round `window`; none before it has shown.
QMargins frameOf(const QWidget *window)
{
    return window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
}

// Sizes and centres `window` for a window manager's `frame` around its client area.
void place(QWidget *window, float factor, QMargins frame)
{
    const QScreen *screen = window->screen();
    // Single precision and twips, as the layout was designed.
    const QSize pixels = screen->geometry().size();
    const QSizeF display(float(pixels.width() * kTwipsPerPixel), float(pixels.height() * kTwipsPerPixel));
    window->resize(px(float(display.width()) * factor) - frame.left() - frame.right(),
                   px(float(display.height()) * factor) - frame.top() - frame.bottom());

    const QSize outer = window->size().grownBy(frame);
    const float left = (float(display.width()) - float(outer.width() * kTwipsPerPixel)) / 2.0f;
    const float top = (float(display.height()) - float(outer.height() * kTwipsPerPixel)) / 2.0f;
    // Placed by its client area: Qt would place the frame only once it knows it.
    const QPoint corner = screen->geometry().topLeft() + QPoint(px(left), px(top));
    window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window->size()));
}

// Sizes a window for the frame it is expected to get, fits it again once the window manager has
// framed it differently, and brings it back where it was left each time it is shown again.
class FrameWatch : public QObject
{
public:
    FrameWatch(QWidget *window, float factor)
        : QObject(window), m_window(window), m_factor(factor), m_frame(expectedFrame(window))
    {
        window->installEventFilter(this);
        // Sized before its native window exists, which then starts at that size: mutter 48 ignores a
        // window's resizing before it first maps, and would show it at the size it was created with.
        place(window, factor, m_frame);
        m_told = watchFrame(this, window, false, [this] { fit(); });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // Only the program's own hiding and showing count: a window manager (mutter 48) may unmap and map
        // a window again as it frames it, which Qt 6.8 passes on as a spontaneous hide and show.
        if (event->spontaneous())
            return false;
        if (event->type() == QEvent::Hide) {
            m_left = m_window->geometry();
        } else if (event->type() == QEvent::Show && m_left.isValid()) {
            // Qt would ask for the client area at the frame's old corner, shifting the window
            // by its title bar each time it comes back.
            m_window->setGeometry(m_left);
        } else if (event->type() == QEvent::Show && !m_told) {
            // A window manager that does not tell the frame (weston's, for XWayland) has framed
            // and placed the window by then.
            QTimer::singleShot(500, this, &FrameWatch::settle);
        }
        return false;
    }

private:
    // Only while the window is first shown: a window manager may take the frame away as it hides it.
    void fit()
    {
        // A desktop that maximizes a window this big (GNOME's) has the last word, and a maximized
        // window's frame is no guide to the next one; nor is a frame Qt has not heard of.
        const QMargins frame = frameOf(m_window);
        if (!m_window->isVisible() || m_left.isValid() || m_window->isMaximized() || frame.isNull()
            || std::min({frame.left(), frame.top(), frame.right(), frame.bottom()}) < 0)
            return;
        lastFrame = frame;
        if (frame == m_frame)
            return;
        m_frame = frame;
        place(m_window, m_factor, frame);
    }

    // A compositor that places windows itself (weston's, for XWayland) may put one where it does not
    // fit: it keeps the place it chose, and the window what of it is on the display.
    void settle()
    {
        fit();
        const QRect display = m_window->screen()->availableGeometry();
        const QMargins frame = frameOf(m_window);
        // Where the window really is: such a compositor does not tell Qt.
        const QRect outer = QRect(clientPlaceOnScreen(m_window), m_window->size()).marginsAdded(frame);
        if (const QRect fitted = outer.intersected(display); !display.contains(outer) && !fitted.isEmpty())
            m_window->setGeometry(fitted.marginsRemoved(frame));
    }

    QWidget *m_window;
    float m_factor;
    QMargins m_frame;
    bool m_told = false;  // the window manager tells the frame as it puts it round
    QRect m_left;  // the client area when last hidden
};

} // namespace

void sizeToDisplay(QWidget *window, float factor)
{
    new FrameWatch(window, factor);
}

QMargins expectedFrame(QWidget *window)
{
    return frameBeforeShow(window).value_or(lastFrame);
}

void learnFrame(QObject *owner)
{
    auto *probe = new QWidget;  // never shown
    QObject::connect(owner, &QObject::destroyed, probe, [probe] { delete probe; });
    const bool told = watchFrame(probe, probe, true, [probe] {
        if (lastFrame.isNull())
            lastFrame = frameOf(probe);
        probe->deleteLater();
    });
    if (!told)
        delete probe;
}
