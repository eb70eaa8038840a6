// The help screen's drawing of the decision tree: built from the node tables, laid out so that
// it can be read, and walked with the mouse and the keyboard.
#include "recording_sink.h"

#include "screens/help/tree_diagram.h"
#include "core/tree/tree_node.h"
#include "core/tree/tree_texts.h"
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

#include <set>

namespace {

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
    }

    const Box *box(const QString &heading) const
    {
        for (const Box &box : diagram->boxes())
            if (box.heading == heading)
                return &box;
        return nullptr;
    }
    const Box *question(int node) const { return box(QStringLiteral("Question %1").arg(node)); }
    // Where option `option` (0-based) of `node` ends, found by its caption.
    const Box *outcome(int node, std::size_t option) const
    {
        const QString heading = QStringLiteral("Question %1, \u201c%2\u201d")
                                    .arg(node)
                                    .arg(toQString(tree::node(node).options[option].caption));
        for (const Box &box : diagram->boxes())
            if (box.heading == heading || box.heading == heading + QStringLiteral(": back to the topic list"))
                return &box;
        return nullptr;
    }
    int indexOf(const Box *box) const { return int(box - diagram->boxes().constData()); }
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
};

TEST_F(HelpTree, HelpOpensOnceBesideTheTopicScreen)
{
    EXPECT_EQ(screens().loadedNames(), (QStringList{kStart, kHelp}));
    EXPECT_TRUE(topics->isVisible());
    // Its place, over none of the topic screen's controls, is pinned by its pictures.
    EXPECT_TRUE(help->isVisible());
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
        ASSERT_NE(question(node.number), nullptr) << "node " << node.number;
        for (std::size_t j = 0; j < node.options.size(); ++j) {
            const TreeOutcome &end = node.options[j].outcome;
            if (end.kind == TreeOutcome::Kind::GoToNode)
                continue;
            ++outcomes;
            const Box *leaf = outcome(node.number, j);
            ASSERT_NE(leaf, nullptr) << "node " << node.number << " option " << j;
            EXPECT_EQ(leaf->text, toQString(*end.text));
            EXPECT_EQ(QTextDocumentFragment::fromHtml(leaf->item->toolTip()).toPlainText(), toQString(*end.text));
            EXPECT_EQ(leaf->heading.endsWith(QStringLiteral("back to the topic list")),
                      end.kind == TreeOutcome::Kind::BackToTopics);
        }
    }
    EXPECT_EQ(questions, 16u);
    EXPECT_EQ(outcomes, 29u);
    EXPECT_EQ(std::size_t(diagram->boxes().size()), questions + outcomes);

    EXPECT_TRUE(wordsOf(question(1)).endsWith(QStringLiteral("Assess her external genitalia.")));
    EXPECT_EQ(wordsOf(outcome(5, 1)), QStringLiteral("Back to the topic list"));
}

TEST_F(HelpTree, AnOutcomesBoxNamesItsDiagnosisInWordsOfItsOwnText)
{
    EXPECT_EQ(wordsOf(outcome(8, 0)), QStringLiteral("Turner's syndrome"));
    std::set<QString> texts, labels;
    for (const Box &box : diagram->boxes()) {
        if (!box.heading.contains(QChar(0x201c)) || box.heading.endsWith(QStringLiteral("back to the topic list")))
            continue;  // a question, or the way back
        const QString label = wordsOf(&box);
        ASSERT_GT(label.size(), 1) << box.text.toStdString();
        EXPECT_FALSE(label.endsWith(QLatin1Char('.')));
        // Word for word from the text; only the first letter may have been made a capital.
        const qsizetype at = box.text.indexOf(label.mid(1));
        ASSERT_GT(at, 0) << label.toStdString();
        EXPECT_EQ(box.text[at - 1].toLower(), label[0].toLower());
        texts.insert(box.text);
        labels.insert(label);
    }
    EXPECT_EQ(labels.size(), texts.size()) << "two different texts share a label";
}

TEST(OutcomeLabel, NamesTheDiagnosisElseTheFirstSentence)
{
    const auto label = [](std::string_view text) { return TreeDiagram::outcomeLabel(toQString(text)).toStdString(); };
    // The diagnosis need not come first.
    EXPECT_EQ(label(tree::kPureGonadalDysgenesisText), "Pure gonadal dysgenesis");
    EXPECT_EQ(label(tree::kVaginalAtresiaText), "Treat vaginal atresia by vaginoplasty");
    // A full stop inside a sentence does not end it.
    EXPECT_EQ(label(tree::kXIsochromosomeText),
              "Treat a case of X-isochromosome formation like a case of 45,X (Turner's syndrome)");
    EXPECT_EQ(label(tree::kSwyerSyndromeText),
              "Swyer's syndrome(46,XY pure gonadal dysgenesis) or 17 alpha hydroxylase deficiency in adrenals and gonads");
    EXPECT_EQ(label("No full stop"), "No full stop");
    EXPECT_EQ(label(""), "");
    EXPECT_EQ(label("The diagnosis is "), "The diagnosis is");
    EXPECT_EQ(label("The diagnosis is  . Then more."), "The diagnosis is");
}

