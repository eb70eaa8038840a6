#include "screens/help/help_screen.h"

#include "screens/help/tree_diagram.h"
#include "widgets/app_icon.h"
#include "widgets/window_sizing.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char kHowTo[] = R"(<h2>Using Tarnwick</h2>
<h3>Choosing a topic</h3>
<p>On the topic screen, click the arrow at the right of the box that reads <i>Topic List</i>
and choose a topic from the drop-down list, then click <b>OK</b>. Typing in the box does not
choose a topic: only a choice from the list counts.</p>
<p>This version covers one topic, <b>Amenorrhea, primary</b>. For any other topic the program
says that it has no decision tree for it yet.</p>
<h3>Answering the questions</h3>
<p>Each question of the decision tree has its own screen. Choose the answer that fits your
patient by clicking its round option button, then click <b>OK</b>.</p>
<ul>
<li>If the answer leads to a further question, that question's screen replaces the current one,
with no answer chosen.</li>
<li>If the answer ends in a recommendation, it is shown in a message box. Click <b>OK</b> in the box
to close it: the question stays on the screen with your answer chosen, so you can choose another
answer and click <b>OK</b> again.</li>
<li>Clicking <b>OK</b> with no answer chosen shows a reminder to choose one first.</li>
</ul>
<h3>Home and Exit</h3>
<p><b>Home</b> closes the question and brings back the topic screen as you left it; clicking
<b>OK</b> there starts the tree again at its first question. Closing a question's window does the
same. <b>Exit</b> closes every screen and ends the program. Nothing is stored: no patient data
is kept.</p>
<h3>Keyboard</h3>
<ul>
<li><b>Tab</b> and <b>Shift+Tab</b> move between the buttons, the answers and the list.</li>
<li><b>Arrow keys</b> move between answers; <b>Space</b> chooses the answer that has the focus.</li>
<li><b>Enter</b> presses the button that has the focus (each screen opens with the focus on
<b>OK</b>).</li>
<li><b>Alt+H</b> is Home on a question screen and Help on the topic screen; <b>Alt+E</b> is Exit;
<b>Alt+B</b> opens About.</li>
<li>On the topic screen, <b>Alt+Down</b> opens the list; the arrow keys and <b>Enter</b> choose.</li>
</ul>
<h3>The decision tree at a glance</h3>
<p>The <b>Decision tree</b> tab draws the whole primary amenorrhea tree: each question in a box,
each answer an arrow to the next question or to where it ends. Click a box, or walk the boxes with
<b>Tab</b> and the <b>arrow keys</b> and press <b>Enter</b>, to read it in full beside or below the drawing;
resting the mouse on a box shows the same text. <b>Ctrl</b> with the mouse wheel, <b>Ctrl+plus</b>
and <b>Ctrl+minus</b> zoom; <b>Ctrl+0</b> shows the whole tree again. Drag the drawing to move it.</p>
<h3>About</h3>
<p><b>About</b> shows the program's version and can start your system's information tool.</p>
)";

// The largest rectangle within `area` that keeps `gap` away from every one of `obstacles`.
QRect largestClearRect(const QRect &area, const QList<QRect> &obstacles, int gap)
{
    QList<int> lefts{area.left()}, rights{area.right()}, tops{area.top()}, bottoms{area.bottom()};
    QList<QRect> grown;
    for (const QRect &obstacle : obstacles) {
        const QRect g = obstacle.adjusted(-gap, -gap, gap, gap);
        grown.append(g);
        lefts.append(g.right() + 1);
        rights.append(g.left() - 1);
        tops.append(g.bottom() + 1);
        bottoms.append(g.top() - 1);
    }
    QRect best;
    qint64 bestArea = 0;
    for (int left : lefts)
        for (int right : rights)
            for (int top : tops)
                for (int bottom : bottoms) {
                    const QRect candidate(QPoint(left, top), QPoint(right, bottom));
                    const qint64 size = qint64(candidate.width()) * candidate.height();
                    if (candidate.isEmpty() || size <= bestArea || !area.contains(candidate))
                        continue;
                    if (std::none_of(grown.cbegin(), grown.cend(),
                                     [&](const QRect &g) { return g.intersects(candidate); })) {
                        best = candidate;
                        bestArea = size;
                    }
                }
    return best.isEmpty() ? area : best;
}

} // namespace

