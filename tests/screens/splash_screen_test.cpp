// The splash screen gives way to the topic screen on the first of: a key with a character,
// a click on the bare frame, the timer.
#include "recording_sink.h"

#include "screens/splash_screen.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

class Splash : public ScreensTest
{
protected:
    void SetUp() override
    {
        ScreensTest::SetUp();
        splash = qobject_cast<SplashScreen *>(screens().show(QStringLiteral("frmSplash")));
        ASSERT_NE(splash, nullptr);
    }

    bool splashStillUp() const
    {
        return screens().loadedNames() == QStringList{"frmSplash"} && splash->isVisible();
    }

    bool handedOver() const
    {
        return screens().loadedNames() == QStringList{"frmStart"} && screen(QStringLiteral("frmStart"))->isVisible();
    }

    QPointer<SplashScreen> splash;
};

// Its size, place and border are pinned by its picture in the look test.
TEST_F(Splash, OpensWithItsEightSecondTimer)
{
    ASSERT_TRUE(splash->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
    EXPECT_EQ(splash->findChild<QTimer *>(QStringLiteral("Timer1"))->interval(), 8000);
    EXPECT_TRUE(splash->findChild<QTimer *>(QStringLiteral("Timer1"))->isSingleShot());
    auto *picture = control<QLabel>(QStringLiteral("frmSplash"), QStringLiteral("imgLogo"));
    EXPECT_TRUE(QTest::qWaitFor([picture] { return !picture->pixmap().isNull(); }));
}

TEST_F(Splash, KeysWithoutACharacterLeaveItUp)
{
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_F5, Qt::Key_Shift, Qt::Key_Control, Qt::Key_PageDown})
        QTest::keyClick(splash, key);
    settle();
    EXPECT_TRUE(splashStillUp());
}

TEST_F(Splash, KeysWithACharacterCloseItAtOnce)
{
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape, Qt::Key_A, Qt::Key_Backspace}) {
        SCOPED_TRACE(key);
        if (!splash) {
            Module1::CloseAllScreens(screens());
            settle();
            ends = 0;
            splash = qobject_cast<SplashScreen *>(screens().show(QStringLiteral("frmSplash")));
        }
        QTest::keyClick(splash, key);
        EXPECT_TRUE(handedOver());
        settle();
        EXPECT_TRUE(splash.isNull());
        EXPECT_EQ(ends, 0) << "the topic screen is shown in the same handler";
    }
}

TEST_F(Splash, TheKeyThatClosesItDoesNothingElse)
{
    // Held down, the key repeats after the topic screen has taken over; Enter on its focused OK
    // button would warn that nothing is selected.
    RecordingSink sink;
    QTest::keyPress(splash, Qt::Key_Return);
    ASSERT_TRUE(handedOver());
    QWidget *focused = QApplication::focusWidget();
    ASSERT_EQ(focused, control<QPushButton>(QStringLiteral("frmStart"), QStringLiteral("cmdOK")));
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QApplication::sendEvent(focused, &repeat);
    }
    QTest::keyRelease(focused, Qt::Key_Return);
    settle();
    EXPECT_TRUE(sink.messages.empty());

    // The next keystroke is the user's own.
    QTest::keyClick(focused, Qt::Key_Return);
    EXPECT_EQ(sink.messages.size(), 1u);
}

TEST_F(Splash, ClicksOnThePictureOrALabelDoNothing)
{
    auto *frame = splash->findChild<QGroupBox *>(QStringLiteral("Frame1"));
    const QList<QLabel *> labels = frame->findChildren<QLabel *>();
    ASSERT_EQ(labels.size(), 8);
    for (QLabel *label : labels)
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(3, 3));  // margin outside the frame
    settle();
    EXPECT_TRUE(splashStillUp());
}

TEST_F(Splash, AClickOnTheBareFrameClosesIt)
{
    auto *frame = splash->findChild<QGroupBox *>(QStringLiteral("Frame1"));
    const QPoint bare(frame->width() - 20, 30);
    ASSERT_EQ(frame->childAt(bare), nullptr);
    QTest::mouseClick(frame, Qt::LeftButton, {}, bare);
    EXPECT_TRUE(handedOver());
}

TEST_F(Splash, TheTimerClosesItAndTheFirstTriggerWins)
{
    auto *timer = splash->findChild<QTimer *>(QStringLiteral("Timer1"));
    // A late key and tick, once the topic list has given way to a question, do not show it again.
    QObject::connect(timer, &QTimer::timeout, splash, [this] {
        screens().hide(QStringLiteral("frmStart"));
        splash->Form_KeyPress();
        splash->Timer1_Timer();
    });
    timer->start(1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return splash.isNull(); }));
    EXPECT_EQ(screens().loadedNames(), QStringList{"frmStart"});
    EXPECT_FALSE(screen(QStringLiteral("frmStart"))->isVisible());
    EXPECT_EQ(ends, 0);
}

} // namespace
