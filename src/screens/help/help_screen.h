// frmHelp: how to use the program, and the whole decision tree drawn, beside the topic screen.
#pragma once

#include <QPointer>
#include <QWidget>

class QBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextBrowser;

class HelpScreen : public QWidget
{
    Q_OBJECT

public:
    // Opens beside `topics` (the topic screen, when it is loaded), never over its controls.
    explicit HelpScreen(const QWidget *topics = nullptr, QWidget *parent = nullptr);

    void Form_Load();
    void cmdClose_Click();

signals:
    void finished();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QTabWidget *tabHelp;
    QTextBrowser *txtHelp;
    QLabel *lblChosen;
    QPushButton *cmdClose;
    QBoxLayout *m_treeRow;  // the drawing and the chosen box's text
    QPointer<const QWidget> m_topics;
};
