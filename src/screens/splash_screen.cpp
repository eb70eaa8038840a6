#include "screens/splash_screen.h"

#include "widgets/controls.h"
#include "widgets/design_font.h"
#include "widgets/picture.h"
#include "widgets/twips.h"
#include "widgets/window_manager.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

// A fixed dialog border without a title bar, drawn by the screen itself so that it is the same
// on every platform and under any window manager, or none: two raised edges and a face-coloured
// ring, three pixels in all, around the designed client area.
constexpr int kBorder = 3;

// Every label is in Arial.
struct SplashLabel {
    const char *name;
    const char *text;
    QRect place;  // twips, relative to the frame
    qreal points;
    bool bold;
    Qt::Alignment alignment;
    bool autoSize;
    QColor colour;
};

// Swallows the rest of the keystroke that closed the splash screen. Its repeats and its release
// would go to the topic screen's focused OK button, which Enter presses on every repeat.
class KeystrokeEnd : public QObject
{
public:
    explicit KeystrokeEnd(int key) : QObject(QCoreApplication::instance()), m_key(key)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
            return false;
        if (const auto *key = static_cast<const QKeyEvent *>(event); key->key() != m_key || key->isAutoRepeat())
            return key->key() == m_key;  // other keys pass, repeats go
        // The release ends the keystroke; a fresh press is a new one, the user's own.
        deleteLater();
        return type == QEvent::KeyRelease;
    }

private:
    const int m_key;
};

} // namespace

SplashScreen::SplashScreen(QWidget *parent)
    // A plain window: some desktops give a splash window no keyboard.
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , Frame1(new QGroupBox(this))
    , Timer1(new QTimer(this))
    , imgLogo(new QLabel(Frame1))
{
    setWindowTitle(QString());
    setFixedSize(twipsRect(0, 0, 7380, 4245).size().grownBy(QMargins(kBorder, kBorder, kBorder, kBorder)));
    setFocusPolicy(Qt::StrongFocus);

    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(150, 60, 7080, 4050).translated(kBorder, kBorder));
    Frame1->installEventFilter(this);

    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setAccessibleName(QString::fromUtf16(kPictureDescription));
    imgLogo->setGeometry(twipsRect(360, 795, 1815, 2385));
    imgLogo->setScaledContents(true);

    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    const SplashLabel labels[] = {
        {"lblCopyright", "Copyright \u00a9 Brannock", {2400, 1920, 3735, 255}, 9.75, true, left, false, {}},
        {"lblCompany", "Brannock", {2400, 2280, 4455, 255}, 8.25, true, left, false, {}},
        {"lblWarning", "Warning: this program is protected by copyright law. See About for details.",
         {120, 3600, 6855, 255}, 8.25, false, left, false, {}},
        {"lblVersion", "Version 1.0", {2760, 3000, 1050, 240}, 9.75, true, right, true, {}},
        {"lblPlatform", "Windows 95, 98, ME", {2640, 2640, 2265, 285}, 12, true, right, true, {}},
        {"lblProductName", "Merrowvale", {2520, 1080, 4485, 435}, 18, true, left, true, kBlue},
        {"lblCompanyProduct", "Dr. Halvern's", {2520, 600, 2070, 330}, 14.25, true, left, true, QColor(255, 0, 255)},
    };
    for (const SplashLabel &design : labels) {
        const QRect &p = design.place;
        QLabel *label = addLabel(Frame1, QLatin1StringView(design.name), QString::fromUtf8(design.text), p.x(), p.y(),
                                 p.width(), p.height(), designFont(QStringLiteral("Arial"), design.points, design.bold));
        label->setAlignment(design.alignment);
        if (design.colour.isValid())
            setTextColour(label, design.colour);
        if (design.autoSize)
            label->adjustSize();
    }

    // Eight seconds from loading; the timer is the screen's child, so it dies with it.
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(8000);
    connect(Timer1, &QTimer::timeout, this, &SplashScreen::Timer1_Timer);
    Timer1->start();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    // Its native window made here, where it is to show: not moved there once it exists.
    keepOutOfTaskBar(this);
}

void SplashScreen::Form_Load(PictureLoader &picture)
{
    picture.fill(imgLogo);
}

void SplashScreen::Timer1_Timer()
{
    // The first trigger wins; the screen is gone for the others. A key or click beats a running timer.
    const bool byUser = Timer1->isActive();
    Timer1->stop();
    emit finished(byUser);
}

void SplashScreen::Form_KeyPress()
{
    Timer1_Timer();
}

void SplashScreen::Frame1_Click()
{
    Timer1_Timer();
}

void SplashScreen::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const auto edge = [&painter](QRect box, const QColor &topLeft, const QColor &bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(box.topLeft(), box.topRight() - QPoint(1, 0));
        painter.drawLine(box.topLeft(), box.bottomLeft() - QPoint(0, 1));
        painter.setPen(bottomRight);
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    };
    edge(rect(), QColor(192, 192, 192), Qt::black);
    edge(rect().adjusted(1, 1, -1, -1), Qt::white, QColor(128, 128, 128));
}

void SplashScreen::keyPressEvent(QKeyEvent *event)
{
    // Only keys that yield a character: arrows, function keys and Shift alone do nothing.
    if (!event->text().isEmpty()) {
        new KeystrokeEnd(event->key());
        Form_KeyPress();
    }
}

bool SplashScreen::eventFilter(QObject *watched, QEvent *event)
{
    // QLabel lets clicks through to its parent; only the frame's bare area counts.
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton && Frame1->rect().contains(at) && !Frame1->childAt(at)) {
            Frame1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
