#include "screens/help/tree_diagram.h"

#include "screens/help/diagram_arrow.h"
#include "screens/help/diagram_box.h"
#include "core/diagram/outcome_label.h"
#include "core/tree/tree_node.h"
#include "widgets/text.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kZoomStep = 1.25;
constexpr qreal kMinZoom = 0.05;
constexpr qreal kMaxZoom = 4;
constexpr qreal kSceneMargin = 16;

} // namespace

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
    m_scene->setBackgroundBrush(QColor(250, 250, 246));
    setScene(m_scene);
    build();
}

void TreeDiagram::build()
{
    const std::vector<TreeLayout::Item> &items = m_layout.items();
    for (const TreeLayout::Item &item : items) {
        const QString node = QString::number(item.node);
        const QString option = QString::number(item.option + 1);
        const QString caption = item.via ? toQString(item.via->caption) : QString();
        const QString text = toQString(item.text);
        DiagramBox *box = nullptr;
        switch (item.kind) {
        case TreeLayout::Kind::GoToNode:
            box = new DiagramBox(item.kind, QStringLiteral("question") + node, QStringLiteral("Question ") + node,
                                 text, QStringLiteral("Question ") + node, text);
            break;
        case TreeLayout::Kind::Recommendation:
            box = new DiagramBox(item.kind, QStringLiteral("outcome%1.%2").arg(node, option), {},
                                 QString::fromStdString(outcomeLabel(item.text)),
                                 QStringLiteral("Question %1, \u201c%2\u201d").arg(node, caption), text);
            break;
        case TreeLayout::Kind::BackToTopics:
            box = new DiagramBox(item.kind, QStringLiteral("outcome%1.%2").arg(node, option), {},
                                 QStringLiteral("Back to the topic list"),
                                 QStringLiteral("Question %1, \u201c%2\u201d: back to the topic list").arg(node, caption),
                                 text);
            break;
        }
        m_scene->addItem(box);
        m_boxes.append(box);
    }

    std::vector<TreeLayout::ItemSize> sizes(items.size());
    std::vector<DiagramArrow *> arrowInto(items.size(), nullptr);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TreeLayout::Item &item = items[i];
        sizes[i].box = {m_boxes[qsizetype(i)]->size().width(), m_boxes[qsizetype(i)]->size().height()};
        if (item.parent < 0)
            continue;
        const TreeLayout::Item &parent = items[std::size_t(item.parent)];
        const auto option = std::find(parent.children.begin(), parent.children.end(), int(i)) - parent.children.begin();
        auto *arrow = new DiagramArrow(QStringLiteral("arrow%1.%2").arg(parent.node).arg(option + 1),
                                       toQString(item.via->caption), m_boxes[item.parent], m_boxes[qsizetype(i)]);
        m_scene->addItem(arrow);
        m_arrows.append(arrow);
        arrowInto[i] = arrow;
        sizes[i].label = {arrow->labelSize().width(), arrow->labelSize().height()};
    }

    const std::vector<TreeLayout::Placement> placements = m_layout.place(sizes);
    m_rows = QList<QList<int>>(m_layout.depthCount());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TreeLayout::Placement &p = placements[i];
        m_boxes[qsizetype(i)]->setPos(p.box.x, p.box.y);
        m_rows[items[i].depth].append(int(i));
        if (DiagramArrow *arrow = arrowInto[i]) {
            QPolygonF route;
            for (const TreeLayout::Point &point : p.arrow)
                route << QPointF(point.x, point.y);
            arrow->setRoute(route, QRectF(p.label.x, p.label.y, p.label.width, p.label.height));
        }
    }
    // Left to right; down a column of outcomes.
    for (QList<int> &row : m_rows) {
        std::sort(row.begin(), row.end(), [&](int a, int b) {
            const TreeLayout::Rect &p = placements[std::size_t(a)].box, &q = placements[std::size_t(b)].box;
            return p.x != q.x ? p.x < q.x : p.y < q.y;
        });
    }

    m_scene->setSceneRect(m_scene->itemsBoundingRect().adjusted(-kSceneMargin, -kSceneMargin, kSceneMargin, kSceneMargin));
}

void TreeDiagram::setCurrentBox(DiagramBox *box)
{
    moveTo(int(m_boxes.indexOf(box)));
}

void TreeDiagram::activate(DiagramBox *box)
{
    if (box)
        emit boxActivated(box->heading(), box->fullText());
}

void TreeDiagram::zoomIn()
{
    zoomTo(kZoomStep);
}

void TreeDiagram::zoomOut()
{
    zoomTo(1 / kZoomStep);
}

