#include "screens/question_screen.h"

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

#include <algorithm>
#include <map>
#include <ranges>

QuestionScreen::QuestionScreen(const tree::TreeNode &node, QWidget *parent)
    : QWidget(parent)
    , m_node(node)
{
    setWindowTitle(toQString(tree::kCaption));
    setBackground(this, kCyan);
    resize(twipsRect(0, 0, 4680, 3195).size());

    using Role = tree::TreeLabel::Role;
    for (const tree::TreeLabel &design : node.labels) {
        const tree::Place &p = design.place;
        const bool heading = design.role == Role::Heading;
        QLabel *label = addLabel(this, toQString(design.control), toQString(design.text), p.left, p.top, p.width, p.height,
                                 designFont(QStringLiteral("Times New Roman"), heading ? 18 : 12, true));
        label->setWordWrap(true);
        if (heading)
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        if (design.role != Role::Definition)
            setTextColour(label, heading ? kRed : kBlue);
        growToText(label);
    }

    const QFont optionFont = designFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    std::map<int, QWidget *> optionsByTab;
    for (const tree::TreeOption &design : node.options) {
        auto *option = new OptionButton(toQString(design.caption), this);
        option->setObjectName(toQString(design.control));
        option->setFont(optionFont);
        option->setGeometry(twipsRect(design.place.left, design.place.top, design.place.width, design.place.height));
        m_options.append(option);
        optionsByTab[design.tabIndex] = option;
    }

    const tree::TreeButtons &b = node.buttons;
    using tree::kButtonHeight, tree::kButtonWidth;
    QPushButton *cmdOK = addButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), b.ok.left, b.ok.top,
                                   kButtonWidth, kButtonHeight,
                                   QStringLiteral("Click to accept selection of option button"));
    QPushButton *cmdExit = addButton(this, QStringLiteral("cmdExit"), QStringLiteral("&Exit"), b.exit.left, b.exit.top,
                                     kButtonWidth, kButtonHeight, QStringLiteral("Click to end the program"));
    QPushButton *cmdHome = addButton(this, QStringLiteral("cmdHome"), QStringLiteral("&Home"), b.home.left, b.home.top,
                                     kButtonWidth, kButtonHeight);

    setTabOrder(cmdOK, cmdExit);
    QWidget *previous = cmdExit;
    for (QWidget *option : optionsByTab | std::views::values) {
        setTabOrder(previous, option);
        previous = option;
    }
    setTabOrder(previous, cmdHome);
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
    const auto chosen = std::ranges::find_if(m_options, &QRadioButton::isChecked);
    if (chosen == m_options.end()) {
        showMessage(this, QStringLiteral("Nothing is selected. You have to select one item by clicking on its radio "
                                         "button and then click OK."), MessageIcon::Exclamation);
        return;
    }

    const tree::TreeOutcome &outcome = m_node.options[size_t(chosen - m_options.begin())].outcome;
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
