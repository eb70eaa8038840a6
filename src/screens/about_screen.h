// frmAbout: names the program and starts the system information tool.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class AboutScreen : public QDialog
{
    Q_OBJECT

public:
    explicit AboutScreen(QWidget *parent = nullptr);

    void Form_Load() {}
    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Enter and Esc both reach OK.
    void accept() override { cmdOK_Click(); }
    void reject() override { cmdOK_Click(); }

signals:
    void finished();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPushButton *cmdOK;
    QLabel *picIcon;
    QPushButton *cmdSysInfo;
};
