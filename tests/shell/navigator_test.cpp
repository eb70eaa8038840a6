// The rules every screen lives by: one instance each, load order, and when the program ends.
#include "recording_sink.h"

#include "screens/splash_screen.h"
#include "shell/module1.h"
#include "shell/navigator.h"
#include "shell/screen_table.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>

namespace {

// Screens of the test's own, so the rules are checked apart from any real screen.
void addPlainScreen(Navigator &navigator, const QString &name, int *loads = nullptr)
{
    navigator.add(name, [loads] {
        if (loads)
            ++*loads;
        return new QLabel;
    });
}

class ScreenRules : public ScreensTest
{
protected:
    void SetUp() override
    {
        ScreensTest::SetUp();
        for (const char *name : {"frmA", "frmB", "frmC"})
            addPlainScreen(navigator, QString::fromLatin1(name), &loads);
    }
    int loads = 0;
};

TEST_F(ScreenRules, ShowLoadsOnceAndKeepsLoadOrder)
{
    QWidget *a = screens().show(QStringLiteral("frmA"));
    screens().show(QStringLiteral("frmB"));
    EXPECT_EQ(screens().show(QStringLiteral("frmA")), a);
    screens().show(QStringLiteral("frmC"));

    EXPECT_EQ(loads, 3);
    EXPECT_EQ(screens().loadedNames(), (QStringList{"frmA", "frmB", "frmC"}));
    EXPECT_TRUE(a->isVisible());
}

TEST_F(ScreenRules, HideKeepsStateAndShowBringsTheSameScreenBack)
{
    auto *a = qobject_cast<QLabel *>(screens().show(QStringLiteral("frmA")));
    a->setText(QStringLiteral("kept"));
    screens().hide(QStringLiteral("frmA"));
    EXPECT_FALSE(a->isVisible());
    EXPECT_EQ(screens().loadedNames().size(), 1);

    EXPECT_EQ(screens().show(QStringLiteral("frmA")), a);
    EXPECT_EQ(a->text(), QStringLiteral("kept"));
    EXPECT_EQ(loads, 1);
}

// The doctor may be typing in another program: which screens take the keyboard, the walks tell.
TEST_F(ScreenRules, AScreenGoingAwayHandsOnTheKeyboardOnlyIfItHadIt)
{
    QWidget *a = screens().show(QStringLiteral("frmA"));
    QWidget *b = screens().show(QStringLiteral("frmB"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(b));
    screens().unload(b);
    EXPECT_TRUE(QTest::qWaitForWindowActive(a));

    // The doctor goes to another program; then a screen goes away by itself.
    QWidget *c = screens().show(QStringLiteral("frmC"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(c));
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(nullptr);
    QT_WARNING_POP
    screens().unload(c);
    settle();
    EXPECT_EQ(QApplication::activeWindow(), nullptr);
}

TEST_F(ScreenRules, UnloadDestroysAndTheNextShowLoadsAfresh)
{
    QPointer<QWidget> first = screens().show(QStringLiteral("frmA"));
    screens().show(QStringLiteral("frmB"));
    screens().unload(screens().find(QStringLiteral("frmA")));
    EXPECT_EQ(screens().loadedNames(), QStringList{"frmB"});
    settle();
    EXPECT_TRUE(first.isNull());

    screens().show(QStringLiteral("frmA"));
    EXPECT_EQ(loads, 3);
    EXPECT_EQ(screens().loadedNames(), (QStringList{"frmB", "frmA"}));
}

// A walk that leaves four screens loaded, the topic screen hidden among them: Exit unloads them
// newest first, and the program ends only once the Exit handler has returned.
TEST_F(ScreenRules, ExitUnloadsEveryScreenNewestFirstAndEndsAfterTheHandler)
{
    QWidget *topics = screens().show(screenName::kTopics);
    topics->findChild<QPushButton *>(QStringLiteral("cmdHelp"))->click();
    topics->findChild<QPushButton *>(QStringLiteral("cmdAbout"))->click();
    topics->findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentIndex(2);
    topics->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    ASSERT_EQ(screens().loadedNames(), (QStringList{"frmStart", "frmHelp", "frmAbout", "frmAmPrm1"}));
    ASSERT_FALSE(topics->isVisible());

    // Unloaded screens are deleted in the order they were unloaded.
    QStringList unloaded;
    for (const QString &name : screens().loadedNames()) {
        QWidget *screen = screens().find(name);
        QObject::connect(screen, &QObject::destroyed, screen, [&unloaded, name] { unloaded << name; });
    }
    auto *exit = control<QPushButton>(screenName::node(1), QStringLiteral("cmdExit"));
    int loadedInHandler = -1;
    int endsInHandler = -1;
    QObject::connect(exit, &QPushButton::clicked, [&] {
        loadedInHandler = screens().loadedNames().size();
        endsInHandler = ends;
    });
    exit->click();
    EXPECT_EQ(loadedInHandler, 0);
    EXPECT_EQ(endsInHandler, 0) << "the program ended inside the Exit handler";
    settle();
    EXPECT_EQ(unloaded, (QStringList{"frmAmPrm1", "frmAbout", "frmHelp", "frmStart"}));
    EXPECT_EQ(ends, 1);
}

TEST_F(ScreenRules, NoEndWhileAHandlerUnloadsItsOwnScreenAndShowsAnother)
{
    QWidget *a = screens().show(QStringLiteral("frmA"));
    // As a handler on frmA does: unload itself, then show the next screen.
    screens().unload(a);
    EXPECT_TRUE(screens().loadedNames().isEmpty());
    screens().show(QStringLiteral("frmB"));
    settle();
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(screens().loadedNames(), QStringList{"frmB"});
}

TEST_F(ScreenRules, EndsOnceWhenTheLastScreenGoes)
{
    screens().show(QStringLiteral("frmA"));
    screens().show(QStringLiteral("frmB"));
    screens().unload(screens().find(QStringLiteral("frmA")));
    settle();
    EXPECT_EQ(ends, 0);
    screens().unload(screens().find(QStringLiteral("frmB")));
    screens().unload(screens().find(QStringLiteral("frmB")));
    settle();
    EXPECT_EQ(ends, 1);
}

TEST_F(ScreenRules, UnknownNamesAreHarmless)
{
    EXPECT_EQ(screens().show(QStringLiteral("frmNowhere")), nullptr);
    screens().hide(QStringLiteral("frmNowhere"));
    screens().unload(screens().find(QStringLiteral("frmNowhere")));
    EXPECT_TRUE(screens().loadedNames().isEmpty());
    settle();
    EXPECT_EQ(ends, 0);
}

// Real message boxes: a close request, a close-all or the splash's tick that arrives while a box's
// own event loop runs must not delete the screen whose handler opened the box under it.
class InsideABox : public ScreensTest
{
protected:
    void SetUp() override
    {
        ScreensTest::SetUp();
        m_previous = setMessageSink({});
    }
    void TearDown() override
    {
        setMessageSink(m_previous);
        ScreensTest::TearDown();
    }

    // Presses the button, whose handler opens a box; `during` runs inside the box's loop, then
    // the box is closed as a user would.
    void pressUnderABox(QWidget *screen, const QString &button, const std::function<void()> &during)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            QPointer<QDialog> box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr) << "no box open";
            during();
            ran = true;
            // The box stays open a while, as it does until the user dismisses it.
            QTest::qWait(120);
            ASSERT_NE(box, nullptr) << "the box went with its screen";
            box->done(QDialog::Accepted);
        });
        screen->findChild<QPushButton *>(button)->click();
        EXPECT_TRUE(ran);
    }

