// frmHelp: how to use the program, beside the topic screen.
#pragma once

#include <QWidget>

class QPushButton;
class QTextBrowser;

class HelpScreen : public QWidget
{
    Q_OBJECT

public:
    explicit HelpScreen(QWidget *parent = nullptr);

    void Form_Load();
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QTextBrowser *txtHelp;
    QPushButton *cmdClose;
};
