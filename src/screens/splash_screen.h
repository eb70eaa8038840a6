// frmSplash: the first screen; gives way to the topic screen on a key, a click on its
// bare frame, or after eight seconds, whichever comes first.
#pragma once

#include <QWidget>

class PictureLoader;
class QGroupBox;
class QLabel;
class QTimer;

class SplashScreen : public QWidget
{
    Q_OBJECT

public:
    explicit SplashScreen(QWidget *parent = nullptr);

    void Form_Load(PictureLoader &picture);
    void Timer1_Timer();
    void Form_KeyPress();
    void Frame1_Click();

signals:
    // The user (a key, a click) or the timer has had enough of it: the topic screen takes its place.
    void finished(bool byUser);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGroupBox *Frame1;
    QTimer *Timer1;
    QLabel *imgLogo;
};
