// frmAmPrm1 to frmAmPrm16: one question of the decision tree, built from its TreeNode.
#pragma once

#include "tree/tree_node.h"

#include <QList>
#include <QWidget>

class QPushButton;
class QRadioButton;

class QuestionScreen : public QWidget
{
    Q_OBJECT

public:
    explicit QuestionScreen(const tree::TreeNode &node, QWidget *parent = nullptr);

    static QString screenName(int node);

    void Form_Load();
    void cmdOK_Click();
    void cmdHome_Click();
    void cmdExit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    const tree::TreeNode &m_node;
    QList<QRadioButton *> m_options;  // in the node's order
    QPushButton *cmdOK;
    QPushButton *cmdExit;
    QPushButton *cmdHome;
};
