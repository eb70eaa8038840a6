#include "screens/help/wrapped_text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

WrappedText::WrappedText(const QString &text, const QFont &font, qreal width, int maxLines)
    : m_font(font)
{
    const QFontMetricsF metrics(font);
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (maxLines > 0 && m_lines.size() == maxLines - 1) {
            const QString rest = text.mid(line.textStart()).trimmed();
            const QString elided = metrics.elidedText(rest, Qt::ElideRight, width);
            m_cut = elided != rest;
            m_lines.append(elided);
            break;
        }
        m_lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();

    m_lineHeight = metrics.lineSpacing();
    qreal widest = 0;
    for (const QString &line : std::as_const(m_lines))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    m_size = QSizeF(qMin(widest, width), m_lines.size() * m_lineHeight);
}

void WrappedText::draw(QPainter *painter, const QPointF &topLeft, qreal width, Qt::Alignment alignment) const
{
    painter->setFont(m_font);
    qreal y = topLeft.y();
    for (const QString &line : m_lines) {
        painter->drawText(QRectF(topLeft.x(), y, width, m_lineHeight),
                          int(alignment | Qt::AlignVCenter | Qt::TextSingleLine), line);
        y += m_lineHeight;
    }
}
