// The question screens: walks through the tree, and Home, Exit and the close box never leave the
// doctor without a screen.
#include "recording_sink.h"

#include "screens/question_screen.h"
#include "core/tree/tree_node.h"
#include "widgets/text.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QString kStart = QStringLiteral("frmStart");
const QString kNothingSelected = QStringLiteral(
    "Nothing is selected. You have to select one item by clicking on its radio button and then click OK.");

QString name(int node)
{
    return screenName::node(node);
}

class Tree : public ScreensTest
{
protected:
    // Starts the tree as a doctor does: the topic, then OK.
    void SetUp() override
    {
        ScreensTest::SetUp();
        topics = screens().show(kStart);
        control<QComboBox>(kStart, QStringLiteral("Combo1"))->setCurrentIndex(2);
        control<QPushButton>(kStart, QStringLiteral("cmdOK"))->click();
        ASSERT_TRUE(onNode(1));
    }

    bool onNode(int n) const
    {
        QWidget *node = screen(name(n));
        return screens().loadedNames() == (QStringList{kStart, name(n)}) && node && node->isVisible()
               && !topics->isVisible();
    }

    QRadioButton *option(int n, std::string_view control) const
    {
        return this->control<QRadioButton>(name(n), toQString(control));
    }

    QPushButton *button(int n, const char *control) const
    {
        return this->control<QPushButton>(name(n), QString::fromLatin1(control));
    }

    // Chooses an option by its caption and presses OK, by mouse.
    void answer(int n, const QString &caption)
    {
        QWidget *node = screen(name(n));
        ASSERT_NE(node, nullptr) << "node " << n << " is not open";
        QRadioButton *chosen = nullptr;
        for (QRadioButton *radio : node->findChildren<QRadioButton *>()) {
            if (radio->text() == caption)
                chosen = radio;
        }
        ASSERT_NE(chosen, nullptr) << caption.toStdString();
        QTest::mouseClick(chosen, Qt::LeftButton, {}, QPoint(6, chosen->height() / 2));
        ASSERT_TRUE(chosen->isChecked());
        QTest::mouseClick(button(n, "cmdOK"), Qt::LeftButton);
    }

    QString lastMessage() const { return sink.messages.empty() ? QString() : sink.messages.back().text; }

    QPointer<QWidget> topics;
};

TEST_F(Tree, TheTypicalWalkEndsAtTheImperforateHymen)
{
    answer(1, QStringLiteral("Normal"));
    ASSERT_TRUE(onNode(2));
    answer(2, QStringLiteral("Normal"));
    ASSERT_TRUE(onNode(3));
    answer(3, QStringLiteral("Present"));
    ASSERT_TRUE(onNode(4));
    answer(4, QStringLiteral("Imperforate hymen"));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(lastMessage(), QStringLiteral("Excise the imperforate hymen by making a cruciate incision in it."));
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(sink.messages[0].parentName, name(4));
    EXPECT_TRUE(onNode(4));
    EXPECT_TRUE(option(4, "opt1")->isChecked());

    button(4, "cmdHome")->click();
    settle();
    EXPECT_EQ(screens().loadedNames(), QStringList{kStart});
    EXPECT_TRUE(topics->isVisible());
    EXPECT_EQ(control<QComboBox>(kStart, QStringLiteral("Combo1"))->currentIndex(), 2);

    control<QPushButton>(kStart, QStringLiteral("cmdExit"))->click();
    settle();
    EXPECT_TRUE(screens().loadedNames().isEmpty());
    EXPECT_EQ(ends, 1);
}

TEST_F(Tree, UterusPresentEndsTheTreeAtTheTopicList)
{
    answer(1, QStringLiteral("Normal"));
    answer(2, QStringLiteral("Normal"));
    answer(3, QStringLiteral("Absent"));
    answer(5, QStringLiteral("Present"));
    EXPECT_EQ(screens().loadedNames(), QStringList{kStart});
    EXPECT_TRUE(topics->isVisible());
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].parentName, kStart);
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("secondary amenorrhea")));
    settle();
    EXPECT_EQ(ends, 0);
}

