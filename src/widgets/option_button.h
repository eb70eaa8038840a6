// An option button that shows its whole caption in its designed box: a caption too long for
// one line wraps at word boundaries, and the box grows down if the lines need more height.
#pragma once

#include <QRadioButton>

class OptionButton : public QRadioButton
{
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

    QSize sizeHint() const override;

protected:
    bool hitButton(const QPoint &pos) const override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QRect captionRoom() const;
    bool wraps() const;
    void growToCaption();
};
