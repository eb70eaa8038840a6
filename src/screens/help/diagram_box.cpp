#include "screens/help/diagram_box.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kPadding = 7;
constexpr qreal kRing = 4;  // the focus ring's distance from the box
constexpr qreal kQuestionWidth = 200;
constexpr qreal kOutcomeWidth = 150;
constexpr int kOutcomeLines = 4;

QFont diagramFont(qreal points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);  // the drawing is zoomed: keep text widths steady
    return font;
}

struct Look {
    QColor fill, border, text;
    qreal radius;
    Qt::PenStyle line;
};

Look lookOf(TreeLayout::Kind kind)
{
    switch (kind) {
    case TreeLayout::Kind::GoToNode:
        return {QColor(224, 255, 255), QColor(0, 0, 255), QColor(0, 0, 160), 3, Qt::SolidLine};
    case TreeLayout::Kind::Recommendation:
        return {QColor(255, 248, 214), QColor(150, 110, 20), QColor(40, 30, 0), 10, Qt::SolidLine};
    case TreeLayout::Kind::BackToTopics:
        return {QColor(236, 236, 236), QColor(90, 90, 90), QColor(30, 30, 30), 10, Qt::DashLine};
    }
    return {};
}

} // namespace

QFont DiagramBox::questionFont()
{
    return diagramFont(9, true);
}

DiagramBox::DiagramBox(Kind kind, const QString &name, const QString &title, const QString &body,
                       const QString &heading, const QString &fullText)
    : m_kind(kind)
    , m_name(name)
    , m_heading(heading)
    , m_fullText(fullText)
{
    const bool question = kind == Kind::GoToNode;
    const qreal width = question ? kQuestionWidth : kOutcomeWidth;
    const qreal inner = width - 2 * kPadding;
    if (!title.isEmpty())
        m_title = WrappedText(title, diagramFont(7.5, false), inner, 1);
    m_body = WrappedText(body, question ? questionFont() : diagramFont(9, false), inner,
                         question ? 0 : kOutcomeLines);
    m_size = QSizeF(width, m_title.size().height() + m_body.size().height() + 2 * kPadding);

    setToolTip(wrappingToolTip(fullText));
    setCursor(Qt::PointingHandCursor);
    setZValue(1);
}

QString DiagramBox::wrappingToolTip(const QString &text)
{
    return QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

void DiagramBox::setHighlighted(bool on)
{
    if (m_highlighted == on)
        return;
    m_highlighted = on;
    update();
}

QRectF DiagramBox::boundingRect() const
{
    return boxRect().adjusted(-kRing - 2, -kRing - 2, kRing + 2, kRing + 2);
}

QPainterPath DiagramBox::shape() const
{
    QPainterPath path;
    path.addRect(boxRect());
    return path;
}

void DiagramBox::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const Look look = lookOf(m_kind);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(look.border, m_kind == Kind::GoToNode ? 1.5 : 1.2, look.line));
    painter->setBrush(look.fill);
    painter->drawRoundedRect(boxRect(), look.radius, look.radius);

    if (m_highlighted) {
        painter->setPen(QPen(QColor(230, 110, 0), 3));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(boxRect().adjusted(-kRing, -kRing, kRing, kRing), look.radius + kRing,
                                 look.radius + kRing);
    }

    const qreal inner = m_size.width() - 2 * kPadding;
    const Qt::Alignment alignment = m_kind == Kind::GoToNode ? Qt::AlignLeft : Qt::AlignHCenter;
    painter->setPen(QColor(90, 90, 90));
    m_title.draw(painter, QPointF(kPadding, kPadding), inner, alignment);
    painter->setPen(look.text);
    m_body.draw(painter, QPointF(kPadding, kPadding + m_title.size().height()), inner, alignment);
}
