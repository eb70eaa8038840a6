// Text broken into lines that fit a width, measured once so the drawing can be laid out before
// anything is painted.
#pragma once

#include <QFont>
#include <QSizeF>
#include <QStringList>

class QPainter;
class QPointF;

class WrappedText
{
public:
    WrappedText() = default;
    // At most maxLines lines (0: as many as it takes); a cut last line ends in an ellipsis.
    WrappedText(const QString &text, const QFont &font, qreal width, int maxLines = 0);

    const QStringList &lines() const { return m_lines; }
    bool isCut() const { return m_cut; }
    // The widest line's width, all lines' height.
    QSizeF size() const { return m_size; }

    // Lines from topLeft down, each centred or left-aligned within `width`.
    void draw(QPainter *painter, const QPointF &topLeft, qreal width, Qt::Alignment alignment) const;

private:
    QFont m_font;
    QStringList m_lines;
    QSizeF m_size;
    qreal m_lineHeight = 0;
    bool m_cut = false;
};
