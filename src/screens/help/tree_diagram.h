// The whole primary amenorrhea tree as a drawing, built from the same node tables the question
// screens present, so the two cannot disagree.
#pragma once

#include "core/diagram/tree_layout.h"

#include <QGraphicsView>
#include <QList>

class DiagramArrow;
class DiagramBox;

class TreeDiagram : public QGraphicsView
{
    Q_OBJECT

public:
    explicit TreeDiagram(QWidget *parent = nullptr);

    // In walking order: each question, then what its options lead to.
    const QList<DiagramBox *> &boxes() const { return m_boxes; }
    const QList<DiagramArrow *> &arrows() const { return m_arrows; }

    DiagramBox *currentBox() const { return m_current >= 0 ? m_boxes.at(m_current) : nullptr; }
    void setCurrentBox(DiagramBox *box);
    // Says what the box holds, in full.
    void activate(DiagramBox *box);

    void zoomIn();
    void zoomOut();
    // The whole tree in view, at most at its natural size; it stays so while the view is resized.
    void fitWhole();
    bool isFitted() const { return m_fit == Fit::Whole; }
    // The least zoom at which a question's capital letters stand kLegiblePixels high.
    qreal legibleZoom() const;
    static constexpr qreal kLegiblePixels = 9;
    qreal zoom() const { return transform().m11(); }

signals:
    void boxActivated(const QString &heading, const QString &text);

protected:
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void build();
    void zoomTo(qreal factor);
    void fitOnOpening();
    void moveTo(int index);
    int neighbourInRow(int index, int step) const;
    DiagramBox *boxAt(const QPoint &viewportPos) const;
    void updateHighlight();

    QGraphicsScene *m_scene;
    TreeLayout m_layout;
    QList<DiagramBox *> m_boxes;    // box i draws m_layout.items()[i]
    QList<DiagramArrow *> m_arrows;
    QList<QList<int>> m_rows;       // box indexes a depth, left to right
    int m_current = -1;
    // Until the doctor zooms: the whole tree where it can be read so, else the top of the tree
    // at a size it can be read at; after Ctrl+0 the whole tree at any size.
    enum class Fit { Legible, Whole, None };
    Fit m_fit = Fit::Legible;
};
