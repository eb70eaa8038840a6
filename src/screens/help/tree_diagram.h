// The whole primary amenorrhea tree as a drawing, built from the same node tables the question
// screens present, so the two cannot disagree.
#pragma once

#include "core/tree/tree_node.h"

#include <QGraphicsView>
#include <QList>

class QGraphicsRectItem;

class TreeDiagram : public QGraphicsView
{
    Q_OBJECT

public:
    struct Box {
        QString heading;  // what the box is, as the chosen box's heading says it
        QString text;     // the question, or the outcome's text in full
        QGraphicsRectItem *item = nullptr;
        int parent = -1;  // the question above, by its place in boxes(); none for node 1
    };

    explicit TreeDiagram(QWidget *parent = nullptr);

    // From the top of the drawing down: each question, then what its options lead to.
    const QList<Box> &boxes() const { return m_boxes; }
    int current() const { return m_current; }
    void setCurrent(int index);
    qreal zoom() const { return transform().m11(); }

    // The diagnosis where the text names one ("The diagnosis is X." gives "X"), else its first
    // sentence; without the closing full stop.
    static QString outcomeLabel(const QString &text);

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

private:
    using Kind = tree::TreeOutcome::Kind;
    void addQuestion(const tree::TreeNode &node, int depth, const tree::TreeOption *via, int parent);
    int addBox(Kind kind, QString heading, const QString &text, int depth, const tree::TreeOption *via, int parent);
    void zoomBy(qreal factor);
    void fitLegibly();

    QList<Box> m_boxes;
    QGraphicsRectItem *m_highlight = nullptr;  // round the current box while the drawing has the focus
    int m_current = -1;
    qreal m_bottom = 0;     // where the next row goes while the drawing is built
    bool m_fitting = true;  // until the doctor zooms
};
