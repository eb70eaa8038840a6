// The help screen's drawing of the decision tree: built from the node tables, laid out so that
// it can be read, and walked with the mouse and the keyboard.
#include "recording_sink.h"

#include "screens/help/tree_diagram.h"
#include "core/tree/tree_node.h"
#include "widgets/text.h"

#include <QApplication>
#include <QGraphicsItem>
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

using Kind = TreeDiagram::Kind;
using Box = TreeDiagram::Box;
using tree::TreeOutcome;

const QString kStart = QStringLiteral("frmStart");
const QString kHelp = QStringLiteral("frmHelp");

QRectF sceneRectOf(const Box *box)
{
    return box->item->sceneBoundingRect();
}

QString wordsOf(const Box *box)
{
    const auto *words = qgraphicsitem_cast<const QGraphicsTextItem *>(box->item->childItems().value(0));
    return words ? words->toPlainText() : QString();
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
        for (const Box &box : diagram->boxes())
            byName[box.name] = &box;
    }

    const Box *box(const QString &name) const
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
    std::map<QString, const Box *> byName;
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
        const Box *question = box(QStringLiteral("question%1").arg(node.number));
        ASSERT_NE(question, nullptr) << "node " << node.number;
        EXPECT_EQ(question->kind, Kind::GoToNode);
        for (std::size_t j = 0; j < node.options.size(); ++j) {
            const TreeOutcome &outcome = node.options[j].outcome;
            if (outcome.kind == TreeOutcome::Kind::GoToNode)
                continue;
            ++outcomes;
            const Box *leaf = box(outcomeName(node.number, j));
            ASSERT_NE(leaf, nullptr) << "node " << node.number << " option " << j;
            EXPECT_EQ(leaf->kind, outcome.kind == TreeOutcome::Kind::Recommendation ? Kind::Recommendation
                                                                                  : Kind::BackToTopics);
            EXPECT_EQ(leaf->fullText, toQString(*outcome.text));
            EXPECT_EQ(QTextDocumentFragment::fromHtml(leaf->item->toolTip()).toPlainText(), toQString(*outcome.text));
            EXPECT_TRUE(leaf->heading.contains(toQString(node.options[j].caption)));
        }
    }
    EXPECT_EQ(questions, 16u);
    EXPECT_EQ(outcomes, 29u);
    EXPECT_EQ(std::size_t(diagram->boxes().size()), questions + outcomes);
    EXPECT_EQ(byName.size(), questions + outcomes) << "box names are unique";

    EXPECT_TRUE(wordsOf(box(QStringLiteral("question1"))).endsWith(QStringLiteral("Assess her external genitalia.")));
    const Box *back = box(outcomeName(5, 1));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->kind, Kind::BackToTopics);
    EXPECT_EQ(wordsOf(back), QStringLiteral("Back to the topic list"));
}

TEST_F(HelpTree, OneArrowPerOptionFromItsQuestionIntoWhereItLeads)
{
    std::size_t options = 0;
    for (const tree::TreeNode &node : tree::nodes()) {
        const Box *from = box(QStringLiteral("question%1").arg(node.number));
        for (std::size_t j = 0; j < node.options.size(); ++j) {
            ++options;
            const tree::TreeOption &option = node.options[j];
            const Box *to = option.outcome.kind == TreeOutcome::Kind::GoToNode
                                ? box(QStringLiteral("question%1").arg(option.outcome.node))
                                : box(outcomeName(node.number, j));
            ASSERT_TRUE(from && to && to->arrowIn) << node.number << " " << j;
            // Out of the bottom of its question, into the side of its target.
            const QPainterPath path = to->arrowIn->mapToScene(to->arrowIn->path());
            const QRectF a = sceneRectOf(from), b = sceneRectOf(to);
            const QPointF start = path.elementAt(0), tip = path.elementAt(2);
            EXPECT_NEAR(start.y(), a.bottom(), 1);
            EXPECT_TRUE(start.x() > a.left() && start.x() < a.right());
            EXPECT_NEAR(tip.x(), b.left(), 1);
            EXPECT_TRUE(tip.y() > b.top() && tip.y() < b.bottom());
            // The option's caption is on the drawing, over the box the arrow points at.
            const QList<QGraphicsItem *> above = diagram->scene()->items(QPointF(b.left() + 4, b.top() - 4));
            const bool captioned = std::any_of(above.cbegin(), above.cend(), [&](const QGraphicsItem *item) {
                const auto *label = qgraphicsitem_cast<const QGraphicsSimpleTextItem *>(item);
                return label && label->text() == toQString(option.caption);
            });
            EXPECT_TRUE(captioned) << toQString(option.caption).toStdString();
        }
    }
    EXPECT_EQ(options, 44u);
    EXPECT_EQ(diagram->boxes().first().arrowIn, nullptr);
}

TEST_F(HelpTree, NoBoxOrCaptionCoversAnother)
{
    QList<QRectF> rects;
    for (const QGraphicsItem *item : diagram->scene()->items())
        if (!item->parentItem() && item->type() != QGraphicsPathItem::Type)
            rects << item->sceneBoundingRect().adjusted(1, 1, -1, -1);
    EXPECT_EQ(rects.size(), 45 + 44);
    for (qsizetype i = 0; i < rects.size(); ++i)
        for (qsizetype k = i + 1; k < rects.size(); ++k)
            EXPECT_FALSE(rects[i].intersects(rects[k])) << i << " and " << k;
}

