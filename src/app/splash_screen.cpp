#include "splash_screen.h"

#include "design_font.h"
#include "picture.h"
#include "screens.h"
#include "twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

namespace {

struct SplashLabel {
    const char *name;
    const char *text;
    QRect place;  // twips, relative to the frame
    const char *family;
    qreal points;
    bool bold;
    Qt::Alignment alignment;
    bool autoSize;
    QColor colour;
};

} // namespace

SplashScreen::SplashScreen(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , Frame1(new QGroupBox(this))
    , Timer1(new QTimer(this))
    , imgLogo(new QLabel(Frame1))
{
    setWindowTitle(QString());
    setFixedSize(twipsRect(0, 0, 7380, 4245).size());
    setFocusPolicy(Qt::StrongFocus);

    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(150, 60, 7080, 4050));
    Frame1->installEventFilter(this);

    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setAccessibleName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(twipsRect(360, 795, 1815, 2385));
    imgLogo->setScaledContents(true);

    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    const SplashLabel labels[] = {
        {"lblCopyright", "Copyright \u00a9 Brannock", {2400, 1920, 3735, 255}, "Arial", 9.75, true, left, false, {}},
        {"lblCompany", "Brannock", {2400, 2280, 4455, 255}, "Arial", 8.25, true, left, false, {}},
        {"lblWarning", "Warning: this program is protected by copyright law. See About for details.",
         {120, 3600, 6855, 255}, "Arial", 8.25, false, left, false, {}},
        {"lblVersion", "Version 1.0", {2760, 3000, 1050, 240}, "Arial", 9.75, true, right, true, {}},
        {"lblPlatform", "Windows 95, 98, ME", {2640, 2640, 2265, 285}, "Arial", 12, true, right, true, {}},
        {"lblProductName", "Merrowvale", {2520, 1080, 4485, 435}, "Arial", 18, true, left, true, QColor(0, 0, 255)},
        {"lblCompanyProduct", "Dr. Halvern's", {2520, 600, 2070, 330}, "Arial", 14.25, true, left, true,
         QColor(255, 0, 255)},
    };
    for (const SplashLabel &design : labels) {
        auto *label = new QLabel(QString::fromUtf8(design.text), Frame1);
        label->setObjectName(QLatin1StringView(design.name));
        label->setFont(designFont(QLatin1StringView(design.family), design.points, design.bold));
        label->setAlignment(design.alignment);
        label->setGeometry(twipsRect(design.place.x(), design.place.y(), design.place.width(), design.place.height()));
        if (design.colour.isValid()) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, design.colour);
            label->setPalette(palette);
        }
        if (design.autoSize)
            label->adjustSize();
    }

    // Eight seconds from loading; the timer is the screen's child, so it dies with it.
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(8000);
    connect(Timer1, &QTimer::timeout, this, &SplashScreen::Timer1_Timer);
    Timer1->start();

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect centred = rect();
        centred.moveCenter(screen->geometry().center());
        move(centred.topLeft());
    }
}

void SplashScreen::Form_Load()
{
    imgLogo->setPixmap(loadStretchedPicture(picturePath(), imgLogo->size()));
}

void SplashScreen::Timer1_Timer()
{
    leave();
}

void SplashScreen::Form_KeyPress()
{
    leave();
}

void SplashScreen::Frame1_Click()
{
    leave();
}

void SplashScreen::leave()
{
    // The first trigger wins; the screen is gone for the others.
    Timer1->stop();
    if (Screens::instance().find(objectName()) != this)
        return;
    Screens::instance().unload(this);
    Screens::instance().show(QStringLiteral("frmStart"));
}

void SplashScreen::keyPressEvent(QKeyEvent *event)
{
    // Only keys that yield a character: arrows, function keys and Shift alone do nothing.
    if (!event->text().isEmpty())
        Form_KeyPress();
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

void SplashScreen::closeEvent(QCloseEvent *event)
{
    event->accept();
    Screens::instance().unload(this);
}