private:
    MessageSink m_previous;
};

TEST_F(InsideABox, ClosingTheQuestionWindowGoesHomeOnceTheRecommendationIsDismissed)
{
    QPointer<QWidget> question = screens().show(screenName::node(4));
    question->findChild<QRadioButton *>(QStringLiteral("opt1"))->setChecked(true);

    pressUnderABox(question, QStringLiteral("cmdOK"), [&] { question->windowHandle()->close(); });
    EXPECT_EQ(screens().loadedNames(), QStringList{screenName::kTopics});
    EXPECT_TRUE(QTest::qWaitFor([&] { return question.isNull(); }));
    EXPECT_EQ(ends, 0);
}

TEST_F(InsideABox, CloseAllUnderTheWarningEndsTheProgramAndFreesEveryScreen)
{
    QPointer<QWidget> topics = screens().show(screenName::kTopics);
    QPointer<QWidget> about = screens().show(screenName::kAbout);

    pressUnderABox(topics, QStringLiteral("cmdOK"), [&] { Module1::CloseAllScreens(screens()); });
    EXPECT_TRUE(screens().loadedNames().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return topics.isNull() && about.isNull(); }));
    EXPECT_EQ(ends, 1);
}

TEST_F(InsideABox, TheSplashTickUnderABoxStillGivesWayToTheTopicScreen)
{
    QPointer<QWidget> topics = screens().show(screenName::kTopics);
    QPointer<SplashScreen> splash = qobject_cast<SplashScreen *>(screens().show(screenName::kSplash));

    pressUnderABox(topics, QStringLiteral("cmdOK"), [&] {
        splash->findChild<QTimer *>(QStringLiteral("Timer1"))->start(0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !screens().isLoaded(splash); }));
    });
    EXPECT_EQ(screens().loadedNames(), QStringList{screenName::kTopics});
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }));
    EXPECT_FALSE(topics.isNull());
}

} // namespace
