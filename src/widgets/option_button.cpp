#include "widgets/option_button.h"

#include <QEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

constexpr int kWrapFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

QRect OptionButton::captionRoom() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_RadioButtonContents, &option, this);
}

bool OptionButton::wraps() const
{
    return fontMetrics().size(Qt::TextShowMnemonic, text()).width() > captionRoom().width();
}

QSize OptionButton::sizeHint() const
{
    const QSize oneLine = QRadioButton::sizeHint();
    if (!wraps())
        return oneLine;
    // The caption laid out in the room beside the indicator, as many lines as it takes.
    QRect room = captionRoom();
    room.setHeight(QWIDGETSIZE_MAX);
    const QRect caption = fontMetrics().boundingRect(room, kWrapFlags & ~Qt::AlignVCenter, text());
    return {caption.right() + 1, qMax(oneLine.height(), caption.height())};
}

bool OptionButton::hitButton(const QPoint &pos) const
{
    // A click on any line of a wrapped caption chooses the option.
    return wraps() ? rect().contains(pos) : QRadioButton::hitButton(pos);
}

void OptionButton::paintEvent(QPaintEvent *event)
{
    if (!wraps()) {
        QRadioButton::paintEvent(event);
        return;
    }
    // The style draws the indicator and the focus; the caption goes beside it in lines.
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    QStylePainter painter(this);
    painter.drawControl(QStyle::CE_RadioButton, option);
    painter.drawItemText(captionRoom(), kWrapFlags, palette(), isEnabled(), text(), QPalette::WindowText);
}

void OptionButton::growToCaption()
{
    const int needed = sizeHint().height();
    if (needed > height())
        resize(width(), needed);
}

void OptionButton::resizeEvent(QResizeEvent *event)
{
    QRadioButton::resizeEvent(event);
    growToCaption();
}

void OptionButton::changeEvent(QEvent *event)
{
    QRadioButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        growToCaption();
}
