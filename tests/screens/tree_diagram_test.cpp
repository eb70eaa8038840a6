// The help screen's drawing of the decision tree: built from the node tables, laid out so that
// it can be read, and walked with the mouse and the keyboard.
#include "recording_sink.h"

#include "screens/help/diagram_arrow.h"
#include "screens/help/diagram_box.h"
#include "screens/help/tree_diagram.h"
#include "core/tree/tree_node.h"
#include "widgets/text.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocumentFragment>
#include <QWheelEvent>

#include <map>

namespace {

using Kind = TreeLayout::Kind;
using tree::TreeOutcome;

const QString kStart = QStringLiteral("frmStart");
const QString kHelp = QStringLiteral("frmHelp");

QRectF sceneRectOf(const DiagramBox *box)
{
    return box->mapRectToScene(box->boxRect());
}

class HelpTree : public ScreensTest
{
protected:
    void SetUp() override
    {
        ScreensTest::SetUp();
        topics = screens().show(kStart);
        control<QPushButton>(kStart, QStringLiteral("cmdHelp"))->click();
        help = screen(kHelp);
        ASSERT_NE(help, nullptr);
        control<QTabWidget>(kHelp, QStringLiteral("tabHelp"))->setCurrentIndex(1);
        diagram = help->findChild<TreeDiagram *>(QStringLiteral("treeDiagram"));
        chosen = control<QLabel>(kHelp, QStringLiteral("lblChosen"));
        ASSERT_TRUE(diagram && chosen);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(help));
        settle();  // the tab's layout settles the drawing's size
        ASSERT_TRUE(diagram->isVisible());
        for (DiagramBox *box : diagram->boxes())
            byName[box->name()] = box;
        for (DiagramArrow *arrow : diagram->arrows())
            arrowByName[arrow->name()] = arrow;
    }

    DiagramBox *box(const QString &name) const
    {
        const auto found = byName.find(name);
        return found == byName.end() ? nullptr : found->second;
    }
    static QString outcomeName(int node, std::size_t option)
    {
        return QStringLiteral("outcome%1.%2").arg(node).arg(option + 1);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(diagram, Qt::Key(key), modifiers);
    }
    bool wholeTreeInView() const
    {
        const QRectF seen = diagram->mapToScene(diagram->viewport()->rect()).boundingRect().adjusted(-1, -1, 1, 1);
        return seen.contains(diagram->sceneRect());
    }

    QPointer<QWidget> topics;
    QPointer<QWidget> help;
    TreeDiagram *diagram = nullptr;
    QLabel *chosen = nullptr;
    std::map<QString, DiagramBox *> byName;
    std::map<QString, DiagramArrow *> arrowByName;
};

TEST_F(HelpTree, HelpOpensOnceBesideTheTopicScreen)
{
    EXPECT_EQ(screens().loadedNames(), (QStringList{kStart, kHelp}));
    EXPECT_TRUE(topics->isVisible());
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(help->frameGeometry()));
    // Over none of the topic screen's controls, and larger than a strip.
    for (const QWidget *control : topics->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
        EXPECT_FALSE(help->frameGeometry().intersects(onScreen)) << control->objectName().toStdString();
    }
    EXPECT_GE(help->height(), 240);
    EXPECT_EQ(diagram->accessibleName(), QStringLiteral("Decision tree diagram"));

    control<QPushButton>(kStart, QStringLiteral("cmdHelp"))->click();
    EXPECT_EQ(screen(kHelp), help);
    EXPECT_EQ(screens().loadedNames(), (QStringList{kStart, kHelp}));
    EXPECT_TRUE(topics->isVisible());
}

