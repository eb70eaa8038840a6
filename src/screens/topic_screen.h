// frmStart: the topic list, the program's main screen.
#pragma once

#include <QWidget>

class PictureLoader;
class QComboBox;
class QLabel;

class TopicScreen : public QWidget
{
    Q_OBJECT

public:
    explicit TopicScreen(QWidget *parent = nullptr);

    void Form_Load(PictureLoader &picture);
    void cmdOK_Click();
    void cmdHelp_Click();
    void cmdAbout_Click();
    void cmdExit_Click();

signals:
    void nodeRequested(int node);
    void helpRequested();
    void aboutRequested();
    void exitRequested();

private:
    QComboBox *Combo1;
    QLabel *Image1;
};