TEST_F(HelpTree, OneArrowPerOptionFromItsQuestionIntoWhereItLeads)
{
    QList<QPainterPath> arrows;
    for (const QGraphicsItem *item : diagram->scene()->items())
        if (const auto *arrow = qgraphicsitem_cast<const QGraphicsPathItem *>(item))
            arrows << arrow->mapToScene(arrow->path());
    std::size_t options = 0;
    for (const tree::TreeNode &node : tree::nodes()) {
        const Box *from = question(node.number);
        for (std::size_t j = 0; j < node.options.size(); ++j) {
            ++options;
            const tree::TreeOption &option = node.options[j];
            const Box *to = option.outcome.kind == TreeOutcome::Kind::GoToNode ? question(option.outcome.node)
                                                                              : outcome(node.number, j);
            ASSERT_TRUE(from && to) << node.number << " " << j;
            // Out of the bottom of its question, into the side of its target.
            const QRectF a = sceneRectOf(from), b = sceneRectOf(to);
            const bool linked = std::any_of(arrows.cbegin(), arrows.cend(), [&](const QPainterPath &path) {
                const QPointF start = path.elementAt(0), tip = path.elementAt(2);
                return std::abs(start.y() - a.bottom()) < 1 && start.x() > a.left() && start.x() < a.right()
                    && std::abs(tip.x() - b.left()) < 1 && tip.y() > b.top() && tip.y() < b.bottom();
            });
            EXPECT_TRUE(linked) << node.number << " " << j;
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
    EXPECT_EQ(arrows.size(), 44);
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
    const QGraphicsItem *words = question(1)->item->childItems().value(0);
    ASSERT_NE(words, nullptr);
    const QFont font = qgraphicsitem_cast<const QGraphicsTextItem *>(words)->font();
    const auto capitalPixels = [&] {
        return QFontMetricsF(font).tightBoundingRect(QStringLiteral("H")).height() * diagram->zoom();
    };
    EXPECT_GE(capitalPixels(), 9 - 1e-6);
    EXPECT_LT(capitalPixels(), 12);
    const QRectF seen = diagram->mapToScene(diagram->viewport()->rect()).boundingRect().adjusted(-1, -1, 1, 1);
    EXPECT_TRUE(seen.contains(sceneRectOf(question(1))));
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
            for (const QGraphicsItem *child : diagram->boxes()[i].item->childItems())
                if (const auto *rect = qgraphicsitem_cast<const QGraphicsRectItem *>(child); rect && rect->isVisible())
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
    const auto at = [&] { return diagram->boxes().value(diagram->current()).heading; };
    diagram->setFocus(Qt::OtherFocusReason);
    key(Qt::Key_Home);
    EXPECT_EQ(diagram->current(), 0);
    key(Qt::Key_Up);  // nothing above node 1
    EXPECT_EQ(diagram->current(), 0);
    key(Qt::Key_Left);
    EXPECT_EQ(diagram->current(), 0);
    key(Qt::Key_Right);
    EXPECT_EQ(at(), question(2)->heading);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(at(), question(4)->heading);
    key(Qt::Key_Down);
    EXPECT_EQ(at(), outcome(4, 0)->heading);
    key(Qt::Key_Right);  // nothing further from an outcome
    EXPECT_EQ(at(), outcome(4, 0)->heading);
    key(Qt::Key_Down);
    EXPECT_EQ(at(), outcome(4, 1)->heading);
    key(Qt::Key_Left);
    EXPECT_EQ(at(), question(4)->heading);
    key(Qt::Key_Up);
    EXPECT_EQ(at(), question(3)->heading);
    key(Qt::Key_End);
    EXPECT_EQ(diagram->current(), diagram->boxes().size() - 1);
    key(Qt::Key_Down);  // nothing below the last
    EXPECT_EQ(diagram->current(), diagram->boxes().size() - 1);
}

TEST_F(HelpTree, EnterSpaceOrAClickShowsTheFullTextBesideTheDrawing)
{
    const auto shown = [&] { return QTextDocumentFragment::fromHtml(chosen->text()).toPlainText(); };
    const QString before = shown();
    diagram->setFocus(Qt::OtherFocusReason);

    diagram->setCurrent(indexOf(outcome(4, 0)));
    key(Qt::Key_Return);
    EXPECT_TRUE(shown().contains(toQString(*tree::node(4).options[0].outcome.text)));
    EXPECT_TRUE(shown().startsWith(QStringLiteral("Question 4, \u201cImperforate hymen\u201d")));
    // The text beside the drawing takes room from it; the chosen box stays in sight.
    settle();
    const QRectF seen = diagram->mapToScene(diagram->viewport()->rect()).boundingRect();
    EXPECT_TRUE(seen.contains(sceneRectOf(outcome(4, 0))));

    diagram->setCurrent(indexOf(outcome(5, 1)));
    key(Qt::Key_Space);
    EXPECT_TRUE(shown().contains(toQString(*tree::node(5).options[1].outcome.text)));

    // A click on a box, on its words or beside them, at whatever zoom it is drawn.
    key(Qt::Key_Plus, Qt::ControlModifier);
    const Box *savage = outcome(13, 1);
    diagram->ensureVisible(savage->item);
    QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {}, diagram->mapFromScene(sceneRectOf(savage).center()));
    EXPECT_TRUE(shown().contains(toQString(*tree::node(13).options[1].outcome.text)));
    EXPECT_EQ(diagram->current(), indexOf(savage));
    // A box that wears the focus mark takes a click as well.
    ASSERT_TRUE(QTest::qWaitFor([&] { return diagram->hasFocus(); }));
    const Box *node13 = question(13);
    diagram->setCurrent(indexOf(node13));
    QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {},
                      diagram->mapFromScene(sceneRectOf(node13).bottomRight() - QPointF(3, 3)));
    EXPECT_TRUE(shown().endsWith(node13->text));

    // A click beside the boxes changes nothing; no message box is ever involved.
    diagram->ensureVisible(diagram->sceneRect().topLeft().x(), diagram->sceneRect().topLeft().y(), 1, 1);
    QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {},
                      diagram->mapFromScene(diagram->sceneRect().topLeft() + QPointF(4, 4)));
    EXPECT_TRUE(shown().endsWith(node13->text));
    EXPECT_NE(before, shown());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
