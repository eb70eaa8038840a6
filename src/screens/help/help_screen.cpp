#include "screens/help/help_screen.h"

#include "screens/help/tree_diagram.h"
#include "widgets/window_sizing.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

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

HelpScreen::HelpScreen(const QWidget *topics, QWidget *parent)
    : QWidget(parent)
    , tabHelp(new QTabWidget(this))
    , txtHelp(new QTextBrowser)
    , lblChosen(new QLabel(QStringLiteral("Nothing chosen yet.")))
    , cmdClose(new QPushButton(QStringLiteral("&Close"), this))
    , m_treeRow(new QBoxLayout(QBoxLayout::TopToBottom))
    , m_topics(topics)
{
    setWindowTitle(QStringLiteral("Tarnwick Help"));

    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setAccessibleName(QStringLiteral("Help text"));
    txtHelp->setOpenLinks(false);

    auto *hint = new QLabel(QStringLiteral(
        "Click a box, or move to it with Tab or the arrow keys and press Enter, to read it in full. "
        "Ctrl+wheel or Ctrl+plus and Ctrl+minus zoom; Ctrl+0 shows the whole tree."));
    hint->setObjectName(QStringLiteral("lblTreeHint"));
    hint->setWordWrap(true);

    lblChosen->setObjectName(QStringLiteral("lblChosen"));
    lblChosen->setAccessibleName(QStringLiteral("Chosen box"));
    lblChosen->setFrameShape(QFrame::StyledPanel);
    lblChosen->setBackgroundRole(QPalette::Base);
    lblChosen->setAutoFillBackground(true);
    lblChosen->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblChosen->setMargin(9);
    lblChosen->setWordWrap(true);
    lblChosen->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *diagram = new TreeDiagram;
    connect(diagram, &TreeDiagram::boxActivated, this, [this](const QString &heading, const QString &text) {
        lblChosen->setText(QStringLiteral("<b>%1</b><p>%2</p>").arg(heading.toHtmlEscaped(), text.toHtmlEscaped()));
    });

    auto *treePage = new QWidget;
    auto *treeLayout = new QVBoxLayout(treePage);
    treeLayout->addWidget(hint);
    m_treeRow->addWidget(diagram, 1);
    m_treeRow->addWidget(lblChosen);
    treeLayout->addLayout(m_treeRow, 1);

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

void HelpScreen::Form_Load()
{
    txtHelp->setHtml(QString::fromUtf8(kHowTo));

    // Below the topic screen's controls, or right of them where that leaves more room; frame included.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect display = screen->availableGeometry();
        const int margin = display.width() / 40;
        QRect area = display.marginsRemoved({margin, margin, margin, margin});
        QRect controls;
        if (const QWidget *topics = m_topics.data(); topics && topics->isVisible())
            controls = topics->childrenRect().translated(topics->geometry().topLeft());
        QRect below = area, right = area;
        below.setTop(controls.bottom() + margin + 1);
        right.setLeft(controls.right() + margin + 1);
        const auto room = [](const QRect &r) { return r.isEmpty() ? 0 : qint64(r.width()) * r.height(); };
        if (!controls.isNull() && room(below) + room(right) > 0)
            area = room(below) >= room(right) ? below : right;
        setGeometry(area.marginsRemoved(expectedFrame(this)));
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
    m_treeRow->setDirection(wide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    lblChosen->setMaximumWidth(wide ? width() / 3 : QWIDGETSIZE_MAX);
}
