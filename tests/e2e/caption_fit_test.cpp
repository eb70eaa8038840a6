// Every caption on every screen shows whole, at any scale factor: the text must fit the room
// that the style leaves it in its control's box, measured with the fonts actually in use.
#include "widgets/option_button.h"
#include "recording_sink.h"
#include "screens/question_screen.h"
#include "core/tree/tree_node.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace {

QStringList allScreens()
{
    QStringList names{QStringLiteral("frmSplash"), QStringLiteral("frmStart"), QStringLiteral("frmHelp"),
                      QStringLiteral("frmAbout")};
    for (int n = 1; n <= tree::kNodeCount; ++n)
        names << screenName::node(n);
    return names;
}

// The part of a button that the style leaves for its caption.
QRect captionRoom(const QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (const auto *push = qobject_cast<const QPushButton *>(button)) {
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    return button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
}

std::string describe(const QWidget *screen, const QWidget *control, QSize needed, QSize room)
{
    return QStringLiteral("%1.%2: needs %3x%4, has %5x%6")
        .arg(screen->objectName(), control->objectName())
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height())
        .toStdString();
}

class CaptionFit : public ScreensTest, public ::testing::WithParamInterface<QString>
{
protected:
    QWidget *open()
    {
        QWidget *shown = screens().show(GetParam());
        settle();
        return shown;
    }
};

TEST_P(CaptionFit, ButtonCaptionsFitTheirButtons)
{
    QWidget *shown = open();
    ASSERT_NE(shown, nullptr);
    const auto buttons = shown->findChildren<QAbstractButton *>();
    for (const QAbstractButton *button : buttons) {
        if (button->text().isEmpty() || !button->isVisibleTo(shown))
            continue;
        const QRect room = captionRoom(button);
        // Option buttons of ours wrap a long caption onto further lines.
        const int flags = Qt::TextShowMnemonic | (qobject_cast<const OptionButton *>(button) ? Qt::TextWordWrap : 0);
        const QSize needed = button->fontMetrics().boundingRect(QRect(0, 0, room.width(), 10000), flags,
                                                                button->text()).size();
        EXPECT_LE(needed.width(), room.width()) << describe(shown, button, needed, room.size());
        EXPECT_LE(needed.height(), room.height()) << describe(shown, button, needed, room.size());
    }
}

TEST_P(CaptionFit, LabelsShowTheirWholeText)
{
    QWidget *shown = open();
    ASSERT_NE(shown, nullptr);
    const auto labels = shown->findChildren<QLabel *>();
    for (const QLabel *label : labels) {
        if (label->text().isEmpty() || !label->isVisibleTo(shown))
            continue;
        const QRect room = label->contentsRect();
        const int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
        const QSize needed = label->fontMetrics().boundingRect(QRect(0, 0, room.width(), 10000), flags,
                                                               label->text()).size();
        EXPECT_LE(needed.width(), room.width()) << describe(shown, label, needed, room.size());
        EXPECT_LE(needed.height(), room.height()) << describe(shown, label, needed, room.size());
    }
}

class WrappedCaption : public ScreensTest
{
};

TEST_F(WrappedCaption, AClickOnItsSecondLineChoosesTheOption)
{
    // Node 8's last caption is longer than its box is wide.
    screens().show(screenName::node(8));
    settle();
    auto *option = control<QRadioButton>(screenName::node(8), QStringLiteral("opt3"));
    ASSERT_NE(option, nullptr);
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(option->width() / 3, option->height() - 3));
    EXPECT_TRUE(option->isChecked());
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, CaptionFit, ::testing::ValuesIn(allScreens()),
                         [](const ::testing::TestParamInfo<QString> &info) { return info.param.toStdString(); });

} // namespace
