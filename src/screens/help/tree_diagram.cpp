#include "screens/help/tree_diagram.h"

#include "widgets/text.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPen>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kZoomStep = 1.25;
constexpr qreal kMinZoom = 0.05;
constexpr qreal kMaxZoom = 4;
constexpr qreal kSceneMargin = 16;
constexpr qreal kLegiblePixels = 9;  // a question's capital letters, on opening
constexpr qreal kIndent = 36;        // from a question's left edge to the boxes its options lead to
constexpr qreal kTrunk = 14;         // from a question's left edge to the line its arrows run down
constexpr qreal kRowGap = 8;
constexpr int kCtrl = int(Qt::CTRL);
constexpr int kIndexKey = 0;  // a box's place in boxes(), kept on its item

struct Look {
    QColor fill, border, text;
    Qt::PenStyle line;
    qreal width;  // of its words
};

// By kind: a question, a recommendation, back to the topic list.
const Look kLooks[] = {{QColor(224, 255, 255), QColor(0, 0, 255), QColor(0, 0, 160), Qt::SolidLine, 300},
                       {QColor(255, 248, 214), QColor(150, 110, 20), QColor(40, 30, 0), Qt::SolidLine, 220},
                       {QColor(236, 236, 236), QColor(90, 90, 90), QColor(30, 30, 30), Qt::DashLine, 220}};

QFont diagramFont(qreal points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);  // the drawing is zoomed: keep text widths steady
    return font;
}

} // namespace

TreeDiagram::TreeDiagram(QWidget *parent)
    : QGraphicsView(parent)
{
    setObjectName(QStringLiteral("treeDiagram"));
    setAccessibleName(QStringLiteral("Decision tree diagram"));
    setFocusPolicy(Qt::StrongFocus);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScene(new QGraphicsScene(this));
    scene()->setBackgroundBrush(QColor(250, 250, 246));
    addQuestion(tree::node(1), 0, nullptr, -1);
    const QMarginsF margins(kSceneMargin, kSceneMargin, kSceneMargin, kSceneMargin);
    scene()->setSceneRect(scene()->itemsBoundingRect().marginsAdded(margins));
    m_highlight = new QGraphicsRectItem(m_boxes.first().item);  // a child, so that a click on it is one on its box
    m_highlight->setPen(QPen(QColor(230, 110, 0), 3));
    m_highlight->hide();
}

QString TreeDiagram::outcomeLabel(const QString &text)
{
    // A sentence ends at a full stop before a blank or the end: "45,X (Turner's syndrome)." stays whole.
    const QString sentence = QStringLiteral(R"((?:[^.]|\.(?=\S))*)");
    const QRegularExpressionMatch diagnosis =
        QRegularExpression(QStringLiteral(R"(The diagnosis is (\S)(%1))").arg(sentence)).match(text);
    if (diagnosis.hasMatch())
        return diagnosis.captured(1).toUpper() + diagnosis.captured(2).trimmed();
    return QRegularExpression(sentence).match(text.trimmed()).captured().trimmed();
}

// Links only go forward (the tables are checked so), so the walk ends; each question is one row, then
// what its options lead to, indented a step.
void TreeDiagram::addQuestion(const tree::TreeNode &node, int depth, const tree::TreeOption *via, int parent)
{
    const auto label = std::find_if(node.labels.begin(), node.labels.end(),
                                    [](const tree::TreeLabel &l) { return l.role == tree::TreeLabel::Role::Question; });
    const QString number = QString::number(node.number);
    const int question = addBox(Kind::GoToNode, QStringLiteral("Question ") + number,
                                label == node.labels.end() ? QString() : toQString(label->text), depth, via, parent);
    for (const tree::TreeOption &option : node.options) {
        if (option.outcome.kind == Kind::GoToNode)
            addQuestion(tree::node(option.outcome.node), depth + 1, &option, question);
        else
            addBox(option.outcome.kind,
                   QStringLiteral("Question %1, \u201c%2\u201d").arg(number, toQString(option.caption)),
                   toQString(*option.outcome.text), depth + 1, &option, question);
    }
}

// A box on a row of its own; the caption of the option that leads to it sits over it, and the
// arrow runs from the bottom of the question above into its side.
int TreeDiagram::addBox(Kind kind, QString heading, const QString &text, int depth, const tree::TreeOption *via,
                        int parent)
{
    const qreal x = depth * kIndent;
    if (via) {
        auto *caption = scene()->addSimpleText(toQString(via->caption), diagramFont(8, true));
        caption->setBrush(QColor(150, 0, 0));
        caption->setPos(x + 2, m_bottom);
        m_bottom += caption->boundingRect().height() + 2;
    }

    const Look &look = kLooks[int(kind)];
    auto *words = new QGraphicsTextItem;
    words->document()->setDocumentMargin(3);
    words->setFont(diagramFont(9, kind == Kind::GoToNode));
    words->setDefaultTextColor(look.text);
    words->setTextWidth(look.width);
    if (kind == Kind::GoToNode)
        words->setHtml(QStringLiteral("<span style=\"font-size:7.5pt; font-weight:normal; color:#5a5a5a\">%1</span>"
                                      "<br>%2")
                           .arg(heading.toHtmlEscaped(), text.toHtmlEscaped()));
    else
        words->setPlainText(kind == Kind::Recommendation ? outcomeLabel(text)
                                                         : QStringLiteral("Back to the topic list"));
    if (kind == Kind::BackToTopics)
        heading += QStringLiteral(": back to the topic list");

    QGraphicsRectItem *box = scene()->addRect(0, 0, look.width, words->boundingRect().height(),
                                              QPen(look.border, 1.5, look.line), look.fill);
    box->setPos(x, m_bottom);
    box->setData(kIndexKey, int(m_boxes.size()));
    box->setToolTip(QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped()));  // rich text, so that it wraps
    box->setCursor(Qt::PointingHandCursor);
    words->setParentItem(box);

    if (parent >= 0) {
        const QGraphicsItem *from = m_boxes[parent].item;
        const qreal trunk = from->x() + kTrunk, middle = m_bottom + box->rect().height() / 2;
        QPainterPath path({trunk, from->sceneBoundingRect().bottom()});
        path.lineTo(trunk, middle);
        path.lineTo(x, middle);
        path.addPolygon(QPolygonF{{x - 7, middle - 4}, {x, middle}, {x - 7, middle + 4}});  // the head
        scene()->addPath(path, QPen(QColor(70, 70, 70), 1.3))->setZValue(-1);
    }
    m_bottom += box->rect().height() + kRowGap;
    m_boxes.append({heading, text, box, parent});
    return int(m_boxes.size()) - 1;
}

