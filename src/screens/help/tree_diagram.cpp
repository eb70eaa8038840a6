#include "screens/help/tree_diagram.h"

#include "core/diagram/outcome_label.h"
#include "core/tree/tree_node.h"
#include "widgets/text.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPen>
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
constexpr qreal kIndent = 36;      // from a question's left edge to the boxes its options lead to
constexpr qreal kTrunk = 14;       // from a question's left edge to the line its arrows run down
constexpr qreal kRowGap = 8;
constexpr qreal kQuestionWidth = 300;
constexpr qreal kOutcomeWidth = 220;
constexpr int kIndexKey = 0;       // a box's place in boxes(), kept on its item
constexpr int kCtrl = int(Qt::CTRL);
const QColor kLine(70, 70, 70);
const QColor kCaptionText(150, 0, 0);
const QColor kHighlight(230, 110, 0);

struct Look {
    QColor fill, border, text;
    Qt::PenStyle line;
};

// By kind: a question, a recommendation, back to the topic list.
const Look kLooks[] = {{QColor(224, 255, 255), QColor(0, 0, 255), QColor(0, 0, 160), Qt::SolidLine},
                       {QColor(255, 248, 214), QColor(150, 110, 20), QColor(40, 30, 0), Qt::SolidLine},
                       {QColor(236, 236, 236), QColor(90, 90, 90), QColor(30, 30, 30), Qt::DashLine}};

const Look &lookOf(TreeDiagram::Kind kind)
{
    return kLooks[int(kind)];
}

QFont diagramFont(qreal points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);  // the drawing is zoomed: keep text widths steady
    return font;
}

} // namespace

QFont TreeDiagram::questionFont()
{
    return diagramFont(9, true);
}

TreeDiagram::TreeDiagram(QWidget *parent)
    : QGraphicsView(parent)
    , m_scene(new QGraphicsScene(this))
    , m_layout(tree::nodes())
{
    setObjectName(QStringLiteral("treeDiagram"));
    setAccessibleName(QStringLiteral("Decision tree diagram"));
    setFocusPolicy(Qt::StrongFocus);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scene->setBackgroundBrush(QColor(250, 250, 246));
    setScene(m_scene);
    build();
}

