// The rules every screen lives by: one instance each, load order, and when the program ends.
#include "recording_sink.h"

#include "shell/module1.h"
#include "shell/navigator.h"

#include <QLabel>

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
    EXPECT_EQ(screens().count(), 1);

    EXPECT_EQ(screens().show(QStringLiteral("frmA")), a);
    EXPECT_EQ(a->text(), QStringLiteral("kept"));
    EXPECT_EQ(loads, 1);
}

TEST_F(ScreenRules, UnloadDestroysAndTheNextShowLoadsAfresh)
{
    QPointer<QWidget> first = screens().show(QStringLiteral("frmA"));
    screens().show(QStringLiteral("frmB"));
    screens().unload(QStringLiteral("frmA"));
    EXPECT_EQ(screens().loadedNames(), QStringList{"frmB"});
    settle();
    EXPECT_TRUE(first.isNull());

    screens().show(QStringLiteral("frmA"));
    EXPECT_EQ(loads, 3);
    EXPECT_EQ(screens().loadedNames(), (QStringList{"frmB", "frmA"}));
}

TEST_F(ScreenRules, CloseAllUnloadsHiddenScreensTooMostRecentFirst)
{
    for (const char *name : {"frmA", "frmB", "frmC"})
        screens().show(QString::fromLatin1(name));
    screens().hide(QStringLiteral("frmA"));

    QStringList order;
    for (int i = 0; i < screens().count(); ++i) {
        QObject::connect(screens().at(i), &QObject::destroyed, screens().at(i),
                         [&order, name = screens().at(i)->objectName()] { order << name; });
    }
    QStringList hiddenInOrder;
    for (int i = screens().count() - 1; i >= 0; --i)
        hiddenInOrder << screens().at(i)->objectName();

    Module1::CloseAllScreens(screens());
    EXPECT_EQ(screens().count(), 0);
    EXPECT_EQ(ends, 0) << "the end waits for the handler to return";
    settle();
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(hiddenInOrder, (QStringList{"frmC", "frmB", "frmA"}));
    EXPECT_EQ(order.size(), 3);
}

TEST_F(ScreenRules, NoEndWhileAHandlerUnloadsItsOwnScreenAndShowsAnother)
{
    QWidget *a = screens().show(QStringLiteral("frmA"));
    // As a handler on frmA does: unload itself, then show the next screen.
    screens().unload(a);
    EXPECT_EQ(screens().count(), 0);
    screens().show(QStringLiteral("frmB"));
    settle();
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(screens().loadedNames(), QStringList{"frmB"});
}

TEST_F(ScreenRules, EndsOnceWhenTheLastScreenGoes)
{
    screens().show(QStringLiteral("frmA"));
    screens().show(QStringLiteral("frmB"));
    screens().unload(QStringLiteral("frmA"));
    settle();
    EXPECT_EQ(ends, 0);
    screens().unload(QStringLiteral("frmB"));
    screens().unload(QStringLiteral("frmB"));
    settle();
    EXPECT_EQ(ends, 1);
}

TEST_F(ScreenRules, UnknownNamesAreHarmless)
{
    EXPECT_EQ(screens().show(QStringLiteral("frmNowhere")), nullptr);
    screens().hide(QStringLiteral("frmNowhere"));
    screens().unload(QStringLiteral("frmNowhere"));
    EXPECT_EQ(screens().count(), 0);
    settle();
    EXPECT_EQ(ends, 0);
}

} // namespace
