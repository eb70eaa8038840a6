#include "screens/question_screen.h"

#include "widgets/app_icon.h"
#include "widgets/controls.h"
#include "widgets/design_font.h"
#include "widgets/message_box.h"
#include "widgets/option_button.h"
#include "widgets/text.h"
#include "widgets/twips.h"
#include "widgets/window_sizing.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <map>

namespace {

const QString kNothingSelected = QStringLiteral(
    "Nothing is selected. You have to select one item by clicking on its radio button and then click OK.");

QFont labelFont(tree::TreeLabel::Role role)
{
    const qreal points = role == tree::TreeLabel::Role::Heading ? 18 : 12;
    return designFont(QStringLiteral("Times New Roman"), points, true);
}

} // namespace

QuestionScreen::QuestionScreen(const tree::TreeNode &node, QWidget *parent)
    : QWidget(parent)
    , m_node(node)
{
    setWindowTitle(toQString(tree::kCaption));
    setWindowIcon(appIcon());
    setBackground(this, kCyan);
    resize(twipsRect(0, 0, 4680, 3195).size());

    // Everything that takes part in the tab order, by tab index.
    std::map<int, QWidget *> tabOrder;

    for (const tree::TreeLabel &design : node.labels) {
        const tree::Place &p = design.place;
        QLabel *label = addLabel(this, toQString(design.control), toQString(design.text), p.left, p.top, p.width, p.height,
                                 labelFont(design.role));
        label->setWordWrap(true);
        switch (design.role) {
        case tree::TreeLabel::Role::Heading:
            setTextColour(label, kRed);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            break;
        case tree::TreeLabel::Role::Question:
            setTextColour(label, kBlue);
            break;
        case tree::TreeLabel::Role::Definition:
            break;
        }
        growToText(label);
    }

    const QFont optionFont = designFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    for (const tree::TreeOption &design : node.options) {
        auto *option = new OptionButton(toQString(design.caption), this);
        option->setObjectName(toQString(design.control));
        option->setAccessibleName(toQString(design.caption));
        option->setFont(optionFont);
        option->setGeometry(twipsRect(design.place.left, design.place.top, design.place.width, design.place.height));
        m_options.append(option);
        tabOrder[design.tabIndex] = option;
    }

    const tree::TreeButtons &b = node.buttons;
    using tree::kButtonHeight, tree::kButtonWidth;
    cmdOK = addButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), b.okLeft, b.okTop, kButtonWidth,
                      kButtonHeight, QStringLiteral("Click to accept selection of option button"));
    cmdExit = addButton(this, QStringLiteral("cmdExit"), QStringLiteral("&Exit"), b.exitLeft, b.exitTop,
                        kButtonWidth, kButtonHeight, QStringLiteral("Click to end the program"));
    cmdHome = addButton(this, QStringLiteral("cmdHome"), QStringLiteral("&Home"), b.homeLeft, b.homeTop,
                        kButtonWidth, kButtonHeight);
    tabOrder[0] = cmdOK;
    tabOrder[1] = cmdExit;
    tabOrder[b.homeTabIndex] = cmdHome;

    QWidget *previous = nullptr;
    for (const auto &[index, widget] : tabOrder) {
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &QuestionScreen::cmdOK_Click);
    connect(cmdHome, &QPushButton::clicked, this, &QuestionScreen::cmdHome_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QuestionScreen::cmdExit_Click);
}

void QuestionScreen::Form_Load()
{
    sizeToDisplay(this, float(m_node.sizeFactor));
}

void QuestionScreen::cmdOK_Click()
{
    const tree::TreeOption *chosen = nullptr;
    for (qsizetype i = 0; i < m_options.size() && !chosen; ++i) {
        if (m_options[i]->isChecked())
            chosen = &m_node.options[size_t(i)];
    }
    if (!chosen) {
        showMessage(this, kNothingSelected, MessageIcon::Exclamation);
        return;
    }

    const tree::TreeOutcome &outcome = chosen->outcome;
    switch (outcome.kind) {
    case tree::TreeOutcome::Kind::GoToNode:
        emit nodeRequested(outcome.node);
        break;
    case tree::TreeOutcome::Kind::Recommendation:
        showMessage(this, toQString(*outcome.text), MessageIcon::None);
        break;
    case tree::TreeOutcome::Kind::BackToTopics:
        emit treeEnded(toQString(*outcome.text));
        break;
    }
}

void QuestionScreen::cmdHome_Click()
{
    emit homeRequested();
}

void QuestionScreen::cmdExit_Click()
{
    emit exitRequested();
}

void QuestionScreen::closeEvent(QCloseEvent *event)
{
    // Closing the window goes home, so the topic list never stays hidden with nothing in its place.
    event->accept();
    cmdHome_Click();
}