HelpScreen::HelpScreen(const QWidget *topics, QWidget *parent)
    : QWidget(parent)
    , tabHelp(new QTabWidget(this))
    , txtHelp(new QTextBrowser)
    , diagram(new TreeDiagram)
    , lblChosenHeading(new QLabel)
    , lblChosen(new QLabel)
    , cmdClose(new QPushButton(QStringLiteral("&Close"), this))
    , m_topics(topics)
{
    setWindowTitle(QStringLiteral("Tarnwick Help"));
    setWindowIcon(appIcon());

    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setAccessibleName(QStringLiteral("Help text"));
    txtHelp->setOpenLinks(false);

    auto *hint = new QLabel(QStringLiteral(
        "Click a box, or move to it with Tab or the arrow keys and press Enter, to read it in full. "
        "Ctrl+wheel or Ctrl+plus and Ctrl+minus zoom; Ctrl+0 shows the whole tree."));
    hint->setObjectName(QStringLiteral("lblTreeHint"));
    hint->setWordWrap(true);

    lblChosenHeading->setObjectName(QStringLiteral("lblChosenHeading"));
    lblChosenHeading->setAccessibleName(QStringLiteral("Chosen box"));
    QFont bold = lblChosenHeading->font();
    bold.setBold(true);
    lblChosenHeading->setFont(bold);
    lblChosenHeading->setTextFormat(Qt::PlainText);
    lblChosenHeading->setWordWrap(true);
    lblChosenHeading->hide();
    lblChosen->setObjectName(QStringLiteral("lblChosen"));
    lblChosen->setAccessibleName(QStringLiteral("Chosen text"));
    lblChosen->setTextFormat(Qt::PlainText);
    lblChosen->setWordWrap(true);
    lblChosen->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblChosen->setText(QStringLiteral("Nothing chosen yet."));
    connect(diagram, &TreeDiagram::boxActivated, this, &HelpScreen::showChosen);

    chosenBox = new QFrame;
    chosenBox->setFrameShape(QFrame::StyledPanel);
    chosenBox->setBackgroundRole(QPalette::Base);
    chosenBox->setAutoFillBackground(true);
    auto *chosenLayout = new QVBoxLayout(chosenBox);
    chosenLayout->addWidget(lblChosenHeading);
    chosenLayout->addWidget(lblChosen);
    chosenLayout->addStretch();

    auto *treePage = new QWidget;
    auto *treeLayout = new QVBoxLayout(treePage);
    treeLayout->addWidget(hint);
    treeRow = new QBoxLayout(QBoxLayout::TopToBottom);
    treeRow->addWidget(diagram, 1);
    treeRow->addWidget(chosenBox);
    treeLayout->addLayout(treeRow, 1);

    tabHelp->setObjectName(QStringLiteral("tabHelp"));
    tabHelp->addTab(txtHelp, QStringLiteral("&How to use"));
    tabHelp->addTab(treePage, QStringLiteral("&Decision tree"));

    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAccessibleName(QStringLiteral("Close"));
    cmdClose->setAutoDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &HelpScreen::cmdClose_Click);

    // Close beside the tabs rather than on a row of its own: the height goes to the drawing.
    tabHelp->setCornerWidget(cmdClose, Qt::TopRightCorner);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabHelp);
}

void HelpScreen::showChosen(const QString &heading, const QString &text)
{
    lblChosenHeading->setText(heading);
    lblChosenHeading->show();
    lblChosen->setText(text);
}

void HelpScreen::Form_Load()
{
    txtHelp->setHtml(QString::fromUtf8(kHowTo));

    // The largest part of the display clear of the topic screen's controls, frame included.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect display = screen->availableGeometry();
        const int margin = display.width() / 40;
        QList<QRect> controls;
        if (const QWidget *topics = m_topics.data(); topics && topics->isVisible()) {
            for (const QWidget *control : topics->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (control->isVisible())
                    controls.append(control->geometry().translated(topics->geometry().topLeft()));
            }
        }
        const QMargins frame = expectedFrame(this);
        const QRect outer = largestClearRect(display.marginsRemoved({margin, margin, margin, margin}), controls,
                                             margin);
        setGeometry(outer.marginsRemoved(frame));
    }
    cmdClose->setFocus();
}

void HelpScreen::cmdClose_Click()
{
    emit finished();
}

void HelpScreen::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A wide, low window (below the topic screen's controls) keeps its height for the drawing
    // and reads out the chosen box beside it.
    const bool wide = width() > 2 * height();
    treeRow->setDirection(wide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    chosenBox->setMaximumWidth(wide ? width() / 3 : QWIDGETSIZE_MAX);
}