void TreeDiagram::zoomTo(qreal factor)
{
    const qreal target = std::clamp(zoom() * factor, kMinZoom, kMaxZoom);
    m_fit = Fit::None;
    if (zoom() > 0)
        scale(target / zoom(), target / zoom());
}

qreal TreeDiagram::legibleZoom() const
{
    const qreal capital = QFontMetricsF(DiagramBox::questionFont()).tightBoundingRect(QStringLiteral("H")).height();
    return capital > 0 ? kLegiblePixels / capital : 1;
}

void TreeDiagram::fitOnOpening()
{
    fitWhole();
    m_fit = Fit::Legible;
    if (zoom() >= legibleZoom() || m_boxes.isEmpty())
        return;
    // Too small to read whole: the first question at a readable size, the rest a scroll away.
    setTransform(QTransform::fromScale(legibleZoom(), legibleZoom()));
    const QRectF first = m_boxes.first()->sceneBoundingRect();
    centerOn(first.center().x(), first.top() - kSceneMargin + viewport()->height() / (2 * zoom()));
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

void TreeDiagram::moveTo(int index)
{
    if (index < 0 || index >= m_boxes.size())
        return;
    m_current = index;
    updateHighlight();
    QToolTip::hideText();  // a tooltip left from the mouse would speak of another box
    ensureVisible(m_boxes[index], 24, 24);
    setAccessibleDescription(m_boxes[index]->heading());
}

int TreeDiagram::neighbourInRow(int index, int step) const
{
    const QList<int> &row = m_rows[m_layout.items()[std::size_t(index)].depth];
    const qsizetype at = row.indexOf(index) + step;
    return at >= 0 && at < row.size() ? row[at] : -1;
}

DiagramBox *TreeDiagram::boxAt(const QPoint &viewportPos) const
{
    const QList<QGraphicsItem *> under = items(viewportPos);
    for (QGraphicsItem *item : under) {
        if (item->type() == DiagramBox::Type)
            return static_cast<DiagramBox *>(item);
    }
    return nullptr;
}

void TreeDiagram::updateHighlight()
{
    for (qsizetype i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setHighlighted(i == m_current && hasFocus());
}

bool TreeDiagram::focusNextPrevChild(bool next)
{
    // Tab walks the boxes; past the last (or before the first) it leaves the drawing.
    if (hasFocus() && m_current >= 0) {
        const int target = m_current + (next ? 1 : -1);
        if (target >= 0 && target < m_boxes.size()) {
            moveTo(target);
            return true;
        }
    }
    return QGraphicsView::focusNextPrevChild(next);
}

void TreeDiagram::focusInEvent(QFocusEvent *event)
{
    QGraphicsView::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason)
        moveTo(0);
    else if (event->reason() == Qt::BacktabFocusReason)
        moveTo(int(m_boxes.size()) - 1);
    else if (m_current < 0)
        moveTo(0);
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
    if (event->modifiers() & Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomIn();
            break;
        case Qt::Key_Minus:
            zoomOut();
            break;
        case Qt::Key_0:
            fitWhole();
            break;
        default:
            QGraphicsView::keyPressEvent(event);
            return;
        }
        if (currentBox())
            ensureVisible(currentBox(), 24, 24);
        event->accept();
        return;
    }

    const int current = std::max(m_current, 0);
    const TreeLayout::Item &item = m_layout.items()[std::size_t(current)];
    switch (event->key()) {
    case Qt::Key_Left:
        moveTo(m_current < 0 ? 0 : neighbourInRow(current, -1));
        break;
    case Qt::Key_Right:
        moveTo(m_current < 0 ? 0 : neighbourInRow(current, 1));
        break;
    case Qt::Key_Up:
        moveTo(m_current < 0 ? 0 : item.parent);
        break;
    case Qt::Key_Down:
        moveTo(m_current < 0 || item.children.empty() ? current : item.children.front());
        break;
    case Qt::Key_Home:
        moveTo(0);
        break;
    case Qt::Key_End:
        moveTo(int(m_boxes.size()) - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        activate(currentBox());
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
    const qreal steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        zoomTo(std::pow(kZoomStep, steps));
    event->accept();
}

void TreeDiagram::mousePressEvent(QMouseEvent *event)
{
    DiagramBox *box = event->button() == Qt::LeftButton ? boxAt(event->position().toPoint()) : nullptr;
    if (!box) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    setCurrentBox(box);
    activate(box);
    event->accept();
}

void TreeDiagram::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    if (m_fit == Fit::Whole)
        fitWhole();
    else if (m_fit == Fit::Legible)
        fitOnOpening();
}

void TreeDiagram::showEvent(QShowEvent *event)
{
    QGraphicsView::showEvent(event);
    if (m_fit == Fit::Whole)
        fitWhole();
    else if (m_fit == Fit::Legible)
        fitOnOpening();
}