void TreeDiagram::setCurrent(int index)
{
    if (index < 0 || index >= m_boxes.size())
        return;
    m_current = index;
    m_highlight->setParentItem(m_boxes[index].item);
    m_highlight->setRect(m_boxes[index].item->rect());
    QToolTip::hideText();  // a tooltip left from the mouse would speak of another box
    ensureVisible(m_boxes[index].item, 24, 24);
    setAccessibleDescription(m_boxes[index].heading);
}

void TreeDiagram::zoomBy(qreal factor)
{
    m_fitting = false;
    const qreal target = std::clamp(zoom() * factor, kMinZoom, kMaxZoom);
    scale(target / zoom(), target / zoom());
}

// The whole tree where it can be read so, at most at its natural size; else its top at a size it
// can be read at, the rest a scroll away.
void TreeDiagram::fitLegibly()
{
    if (!m_fitting)
        return;
    fitInView(sceneRect(), Qt::KeepAspectRatio);
    const qreal capital = QFontMetricsF(diagramFont(9, true)).tightBoundingRect(QStringLiteral("H")).height();
    const qreal legible = capital > 0 ? kLegiblePixels / capital : 1;
    const qreal fitted = std::max(std::min(zoom(), 1.0), legible);
    setTransform(QTransform::fromScale(fitted, fitted));
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
    // The chosen box's text resizes the view: the box chosen stays in sight.
    if (m_current >= 0)
        ensureVisible(m_boxes[m_current].item, 24, 24);
}

bool TreeDiagram::focusNextPrevChild(bool next)
{
    // Tab walks the boxes; past the last (or before the first) it leaves the drawing.
    const int target = m_current + (next ? 1 : -1);
    if (hasFocus() && m_current >= 0 && target >= 0 && target < m_boxes.size()) {
        setCurrent(target);
        return true;
    }
    return QGraphicsView::focusNextPrevChild(next);
}

void TreeDiagram::focusInEvent(QFocusEvent *event)
{
    QGraphicsView::focusInEvent(event);
    if (event->reason() == Qt::BacktabFocusReason)
        setCurrent(int(m_boxes.size()) - 1);
    else if (event->reason() == Qt::TabFocusReason || m_current < 0)
        setCurrent(0);
    m_highlight->show();
}

void TreeDiagram::focusOutEvent(QFocusEvent *event)
{
    QGraphicsView::focusOutEvent(event);
    m_highlight->hide();
}

void TreeDiagram::keyPressEvent(QKeyEvent *event)
{
    switch (event->key() | (event->modifiers() & Qt::ControlModifier ? kCtrl : 0)) {
    case kCtrl | Qt::Key_Plus:
    case kCtrl | Qt::Key_Equal:
        zoomBy(kZoomStep);
        break;
    case kCtrl | Qt::Key_Minus:
        zoomBy(1 / kZoomStep);
        break;
    case kCtrl | Qt::Key_0:  // the whole tree, at most at its natural size
        m_fitting = false;
        fitInView(sceneRect(), Qt::KeepAspectRatio);
        if (zoom() > 1)
            resetTransform();
        break;
    case Qt::Key_Up:
        setCurrent(m_current - 1);
        break;
    case Qt::Key_Down:
        setCurrent(m_current + 1);
        break;
    case Qt::Key_Left:
        setCurrent(m_boxes.value(m_current).parent);
        break;
    case Qt::Key_Right:  // to the first box the current question leads to
        if (m_boxes.value(m_current + 1).parent == m_current)
            setCurrent(m_current + 1);
        break;
    case Qt::Key_Home:
        setCurrent(0);
        break;
    case Qt::Key_End:
        setCurrent(int(m_boxes.size()) - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_current >= 0)
            emit boxActivated(m_boxes[m_current].heading, m_boxes[m_current].text);
        break;
    default:
        QGraphicsView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TreeDiagram::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QGraphicsView::wheelEvent(event);
        return;
    }
    if (const qreal steps = event->angleDelta().y() / 120.0; steps != 0)
        zoomBy(std::pow(kZoomStep, steps));
    event->accept();
}

void TreeDiagram::mousePressEvent(QMouseEvent *event)
{
    const QGraphicsItem *hit = event->button() == Qt::LeftButton ? itemAt(event->position().toPoint()) : nullptr;
    const QVariant index = hit ? hit->topLevelItem()->data(kIndexKey) : QVariant();
    if (!index.isValid()) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    setCurrent(index.toInt());
    emit boxActivated(m_boxes[m_current].heading, m_boxes[m_current].text);
    event->accept();
}

void TreeDiagram::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    fitLegibly();
}