// One row a box, indented by depth; an option's caption sits over the box its arrow points at.
void TreeDiagram::build()
{
    const std::vector<diagram::TreeLayout::Item> &items = m_layout.items();
    qreal y = 0;
    for (const diagram::TreeLayout::Item &item : items) {
        const QString node = QString::number(item.node);
        const QString caption = item.via ? toQString(item.via->caption) : QString();
        const QString text = toQString(item.text);
        const bool question = item.kind == Kind::GoToNode;
        Box box{item.kind, QStringLiteral("question") + node, QStringLiteral("Question ") + node, text, nullptr,
                nullptr};
        QString body = question ? text : QString::fromStdString(diagram::outcomeLabel(item.text));
        if (!question) {
            box.name = QStringLiteral("outcome%1.%2").arg(node).arg(item.option + 1);
            box.heading = QStringLiteral("Question %1, \u201c%2\u201d").arg(node, caption);
        }
        if (item.kind == Kind::BackToTopics) {
            body = QStringLiteral("Back to the topic list");
            box.heading += QStringLiteral(": back to the topic list");
        }

        const qreal x = item.depth * kIndent;
        if (item.via) {
            auto *label = m_scene->addSimpleText(caption, diagramFont(8, true));
            label->setBrush(kCaptionText);
            label->setPos(x + 2, y);
            y += label->boundingRect().height() + 2;
        }

        const Look &look = lookOf(item.kind);
        auto *words = new QGraphicsTextItem;
        words->document()->setDocumentMargin(3);
        words->setFont(question ? questionFont() : diagramFont(9, false));
        words->setDefaultTextColor(look.text);
        words->setTextWidth(question ? kQuestionWidth : kOutcomeWidth);
        const QString title = QStringLiteral("<span style=\"font-size:7.5pt; font-weight:normal; color:#5a5a5a\">")
            + box.heading.toHtmlEscaped() + QStringLiteral("</span><br>");
        words->setHtml((question ? title : QString()) + body.toHtmlEscaped());
        const QRectF rect(0, 0, words->textWidth(), words->boundingRect().height());
        box.item = m_scene->addRect(rect, QPen(look.border, 1.5, look.line), look.fill);
        box.item->setPos(x, y);
        box.item->setData(kIndexKey, int(m_boxes.size()));
        box.item->setToolTip(QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>"));
        box.item->setCursor(Qt::PointingHandCursor);
        words->setParentItem(box.item);

        if (item.parent >= 0) {
            const QGraphicsRectItem *from = m_boxes[item.parent].item;
            const qreal trunk = from->x() + kTrunk, middle = y + rect.height() / 2;
            QPainterPath path({trunk, from->sceneBoundingRect().bottom()});
            path.lineTo(trunk, middle);
            path.lineTo(x, middle);
            path.addPolygon(QPolygonF{{x - 7, middle - 4}, {x, middle}, {x - 7, middle + 4}});  // the head
            box.arrowIn = m_scene->addPath(path, QPen(kLine, 1.3));
            box.arrowIn->setZValue(-1);
        }
        y += rect.height() + kRowGap;
        m_boxes.append(box);
    }
    m_scene->setSceneRect(m_scene->itemsBoundingRect().adjusted(-kSceneMargin, -kSceneMargin, kSceneMargin, kSceneMargin));
}

void TreeDiagram::setCurrent(int index)
{
    if (index < 0 || index >= m_boxes.size())
        return;
    m_current = index;
    updateHighlight();
    QToolTip::hideText();  // a tooltip left from the mouse would speak of another box
    ensureVisible(m_boxes[index].item, 24, 24);
    setAccessibleDescription(m_boxes[index].heading);
}

void TreeDiagram::activate(int index)
{
    if (index >= 0 && index < m_boxes.size())
        emit boxActivated(m_boxes[index].heading, m_boxes[index].fullText);
}

void TreeDiagram::zoomBy(qreal factor)
{
    m_fit = Fit::None;
    const qreal target = std::clamp(zoom() * factor, kMinZoom, kMaxZoom);
    if (zoom() > 0)
        scale(target / zoom(), target / zoom());
}

void TreeDiagram::fitWhole()
{
    m_fit = Fit::Whole;
    fitInView(sceneRect(), Qt::KeepAspectRatio);
    // A window larger than the tree shows it at its natural size rather than blown up.
    if (zoom() > 1) {
        setTransform(QTransform());
        centerOn(sceneRect().center());
    }
}

void TreeDiagram::refit()
{
    if (m_fit == Fit::None)
        return;
    const bool legibleOnly = m_fit == Fit::Legible;
    fitWhole();
    if (!legibleOnly)
        return;
    m_fit = Fit::Legible;
    const qreal capital = QFontMetricsF(questionFont()).tightBoundingRect(QStringLiteral("H")).height();
    const qreal legible = capital > 0 ? kLegiblePixels / capital : 1;
    if (zoom() >= legible)
        return;
    // Too small to read whole: the top of the tree at a readable size, the rest a scroll away.
    setTransform(QTransform::fromScale(legible, legible));
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
    // The chosen box's text resizes the view: the box chosen stays in sight.
    if (m_current >= 0)
        ensureVisible(m_boxes[m_current].item, 24, 24);
}

void TreeDiagram::updateHighlight()
{
    for (qsizetype i = 0; i < m_boxes.size(); ++i) {
        const Look &look = lookOf(m_boxes[i].kind);
        const bool on = i == m_current && hasFocus();
        m_boxes[i].item->setPen(on ? QPen(kHighlight, 3) : QPen(look.border, 1.5, look.line));
    }
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
    if (event->reason() == Qt::TabFocusReason || m_current < 0)
        setCurrent(0);
    else if (event->reason() == Qt::BacktabFocusReason)
        setCurrent(int(m_boxes.size()) - 1);
    else
        updateHighlight();
}

void TreeDiagram::focusOutEvent(QFocusEvent *event)
{
    QGraphicsView::focusOutEvent(event);
    updateHighlight();
}

void TreeDiagram::keyPressEvent(QKeyEvent *event)
{
    const int at = std::max(m_current, 0);
    const std::vector<diagram::TreeLayout::Item> &items = m_layout.items();
    const bool hasChildren = std::size_t(at) + 1 < items.size() && items[std::size_t(at) + 1].parent == at;
    const int key = event->key() | (event->modifiers() & Qt::ControlModifier ? kCtrl : 0);
    switch (key) {
    case kCtrl | Qt::Key_Plus:
    case kCtrl | Qt::Key_Equal:
        zoomBy(kZoomStep);
        break;
    case kCtrl | Qt::Key_Minus:
        zoomBy(1 / kZoomStep);
        break;
    case kCtrl | Qt::Key_0:
        fitWhole();
        break;
    case Qt::Key_Up:
        setCurrent(at - 1);
        break;
    case Qt::Key_Down:
        setCurrent(m_current < 0 ? 0 : at + 1);
        break;
    case Qt::Key_Left:
        setCurrent(items[std::size_t(at)].parent);
        break;
    case Qt::Key_Right:
        setCurrent(hasChildren ? at + 1 : at);
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
        activate(m_current);
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
    activate(index.toInt());
    event->accept();
}

void TreeDiagram::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    refit();
}

void TreeDiagram::showEvent(QShowEvent *event)
{
    QGraphicsView::showEvent(event);
    refit();
}
