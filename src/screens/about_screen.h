// frmAbout: names the program and starts the system information tool.
#pragma once

#include <QDialog>

class AboutScreen : public QDialog
{
    Q_OBJECT

public:
    explicit AboutScreen(QWidget *parent = nullptr);

    void Form_Load() {}
    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Enter, Esc and the close box all reach OK, which ends the dialog through done(), so
    // QDialog::finished(int) tells the shell to unload it.
    void accept() override { cmdOK_Click(); }
    void reject() override { cmdOK_Click(); }

protected:
    void paintEvent(QPaintEvent *event) override;
};
