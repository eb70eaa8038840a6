// The whole primary amenorrhea tree as a drawing, built from the same node tables the question
// screens present, so the two cannot disagree.
#pragma once

#include "core/diagram/tree_layout.h"

#include <QGraphicsView>
#include <QList>

class QGraphicsPathItem;
class QGraphicsRectItem;

class TreeDiagram : public QGraphicsView
{
    Q_OBJECT

public:
    using Kind = diagram::TreeLayout::Kind;
    struct Box {
        Kind kind;
        QString name;      // "question4", or "outcome4.1" for node 4's first option
        QString heading;   // what the box is, as the chosen box's heading says it
        QString fullText;  // the question, or the outcome's text in full
        QGraphicsRectItem *item;
        QGraphicsPathItem *arrowIn;  // from the question above; none for node 1
    };

    explicit TreeDiagram(QWidget *parent = nullptr);

    // In walking order, which is the drawing's from the top down: each question, then what its
    // options lead to.
    const QList<Box> &boxes() const { return m_boxes; }
    int current() const { return m_current; }
    void setCurrent(int index);
    void activate(int index);

    void zoomBy(qreal factor);
    // The whole tree in view, at most at its natural size; it stays so while the view is resized.
    void fitWhole();
    bool isFitted() const { return m_fit == Fit::Whole; }
    qreal zoom() const { return transform().m11(); }
    static QFont questionFont();

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
    void refit();
    void updateHighlight();

    QGraphicsScene *m_scene;
    diagram::TreeLayout m_layout;
    QList<Box> m_boxes;  // box i draws m_layout.items()[i]
    int m_current = -1;
    // Until the doctor zooms: the whole tree where it can be read so, else its top at a size it
    // can be read at; after Ctrl+0 the whole tree at any size.
    enum class Fit { Legible, Whole, None };
    Fit m_fit = Fit::Legible;
};