// Where each option leads, and every text, are checked against the typed copy (Texts).
TEST_F(Tree, ARecommendationLeavesItsNodeOpenAndANodeReopensAfresh)
{
    answer(1, QStringLiteral("Normal"));
    answer(2, QStringLiteral("Absent"));
    answer(7, QStringLiteral("Tall"));
    QTest::mouseClick(button(7, "cmdOK"), Qt::LeftButton);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[0].text, sink.messages[1].text);
    EXPECT_TRUE(option(7, "optTall")->isChecked());

    button(7, "cmdHome")->click();
    control<QPushButton>(kStart, QStringLiteral("cmdOK"))->click();
    answer(1, QStringLiteral("Normal"));
    answer(2, QStringLiteral("Absent"));
    ASSERT_TRUE(onNode(7));
    EXPECT_FALSE(option(7, "optTall")->isChecked()) << "a node opens afresh";
}

TEST_F(Tree, ExitFromANodeUnloadsTheHiddenTopicScreenToo)
{
    answer(1, QStringLiteral("Ambiguous"));
    QTest::mouseClick(button(14, "cmdExit"), Qt::LeftButton);
    EXPECT_TRUE(screens().loadedNames().isEmpty());
    settle();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(topics.isNull());
}

TEST_F(Tree, TheCloseBoxGoesHome)
{
    answer(1, QStringLiteral("Normal"));
    screen(name(2))->close();
    settle();
    EXPECT_EQ(screens().loadedNames(), QStringList{kStart});
    EXPECT_TRUE(topics->isVisible());
    EXPECT_EQ(ends, 0);
}

TEST_F(Tree, KeyboardEnterPressesTheFocusedButtonEscapeNothing)
{
    QWidget *node = screen(name(1));
    EXPECT_EQ(node->focusWidget(), button(1, "cmdOK"));
    QTest::keyClick(button(1, "cmdOK"), Qt::Key_Escape);
    EXPECT_TRUE(sink.messages.empty());
    QTest::keyClick(button(1, "cmdOK"), Qt::Key_Return);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, kNothingSelected);
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(onNode(1));

    // Enter on an option chooses nothing and presses nothing.
    option(1, "optNormal")->setFocus();
    QTest::keyClick(option(1, "optNormal"), Qt::Key_Return);
    EXPECT_EQ(sink.messages.size(), 1u);
    EXPECT_TRUE(onNode(1));

    button(1, "cmdHome")->setFocus();
    QTest::keyClick(button(1, "cmdHome"), Qt::Key_Return);
    EXPECT_EQ(screens().loadedNames(), QStringList{kStart});
}

TEST_F(Tree, AccessKeysForExitAndHome)
{
    QWidget *node = screen(name(1));
    node->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(node));
    // An access key presses its button the way a click does, after the button has shown itself pressed.
    QTest::keyClick(node->windowHandle(), Qt::Key_H, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return screens().loadedNames() == QStringList{kStart}; }));
    control<QPushButton>(kStart, QStringLiteral("cmdOK"))->click();
    node = screen(name(1));
    node->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(node));
    QTest::keyClick(node->windowHandle(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return screens().loadedNames().isEmpty(); }));
}

class EachNode : public ScreensTest, public ::testing::WithParamInterface<int>
{
};

// Caption, place, size and tab order are pinned by the pictures and the typed copy.
TEST_P(EachNode, OpensWithNothingChosenAndOKFocused)
{
    QWidget *w = screens().show(name(GetParam()));
    EXPECT_EQ(w->focusWidget(), w->findChild<QPushButton *>(QStringLiteral("cmdOK")));
    for (QRadioButton *r : w->findChildren<QRadioButton *>())
        EXPECT_FALSE(r->isChecked());

    // Controls keep their designed places, whatever the window's size.
    auto *ok = w->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    const QRect okPlace = ok->geometry();
    w->resize(300, 200);
    EXPECT_EQ(ok->geometry(), okPlace);
}

INSTANTIATE_TEST_SUITE_P(Nodes, EachNode, ::testing::Range(1, tree::kNodeCount + 1),
                         [](const ::testing::TestParamInfo<int> &info) { return "Node" + std::to_string(info.param); });

} // namespace
