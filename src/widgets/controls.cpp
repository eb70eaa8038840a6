#include "widgets/controls.h"

#include "widgets/twips.h"

#include <QLabel>
#include <QPushButton>

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QPushButton *addButton(QWidget *parent, const QString &name, const QString &caption,
                       int left, int top, int width, int height, const QString &toolTip)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(twipsRect(left, top, width, height));
    button->setToolTip(toolTip);
    // Outside a dialog a push button ignores Enter unless it is auto-default.
    button->setAutoDefault(true);
    return button;
}

QLabel *addLabel(QWidget *parent, const QString &name, const QString &text,
                 int left, int top, int width, int height, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setGeometry(twipsRect(left, top, width, height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void growToText(QLabel *label)
{
    const int needed = label->heightForWidth(label->width());
    if (needed > label->height())
        label->resize(label->width(), needed);
}
