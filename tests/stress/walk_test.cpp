// One walk from start-up to the end through every kind of screen; afterwards not one screen or
// control is left. scripts/valgrind-walk.sh runs this walk under memcheck.
#include "recording_sink.h"

#include "screens/question_screen.h"
#include "core/tree/tree_node.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class Walk : public ScreensTest
{
protected:
    void click(const QString &screenName, const char *button)
    {
        auto *target = control<QAbstractButton>(screenName, QString::fromLatin1(button));
        ASSERT_NE(target, nullptr) << screenName.toStdString() << '/' << button;
        QTest::mouseClick(target, Qt::LeftButton);
        settle();
    }

    void answer(int node, const char *option)
    {
        const QString name = screenName::node(node);
        click(name, option);
        click(name, "cmdOK");
    }

    // Every screen ever loaded, to see that each is gone at the end.
    void track()
    {
        for (const QString &name : screens().loadedNames()) {
            if (!seen.contains(screens().find(name)))
                seen.append(screens().find(name));
        }
    }

    QList<QPointer<QWidget>> seen;
};

TEST_F(Walk, FromTheSplashScreenThroughEveryKindOfScreenLeavesNothingBehind)
{
    const QString start = QStringLiteral("frmStart");
    const int widgetsBefore = int(QApplication::allWidgets().size());

    QWidget *splash = screens().show(QStringLiteral("frmSplash"));
    track();
    QTest::keyClick(splash, Qt::Key_Space);
    track();
    click(start, "cmdHelp");
    click(start, "cmdAbout");
    track();
    click(QStringLiteral("frmAbout"), "cmdOK");
    click(QStringLiteral("frmHelp"), "cmdClose");

    control<QComboBox>(start, QStringLiteral("Combo1"))->setCurrentIndex(2);
    click(start, "cmdOK");
    answer(1, "optNormal");
    answer(2, "optNormal");
    answer(3, "optPresent");
    answer(4, "opt1");
    track();
    ASSERT_EQ(sink.messages.size(), 1u);
    click(screenName::node(4), "cmdHome");

    // Into the other branches, to a recommendation and to the end of the tree.
    click(start, "cmdOK");
    answer(1, "optAmbiguous");
    track();
    click(screenName::node(14), "cmdHome");
    click(start, "cmdOK");
    answer(1, "optNormal");
    answer(2, "optNormal");
    answer(3, "optAbsent");
    answer(5, "optPresent");
    EXPECT_EQ(screens().loadedNames(), QStringList{start});
    EXPECT_EQ(sink.messages.size(), 2u);

    click(start, "cmdOK");
    answer(1, "optNormal");
    answer(2, "optAbsent");
    track();
    click(screenName::node(7), "cmdExit");

    EXPECT_TRUE(screens().loadedNames().isEmpty());
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(seen.size(), 7);
    for (const QPointer<QWidget> &screen : seen)
        EXPECT_TRUE(screen.isNull()) << "a screen outlives the program";
    EXPECT_EQ(int(QApplication::allWidgets().size()), widgetsBefore) << "widgets outlive their screens";
}

} // namespace