TEST_F(HelpTree, DrawsEveryQuestionAndEveryOutcomeOfTheTables)
{
    std::size_t questions = 0, outcomes = 0;
    for (const tree::TreeNode &node : tree::nodes()) {
        ++questions;
        const DiagramBox *question = box(QStringLiteral("question%1").arg(node.number));
        ASSERT_NE(question, nullptr) << "node " << node.number;
        EXPECT_EQ(question->kind(), Kind::GoToNode);
        for (std::size_t j = 0; j < node.options.size(); ++j) {
            const TreeOutcome &outcome = node.options[j].outcome;
            if (outcome.kind == TreeOutcome::Kind::GoToNode)
                continue;
            ++outcomes;
            const DiagramBox *leaf = box(outcomeName(node.number, j));
            ASSERT_NE(leaf, nullptr) << "node " << node.number << " option " << j;
            EXPECT_EQ(leaf->kind(), outcome.kind == TreeOutcome::Kind::Recommendation ? Kind::Recommendation
                                                                                    : Kind::BackToTopics);
            EXPECT_EQ(leaf->fullText(), toQString(*outcome.text));
            EXPECT_EQ(QTextDocumentFragment::fromHtml(leaf->toolTip()).toPlainText(), toQString(*outcome.text));
            EXPECT_TRUE(leaf->heading().contains(toQString(node.options[j].caption)));
        }
    }
    EXPECT_EQ(questions, 16u);
    EXPECT_EQ(outcomes, 29u);
    EXPECT_EQ(std::size_t(diagram->boxes().size()), questions + outcomes);
    EXPECT_EQ(byName.size(), questions + outcomes) << "box names are unique";

    const DiagramBox *first = box(QStringLiteral("question1"));
    EXPECT_EQ(first->body().lines().join(QLatin1Char(' ')), QStringLiteral("Assess her external genitalia."));
    const DiagramBox *back = box(outcomeName(5, 1));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->kind(), Kind::BackToTopics);
    EXPECT_EQ(back->body().lines().join(QLatin1Char(' ')), QStringLiteral("Back to the topic list"));
}

TEST_F(HelpTree, OneArrowPerOptionFromItsQuestionToWhereItLeads)
{
    std::size_t options = 0;
    for (const tree::TreeNode &node : tree::nodes()) {
        for (std::size_t j = 0; j < node.options.size(); ++j) {
            ++options;
            const tree::TreeOption &option = node.options[j];
            const QString name = QStringLiteral("arrow%1.%2").arg(node.number).arg(j + 1);
            ASSERT_TRUE(arrowByName.count(name)) << name.toStdString();
            const DiagramArrow *arrow = arrowByName[name];
            EXPECT_EQ(arrow->caption(), toQString(option.caption));
            EXPECT_EQ(arrow->from(), box(QStringLiteral("question%1").arg(node.number)));
            const DiagramBox *target = option.outcome.kind == TreeOutcome::Kind::GoToNode
                                           ? box(QStringLiteral("question%1").arg(option.outcome.node))
                                           : box(outcomeName(node.number, j));
            ASSERT_NE(target, nullptr);
            EXPECT_EQ(arrow->to(), target) << name.toStdString();

            // Drawn where it says: out of the bottom of its question, into the top of its target.
            const QPolygonF route = arrow->mapToScene(arrow->route());
            ASSERT_GE(route.size(), 2);
            const QRectF from = sceneRectOf(arrow->from()), to = sceneRectOf(target);
            EXPECT_NEAR(route.first().y(), from.bottom(), 0.01);
            EXPECT_TRUE(route.first().x() > from.left() && route.first().x() < from.right());
            // Into its top, or into its side where outcomes hang in a column.
            const QPointF end = route.last();
            const bool intoTop = qAbs(end.y() - to.top()) < 0.01 && end.x() > to.left() && end.x() < to.right();
            const bool intoSide = qAbs(end.x() - to.left()) < 0.01 && end.y() > to.top() && end.y() < to.bottom();
            EXPECT_TRUE(intoTop || intoSide) << name.toStdString();
        }
    }
    EXPECT_EQ(std::size_t(diagram->arrows().size()), options);
    EXPECT_EQ(options, 44u);
}

