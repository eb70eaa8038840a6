// One option of the tree drawing: an arrow from its question to where it leads, labelled with
// the option's caption.
#pragma once

#include "screens/help/wrapped_text.h"

#include <QGraphicsItem>
#include <QPolygonF>

class DiagramBox;

class DiagramArrow : public QGraphicsItem
{
public:
    enum { Type = UserType + 2 };

    DiagramArrow(const QString &name, const QString &caption, DiagramBox *from, DiagramBox *to);

    int type() const override { return Type; }
    QString name() const { return m_name; }
    QString caption() const { return m_caption; }
    DiagramBox *from() const { return m_from; }
    DiagramBox *to() const { return m_to; }

    // The label's size before it is placed: the caption wrapped to the width of the box it points at.
    QSizeF labelSize() const;
    // In scene coordinates.
    void setRoute(const QPolygonF &points, const QRectF &labelRect);
    QPolygonF route() const { return m_route; }
    QRectF labelRect() const { return m_labelRect; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QString m_name;
    QString m_caption;
    DiagramBox *m_from;
    DiagramBox *m_to;
    WrappedText m_label;
    QPolygonF m_route;
    QRectF m_labelRect;
};
