// frmAmPrm1 to frmAmPrm16: one question of the decision tree, built from its TreeNode.
#pragma once

#include "core/tree/tree_node.h"

#include <QList>
#include <QWidget>

class QRadioButton;

class QuestionScreen : public QWidget
{
    Q_OBJECT

public:
    explicit QuestionScreen(const tree::TreeNode &node, QWidget *parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void cmdHome_Click();
    void cmdExit_Click();

signals:
    // This screen gives way to node `node`, which opens afresh.
    void nodeRequested(int node);
    // This screen gives way to the topic screen.
    void homeRequested();
    // The tree ends here: this screen gives way to the topic screen, which then shows `text`.
    void treeEnded(const QString &text);
    void exitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    const tree::TreeNode &m_node;
    QList<QRadioButton *> m_options;  // in the node's order
};
