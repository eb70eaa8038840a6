// The About screen: one instance at its stored place, closed by OK, Enter, Esc, its close box
// or Exit elsewhere; System Info never closes it.
#include "recording_sink.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const QString kAbout = QStringLiteral("frmAbout");
const QString kStart = QStringLiteral("frmStart");

class About : public ScreensTest
{
protected:
    void SetUp() override
    {
        ScreensTest::SetUp();
        screens().show(kStart);
        startButton("cmdAbout")->click();
        about = screen(kAbout);
        ASSERT_NE(about, nullptr);
    }

    QPushButton *startButton(const char *name) const { return control<QPushButton>(kStart, QString::fromLatin1(name)); }
    QPushButton *button(const char *name) const { return control<QPushButton>(kAbout, QString::fromLatin1(name)); }

    bool closed() const
    {
        return screens().loadedNames() == QStringList{kStart} && screen(kStart)->isVisible();
    }

    QPointer<QWidget> about;
};

// Its place and look are pinned by its picture in the look test.
TEST_F(About, OpensOnceBesideTheTopicScreen)
{
    startButton("cmdAbout")->click();
    EXPECT_EQ(screen(kAbout), about);
    EXPECT_EQ(screens().loadedNames(), (QStringList{kStart, kAbout}));
    EXPECT_TRUE(screen(kStart)->isVisible());
}

TEST_F(About, TabOrderRunsFromOKToTheIconToSystemInfo)
{
    QWidget *ok = button("cmdOK");
    EXPECT_EQ(about->focusWidget(), ok);
    EXPECT_EQ(ok->nextInFocusChain()->objectName(), QStringLiteral("picIcon"));
    EXPECT_EQ(ok->nextInFocusChain()->nextInFocusChain(), button("cmdSysInfo"));
}

TEST_F(About, EscapeClosesItWhateverHasTheFocus)
{
    button("cmdSysInfo")->setFocus();
    QTest::keyClick(button("cmdSysInfo"), Qt::Key_Escape);
    EXPECT_TRUE(closed());
    settle();
    EXPECT_TRUE(about.isNull());
    EXPECT_EQ(ends, 0);
}

TEST_F(About, EnterClosesItUnlessSystemInfoHasTheFocus)
{
    button("cmdSysInfo")->setFocus();
    QTest::keyClick(button("cmdSysInfo"), Qt::Key_Return);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(screens().loadedNames(), (QStringList{kStart, kAbout}));

    button("cmdOK")->setFocus();
    QTest::keyClick(button("cmdOK"), Qt::Key_Return);
    EXPECT_TRUE(closed());
}

TEST_F(About, SystemInfoFailureShowsTheOneMessageAndLeavesItOpen)
{
    button("cmdSysInfo")->click();
    ASSERT_EQ(sink.messages.size(), 1u) << "no system information tool is expected on a test machine";
    EXPECT_EQ(sink.messages[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(sink.messages[0].parentName, kAbout);
    EXPECT_TRUE(about->isVisible());
}

TEST_F(About, CloseBoxAndOKCloseAndDiscardIt)
{
    about->close();
    EXPECT_TRUE(closed());
    settle();
    EXPECT_TRUE(about.isNull());

    startButton("cmdAbout")->click();
    about = screen(kAbout);
    button("cmdOK")->click();
    EXPECT_TRUE(closed());
}

TEST_F(About, ExitOnTheTopicScreenClosesItToo)
{
    startButton("cmdExit")->click();
    EXPECT_TRUE(screens().loadedNames().isEmpty());
    settle();
    EXPECT_EQ(ends, 1);
}

TEST_F(About, OutlivesTheTopicScreenAndClosingItLastEnds)
{
    screen(kStart)->close();
    EXPECT_EQ(screens().loadedNames(), QStringList{kAbout});
    settle();
    EXPECT_EQ(ends, 0);
    button("cmdOK")->click();
    settle();
    EXPECT_EQ(ends, 1);
}

} // namespace
