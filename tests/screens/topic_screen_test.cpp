// The topic screen: its list, its warnings, and where OK, Help, About and Exit lead.
#include "recording_sink.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

namespace {

const QString kStart = QStringLiteral("frmStart");
const QString kNothingSelected = QStringLiteral(
    "Nothing is selected! You have to select an item from the drop-down list in the combination box "
    "and then click OK.");

class TopicScreenTest : public ScreensTest
{
protected:
    void SetUp() override
    {
        ScreensTest::SetUp();
        topics = screens().show(kStart);
        ASSERT_NE(topics, nullptr);
        combo = control<QComboBox>(kStart, QStringLiteral("Combo1"));
        ok = control<QPushButton>(kStart, QStringLiteral("cmdOK"));
        ASSERT_TRUE(combo && ok);
    }

    QPushButton *button(const char *name) const { return control<QPushButton>(kStart, QString::fromLatin1(name)); }

    QPointer<QWidget> topics;
    QComboBox *combo = nullptr;
    QPushButton *ok = nullptr;
};

TEST_F(TopicScreenTest, OpensWithTheListAndNothingChosen)
{
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Topic List"));
    auto *picture = control<QLabel>(kStart, QStringLiteral("Image1"));
    EXPECT_TRUE(QTest::qWaitFor([picture] { return !picture->pixmap().isNull(); }));
}

TEST_F(TopicScreenTest, EnterOnOpenWarnsNothingSelected)
{
    EXPECT_EQ(QApplication::focusWidget(), ok);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, kNothingSelected);
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(sink.messages[0].parentName, kStart);
    EXPECT_TRUE(topics->isVisible());
}

TEST_F(TopicScreenTest, TypedTextNeverChoosesATopic)
{
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("Amenorrhea, primary"));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    ok->setFocus();  // editing finishes when the field loses the focus
    EXPECT_EQ(combo->currentIndex(), -1);

    ok->click();
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, kNothingSelected);
    EXPECT_EQ(screens().loadedNames(), QStringList{kStart});
}

TEST_F(TopicScreenTest, TypingOverAChoiceUnchoosesIt)
{
    combo->setCurrentIndex(2);
    combo->setFocus();
    combo->lineEdit()->end(false);
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("x"));
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Amenorrhea, primaryx"));
}

TEST_F(TopicScreenTest, PrimaryAmenorrheaHidesTheListAndOpensTheFirstQuestion)
{
    combo->setCurrentIndex(2);
    ok->click();
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_FALSE(topics->isVisible());
    EXPECT_EQ(screens().loadedNames(), (QStringList{kStart, "frmAmPrm1"}));

    // Home keeps the choice and the 53 entries; OK starts at the first question again.
    QPointer<QWidget> node1 = screen(QStringLiteral("frmAmPrm1"));
    control<QPushButton>(QStringLiteral("frmAmPrm1"), QStringLiteral("cmdHome"))->click();
    settle();
    EXPECT_EQ(node1, nullptr);
    EXPECT_TRUE(topics->isVisible());
    EXPECT_EQ(combo->currentIndex(), 2);
    ok->click();
    EXPECT_EQ(screens().loadedNames(), (QStringList{kStart, "frmAmPrm1"}));
}

TEST_F(TopicScreenTest, OtherTopicsSayTheyHaveNoTreeAndStay)
{
    for (int index : {0, 3, 35, 48, 52}) {
        combo->setCurrentIndex(index);
        ok->click();
        ASSERT_FALSE(sink.messages.empty());
        const RecordedMessage &message = sink.messages.back();
        EXPECT_EQ(message.icon, MessageIcon::Information);
        EXPECT_TRUE(message.text.contains(combo->itemText(index)));
        EXPECT_TRUE(message.text.contains(QStringLiteral("Amenorrhea, primary")));
        EXPECT_TRUE(topics->isVisible());
        EXPECT_EQ(screens().loadedNames(), QStringList{kStart});
    }
}

// The captions and access keys are checked against the typed copy (Texts).
TEST_F(TopicScreenTest, ButtonsTabOrderAndNoDefault)
{
    const char *order[] = {"cmdOK", "cmdHelp", "cmdAbout", "cmdExit"};
    QWidget *w = ok;
    for (const char *name : order) {
        EXPECT_EQ(w->objectName(), QString::fromLatin1(name));
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(w, combo);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(button("cmdExit"))->text(QAccessible::Name), QStringLiteral("Exit"));
    // No button is a window default: the ones without the focus never claim Enter.
    for (const char *name : order) {
        if (button(name) != QApplication::focusWidget())
            EXPECT_FALSE(button(name)->isDefault()) << name;
    }

    // Escape presses nothing.
    QTest::keyClick(ok, Qt::Key_Escape);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(screens().loadedNames(), QStringList{kStart});
}

// Size and places are pinned by the topic screen's picture; resizing moves nothing.
TEST_F(TopicScreenTest, ControlsStayPutWhenTheWindowIsResized)
{
    const QRect place = ok->geometry();
    topics->resize(400, 300);
    EXPECT_EQ(ok->geometry(), place);
}

TEST_F(TopicScreenTest, ExitUnloadsEverythingAndEnds)
{
    button("cmdHelp")->click();
    EXPECT_EQ(screens().loadedNames(), (QStringList{kStart, "frmHelp"}));
    EXPECT_TRUE(topics->isVisible());
    button("cmdExit")->click();
    EXPECT_TRUE(screens().loadedNames().isEmpty());
    settle();
    EXPECT_EQ(ends, 1);
}

TEST_F(TopicScreenTest, CloseBoxUnloadsOnlyTheTopicScreen)
{
    button("cmdHelp")->click();
    topics->close();
    EXPECT_EQ(screens().loadedNames(), QStringList{"frmHelp"});
    settle();
    EXPECT_EQ(ends, 0);
    screen(QStringLiteral("frmHelp"))->close();
    settle();
    EXPECT_EQ(ends, 1);
}

TEST_F(TopicScreenTest, CloseBoxAloneEndsTheProgram)
{
    topics->close();
    settle();
    EXPECT_TRUE(screens().loadedNames().isEmpty());
    EXPECT_EQ(ends, 1);
}

TEST_F(TopicScreenTest, TheRealWarningBox)
{
    MessageSink previous = setMessageSink({});
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    Qt::TextInteractionFlags selectable;
    // Windows' own style, whose boxes leave their text unselectable unless asked.
    const QString style = QApplication::style()->name();
    QApplication::setStyle(QStringLiteral("Windows"));
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = int(box->buttons().size());
        selectable = box->textInteractionFlags();
        box->button(QMessageBox::Ok)->click();
    });
    ok->click();
    setMessageSink(previous);
    QApplication::setStyle(style);
    EXPECT_EQ(text, kNothingSelected);
    EXPECT_EQ(title, QStringLiteral("Tarnwick"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(topics->isVisible());
    EXPECT_TRUE(selectable & Qt::TextSelectableByMouse);
}

} // namespace
