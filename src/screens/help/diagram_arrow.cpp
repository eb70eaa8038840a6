#include "screens/help/diagram_arrow.h"

#include "screens/help/diagram_box.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QLineF>
#include <QPainter>

namespace {

constexpr qreal kLabelPadding = 3;
constexpr qreal kHeadLength = 9;
constexpr qreal kHeadHalfWidth = 4.5;
const QColor kLine(70, 70, 70);
const QColor kLabelText(150, 0, 0);

QFont labelFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(8);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

DiagramArrow::DiagramArrow(const QString &name, const QString &caption, DiagramBox *from, DiagramBox *to)
    : m_name(name)
    , m_caption(caption)
    , m_from(from)
    , m_to(to)
    , m_label(caption, labelFont(), to->size().width() - 2 * kLabelPadding)
{
    setZValue(0);
}

QSizeF DiagramArrow::labelSize() const
{
    return m_label.size() + QSizeF(2 * kLabelPadding, 2 * kLabelPadding);
}

void DiagramArrow::setRoute(const QPolygonF &points, const QRectF &labelRect)
{
    prepareGeometryChange();
    m_route = points;
    m_labelRect = labelRect;
}

QRectF DiagramArrow::boundingRect() const
{
    return m_route.boundingRect().adjusted(-kHeadHalfWidth - 1, -1, kHeadHalfWidth + 1, 1).united(m_labelRect);
}

void DiagramArrow::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_route.size() < 2)
        return;
    painter->setRenderHint(QPainter::Antialiasing);

    // The line stops where the head begins, so the head's point stays sharp.
    const QPointF tip = m_route.last();
    QLineF last(m_route[m_route.size() - 2], tip);
    const QPointF direction = (tip - last.p1()) / qMax<qreal>(last.length(), 1e-6);
    const QPointF base = tip - direction * kHeadLength;
    QPolygonF line = m_route;
    line.last() = base;
    painter->setPen(QPen(kLine, 1.3, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter->setBrush(Qt::NoBrush);
    painter->drawPolyline(line);

    const QPointF across(-direction.y() * kHeadHalfWidth, direction.x() * kHeadHalfWidth);
    painter->setPen(Qt::NoPen);
    painter->setBrush(kLine);
    painter->drawPolygon(QPolygonF{tip, base + across, base - across});

    // The label sits on the line, over a patch of the background.
    if (const QGraphicsScene *s = scene())
        painter->setBrush(s->backgroundBrush().style() == Qt::NoBrush ? QBrush(Qt::white) : s->backgroundBrush());
    painter->drawRoundedRect(m_labelRect, 3, 3);
    painter->setPen(kLabelText);
    m_label.draw(painter, m_labelRect.topLeft() + QPointF(kLabelPadding, kLabelPadding),
                 m_labelRect.width() - 2 * kLabelPadding, Qt::AlignHCenter);
}