TEST_F(HelpTree, OpensWithQuestionsLegibleAndTheWholeTreeWithinReach)
{
    // Shown whole the tree would be a thumbnail on this display: it opens at a size whose
    // capital letters stand 9 px high, with the first question in view.
    const auto capitalPixels = [&] {
        return QFontMetricsF(TreeDiagram::questionFont()).tightBoundingRect(QStringLiteral("H")).height()
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
    help->resize(3000, 4000);
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
    const auto highlighted = [&] {
        QList<int> on;
        for (qsizetype i = 0; i < diagram->boxes().size(); ++i)
            if (diagram->boxes()[i].item->pen().widthF() > 2)
                on << int(i);
        return on;
    };
    diagram->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return diagram->hasFocus(); }));
    ASSERT_EQ(diagram->current(), 0);
    EXPECT_EQ(highlighted(), QList<int>{0});

    for (int i = 1; i < diagram->boxes().size(); ++i) {
        key(Qt::Key_Tab);
        EXPECT_EQ(diagram->current(), i);
        EXPECT_EQ(highlighted(), QList<int>{i});
    }
    EXPECT_TRUE(diagram->hasFocus());

    // Past the last box, Tab moves on to the rest of the window; Shift+Tab comes back to that box.
    const int last = int(diagram->boxes().size()) - 1;
    key(Qt::Key_Tab);
    EXPECT_FALSE(diagram->hasFocus());
    EXPECT_TRUE(highlighted().isEmpty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(diagram->hasFocus());
    EXPECT_EQ(diagram->current(), last);
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(diagram->current(), last - 1);
}

TEST_F(HelpTree, ArrowKeysFollowTheTree)
{
    const auto at = [&] { return diagram->boxes().value(diagram->current()).name; };
    diagram->setFocus(Qt::OtherFocusReason);
    key(Qt::Key_Home);
    EXPECT_EQ(at(), QStringLiteral("question1"));
    key(Qt::Key_Up);  // nothing above node 1
    EXPECT_EQ(at(), QStringLiteral("question1"));
    key(Qt::Key_Left);
    EXPECT_EQ(at(), QStringLiteral("question1"));
    key(Qt::Key_Right);
    EXPECT_EQ(at(), QStringLiteral("question2"));
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(at(), QStringLiteral("question4"));
    key(Qt::Key_Down);
    EXPECT_EQ(at(), outcomeName(4, 0));
    key(Qt::Key_Right);  // nothing further from an outcome
    EXPECT_EQ(at(), outcomeName(4, 0));
    key(Qt::Key_Down);
    EXPECT_EQ(at(), outcomeName(4, 1));
    key(Qt::Key_Left);
    EXPECT_EQ(at(), QStringLiteral("question4"));
    key(Qt::Key_Up);
    EXPECT_EQ(at(), QStringLiteral("question3"));
    key(Qt::Key_End);
    EXPECT_EQ(diagram->current(), diagram->boxes().size() - 1);
    key(Qt::Key_Down);  // nothing below the last
    EXPECT_EQ(diagram->current(), diagram->boxes().size() - 1);
}

TEST_F(HelpTree, EnterSpaceOrAClickShowsTheFullTextBesideTheDrawing)
{
    const auto indexOf = [&](const QString &name) { return int(box(name) - diagram->boxes().constData()); };
    const QString before = chosen->text();
    diagram->setFocus(Qt::OtherFocusReason);

    diagram->setCurrent(indexOf(outcomeName(4, 0)));
    key(Qt::Key_Return);
    EXPECT_EQ(chosen->text(), toQString(*tree::node(4).options[0].outcome.text));
    EXPECT_TRUE(control<QLabel>(kHelp, QStringLiteral("lblChosenHeading"))->text().contains(QStringLiteral("Imperforate hymen")));
    // The text beside the drawing takes room from it; the chosen box stays in sight.
    settle();
    const QRectF seen = diagram->mapToScene(diagram->viewport()->rect()).boundingRect();
    EXPECT_TRUE(seen.contains(sceneRectOf(box(outcomeName(4, 0)))));

    diagram->setCurrent(indexOf(outcomeName(5, 1)));
    key(Qt::Key_Space);
    EXPECT_EQ(chosen->text(), toQString(*tree::node(5).options[1].outcome.text));

    // A click on a box, on its words or beside them, at whatever zoom it is drawn.
    key(Qt::Key_Plus, Qt::ControlModifier);
    const Box *savage = box(outcomeName(13, 1));
    diagram->ensureVisible(savage->item);
    QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {}, diagram->mapFromScene(sceneRectOf(savage).center()));
    EXPECT_EQ(chosen->text(), toQString(*tree::node(13).options[1].outcome.text));
    EXPECT_EQ(diagram->current(), indexOf(savage->name));
    const Box *question = box(QStringLiteral("question13"));
    QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {},
                      diagram->mapFromScene(sceneRectOf(question).bottomRight() - QPointF(3, 3)));
    EXPECT_EQ(chosen->text(), question->fullText);

    // A click beside the boxes changes nothing; no message box is ever involved.
    diagram->ensureVisible(diagram->sceneRect().topLeft().x(), diagram->sceneRect().topLeft().y(), 1, 1);
    QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {},
                      diagram->mapFromScene(diagram->sceneRect().topLeft() + QPointF(4, 4)));
    EXPECT_EQ(chosen->text(), question->fullText);
    EXPECT_NE(before, chosen->text());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