TEST_F(HelpTree, NoBoxOrLabelCoversAnother)
{
    QList<QRectF> rects;
    for (const DiagramBox *b : diagram->boxes())
        rects << sceneRectOf(b);
    for (const DiagramArrow *a : diagram->arrows()) {
        rects << a->mapRectToScene(a->labelRect());
        // Each caption has room for its words.
        EXPECT_GT(a->labelRect().width(), 10);
        EXPECT_LE(a->labelRect().width(), sceneRectOf(a->to()).width() + 0.01);
    }
    for (qsizetype i = 0; i < rects.size(); ++i)
        for (qsizetype k = i + 1; k < rects.size(); ++k)
            EXPECT_FALSE(rects[i].intersects(rects[k])) << i << " and " << k;
}

TEST_F(HelpTree, OpensWithQuestionsLegibleAndTheWholeTreeWithinReach)
{
    // Shown whole the tree would be a thumbnail on this display: it opens at a size whose
    // capital letters stand 9 px high, with the first question in view.
    const auto capitalPixels = [&] {
        return QFontMetricsF(DiagramBox::questionFont()).tightBoundingRect(QStringLiteral("H")).height()
            * diagram->zoom();
    };
    EXPECT_GE(capitalPixels(), 9 - 1e-6);
    EXPECT_LT(capitalPixels(), 12);
    const QRectF seen = diagram->mapToScene(diagram->viewport()->rect()).boundingRect().adjusted(-1, -1, 1, 1);
    EXPECT_TRUE(seen.contains(sceneRectOf(box(QStringLiteral("question1")))));
    // The rest is a scroll away.
    EXPECT_FALSE(wholeTreeInView());
    EXPECT_GT(diagram->horizontalScrollBar()->maximum() + diagram->verticalScrollBar()->maximum(), 0);

    // Still legible while the window is resized, until the doctor zooms; a window that holds the
    // whole tree legibly shows it whole.
    const QSize before = diagram->viewport()->size();
    help->resize(help->width() - 120, help->height() - 80);
    EXPECT_TRUE(QTest::qWaitFor([&] { return diagram->viewport()->size() != before; }));
    settle();
    EXPECT_GE(capitalPixels(), 9 - 1e-6);
    help->resize(3000, 2000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return wholeTreeInView(); }));
    EXPECT_GE(capitalPixels(), 9 - 1e-6);
}

TEST_F(HelpTree, KeysAndWheelZoomAndControlZeroFitsAgain)
{
    const qreal fitted = diagram->zoom();
    key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(diagram->zoom(), fitted);
    EXPECT_FALSE(diagram->isFitted());
    EXPECT_FALSE(wholeTreeInView());
    const qreal zoomedIn = diagram->zoom();
    key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_LT(diagram->zoom(), zoomedIn);
    key(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_NEAR(diagram->zoom(), zoomedIn, 1e-9);

    // Resizing a zoomed drawing keeps the doctor's zoom.
    help->resize(help->width() - 60, help->height());
    EXPECT_NEAR(diagram->zoom(), zoomedIn, 1e-9);

    key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_TRUE(diagram->isFitted());
    // Once the scroll bars the zoom needed have gone.
    EXPECT_TRUE(QTest::qWaitFor([&] { return wholeTreeInView(); }));

    const qreal refitted = diagram->zoom();
    const QPointF centre = QRectF(diagram->viewport()->rect()).center();
    QWheelEvent up(centre, diagram->viewport()->mapToGlobal(centre), {}, QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(diagram->viewport(), &up);
    EXPECT_GT(diagram->zoom(), refitted);

    // Zooming out for ever stops at a sensible size instead of turning the drawing into a dot.
    for (int i = 0; i < 60; ++i)
        key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_GE(diagram->zoom(), 0.05 - 1e-9);
    for (int i = 0; i < 60; ++i)
        key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_LE(diagram->zoom(), 4.0 + 1e-9);
}

TEST_F(HelpTree, TabWalksEveryBoxThenLeavesTheDrawing)
{
    diagram->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return diagram->hasFocus(); }));
    ASSERT_EQ(diagram->currentBox(), diagram->boxes().first());
    EXPECT_TRUE(diagram->currentBox()->isHighlighted());

    QList<DiagramBox *> visited{diagram->currentBox()};
    for (qsizetype i = 1; i < diagram->boxes().size(); ++i) {
        key(Qt::Key_Tab);
        visited << diagram->currentBox();
        int highlighted = 0;
        for (const DiagramBox *b : diagram->boxes())
            highlighted += b->isHighlighted() ? 1 : 0;
        EXPECT_EQ(highlighted, 1);
    }
    EXPECT_EQ(visited, diagram->boxes());
    EXPECT_TRUE(diagram->hasFocus());

    // Past the last box, Tab moves on to the rest of the window; Shift+Tab comes back to that box.
    key(Qt::Key_Tab);
    EXPECT_FALSE(diagram->hasFocus());
    EXPECT_FALSE(diagram->boxes().last()->isHighlighted());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(diagram->hasFocus());
    EXPECT_EQ(diagram->currentBox(), diagram->boxes().last());
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(diagram->currentBox(), diagram->boxes()[diagram->boxes().size() - 2]);
}

