#include "widgets/window_sizing.h"

#include "widgets/twips.h"
#include "widgets/window_manager.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

// The frame the window manager last put round one of the screens: it frames every plain window
// of the program alike, so the next one is sized for it before it shows.
QMargins &lastFrame()
{
    static QMargins frame;
    return frame;
}

// The frame Qt knows the window manager put round `window`; none before it has shown.
QMargins frameOf(const QWidget *window)
{
    const QRect outer = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
            outer.bottom() - client.bottom()};
}

// Sizes and centres `window` for a window manager's `frame` around its client area.
void place(QWidget *window, float factor, QMargins frame)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    // Single precision and twips, as the layout was designed.
    const auto displayTwips = [screen] {
        const QSize display = screen->geometry().size();
        return QSizeF(float(display.width() * kTwipsPerPixel), float(display.height() * kTwipsPerPixel));
    };

    const float heightTwips = float(displayTwips().height()) * factor;
    window->resize(window->width(), px(heightTwips) - frame.top() - frame.bottom());
    const float widthTwips = float(displayTwips().width()) * factor;
    window->resize(px(widthTwips) - frame.left() - frame.right(), window->height());

    const QSize outer = window->size().grownBy(frame);
    const QSizeF display = displayTwips();
    const float left = (float(display.width()) - float(outer.width() * kTwipsPerPixel)) / 2.0f;
    const float top = (float(display.height()) - float(outer.height() * kTwipsPerPixel)) / 2.0f;
    // Placed by its client area: Qt would place the frame only once it knows it.
    const QPoint corner = screen->geometry().topLeft() + QPoint(px(left), px(top));
    window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window->size()));
}

// Fits a window to its frame once the window manager has framed it, if that frame is not the
// one it was sized for, and brings it back where it was left each time it is shown again.
class FrameWatch : public QObject
{
public:
    FrameWatch(QWidget *window, float factor, QMargins frame)
        : QObject(window), m_window(window), m_factor(factor), m_frame(frame)
    {
        window->installEventFilter(this);
        m_told = watchFrame(this, window, [this](QMargins frame) { fit(frame); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            if (m_left.isValid()) {
                // Qt would ask for the client area at the frame's old corner, shifting the window
                // by its title bar each time it comes back.
                m_window->setGeometry(m_left);
            } else if (!m_fitting) {
                // Some window managers tell the frame only after the window is mapped.
                m_fitting = true;
                QTimer::singleShot(100, this, &FrameWatch::check);
                QTimer::singleShot(500, this, [this] {
                    check();
                    // A window manager that tells the frame keeps the place asked for; the fit
                    // asked of it may still be on its way, so where the server has it is stale.
                    if (!m_told)
                        keepOnScreen();
                    m_fitting = false;
                });
            }
            break;
        case QEvent::Hide:
            m_left = m_window->geometry();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (m_fitting && m_window->isVisible())
                QTimer::singleShot(0, this, &FrameWatch::check);
            break;
        default:
            break;
        }
        return false;
    }

private:
    void check()
    {
        // Qt may not have heard of the frame yet; where it has none, nothing is learnt.
        if (const QMargins frame = frameOf(m_window); !frame.isNull())
            fit(frame);
    }

    void fit(QMargins frame)
    {
        if (!m_fitting || frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0)
            return;
        // A desktop that maximizes a window this big (GNOME's) has the last word, and the frame
        // of a maximized window is no guide to the next one.
        if (m_window->isMaximized())
            return;
        lastFrame() = frame;
        if (frame == m_frame)
            return;
        m_frame = frame;
        place(m_window, m_factor, frame);
    }

    // A compositor that places windows itself (weston's, for XWayland) may put one where it
    // does not fit: it keeps the place it chose, and the window what of it is on the display.
    void keepOnScreen()
    {
        const QScreen *screen = m_window->screen();
        const QMargins frame = frameOf(m_window);
        // Where the window really is: such a compositor does not tell Qt.
        const QRect outer = QRect(clientPlaceOnScreen(m_window), m_window->size()).marginsAdded(frame);
        if (!screen || screen->availableGeometry().contains(outer))
            return;
        const QRect fitted = outer.intersected(screen->availableGeometry());
        if (!fitted.isEmpty())
            m_window->setGeometry(fitted.marginsRemoved(frame));
    }

    QWidget *m_window;
    float m_factor;
    QMargins m_frame;
    bool m_fitting = false;
    bool m_told = false;  // the window manager tells the frame as it puts it round
    QRect m_left;  // the client area when last hidden
};

} // namespace

void sizeToDisplay(QWidget *window, float factor)
{
    if (window->isVisible()) {
        place(window, factor, frameOf(window));
        return;
    }
    const QMargins frame = expectedFrame(window);
    new FrameWatch(window, factor, frame);
    place(window, factor, frame);
}

QMargins expectedFrame(QWidget *window)
{
    return frameBeforeShow(window).value_or(lastFrame());
}

void learnFrame(QObject *owner)
{
    // A plain window that never shows: the window manager says what frame it would give it, so
    // that even the first screen is sized for its frame before it shows.
    auto *probe = new QWidget;
    QObject::connect(owner, &QObject::destroyed, probe, [probe] { delete probe; });
    const bool told = watchFrame(probe, probe, [probe](QMargins frame) {
        if (lastFrame().isNull())
            lastFrame() = frame;
        probe->deleteLater();
    });
    if (told)
        askFrame(probe);
    else
        delete probe;
}
