// One box of the tree drawing: a question, or where an option ends.
#pragma once

#include "core/diagram/tree_layout.h"
#include "screens/help/wrapped_text.h"

#include <QGraphicsItem>

class DiagramBox : public QGraphicsItem
{
public:
    enum { Type = UserType + 1 };
    using Kind = TreeLayout::Kind;

    // `title` is a small line above `body` (may be empty); `heading` and `fullText` are what the
    // box says in full when chosen; the tooltip holds `fullText`.
    DiagramBox(Kind kind, const QString &name, const QString &title, const QString &body,
               const QString &heading, const QString &fullText);

    int type() const override { return Type; }
    Kind kind() const { return m_kind; }
    QString name() const { return m_name; }
    QString heading() const { return m_heading; }
    QString fullText() const { return m_fullText; }
    const WrappedText &body() const { return m_body; }

    // The box itself; the bounding rectangle adds room for the focus ring.
    QRectF boxRect() const { return QRectF(QPointF(0, 0), m_size); }
    QSizeF size() const { return m_size; }

    void setHighlighted(bool on);
    bool isHighlighted() const { return m_highlighted; }

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // Long texts as rich text, so that the tooltip wraps instead of running off the screen.
    static QString wrappingToolTip(const QString &text);
    // The font of a question's text, at the drawing's natural size.
    static QFont questionFont();

private:
    Kind m_kind;
    QString m_name;
    QString m_heading;
    QString m_fullText;
    WrappedText m_title;
    WrappedText m_body;
    QSizeF m_size;
    bool m_highlighted = false;
};