TEST_F(HelpTree, ArrowKeysFollowTheTree)
{
    diagram->setFocus(Qt::OtherFocusReason);
    key(Qt::Key_Home);
    EXPECT_EQ(diagram->currentBox(), box(QStringLiteral("question1")));
    key(Qt::Key_Up);  // nothing above node 1
    EXPECT_EQ(diagram->currentBox(), box(QStringLiteral("question1")));
    key(Qt::Key_Down);
    EXPECT_EQ(diagram->currentBox(), box(QStringLiteral("question2")));
    key(Qt::Key_Right);
    EXPECT_EQ(diagram->currentBox(), box(QStringLiteral("question14")));
    key(Qt::Key_Right);  // the end of the row
    EXPECT_EQ(diagram->currentBox(), box(QStringLiteral("question14")));
    key(Qt::Key_Left);
    EXPECT_EQ(diagram->currentBox(), box(QStringLiteral("question2")));
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(diagram->currentBox(), box(QStringLiteral("question4")));
    key(Qt::Key_Down);
    EXPECT_EQ(diagram->currentBox(), box(outcomeName(4, 0)));
    key(Qt::Key_Down);  // nothing below an outcome
    EXPECT_EQ(diagram->currentBox(), box(outcomeName(4, 0)));
    key(Qt::Key_Up);
    EXPECT_EQ(diagram->currentBox(), box(QStringLiteral("question4")));
    key(Qt::Key_End);
    EXPECT_EQ(diagram->currentBox(), diagram->boxes().last());
}

TEST_F(HelpTree, EnterSpaceOrAClickShowsTheFullTextBesideTheDrawing)
{
    const QString before = chosen->text();
    diagram->setFocus(Qt::OtherFocusReason);

    DiagramBox *hymen = box(outcomeName(4, 0));
    diagram->setCurrentBox(hymen);
    key(Qt::Key_Return);
    EXPECT_EQ(chosen->text(), toQString(*tree::node(4).options[0].outcome.text));
    EXPECT_TRUE(control<QLabel>(kHelp, QStringLiteral("lblChosenHeading"))->text().contains(QStringLiteral("Imperforate hymen")));

    DiagramBox *back = box(outcomeName(5, 1));
    diagram->setCurrentBox(back);
    key(Qt::Key_Space);
    EXPECT_EQ(chosen->text(), toQString(*tree::node(5).options[1].outcome.text));

    // A click on a box, at whatever zoom it is drawn.
    key(Qt::Key_Plus, Qt::ControlModifier);
    DiagramBox *savage = box(outcomeName(13, 1));
    diagram->ensureVisible(savage);
    const QPoint at = diagram->mapFromScene(sceneRectOf(savage).center());
    QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(chosen->text(), toQString(*tree::node(13).options[1].outcome.text));
    EXPECT_EQ(diagram->currentBox(), savage);

    // A click beside the boxes changes nothing; no message box is ever involved.
    diagram->ensureVisible(diagram->sceneRect().topLeft().x(), diagram->sceneRect().topLeft().y(), 1, 1);
    QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {},
                      diagram->mapFromScene(diagram->sceneRect().topLeft() + QPointF(4, 4)));
    EXPECT_EQ(chosen->text(), toQString(*tree::node(13).options[1].outcome.text));
    EXPECT_NE(before, chosen->text());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
