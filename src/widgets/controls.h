// The controls the screens are built from, placed in twips as designed.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

inline const QColor kCyan(0, 255, 255);
inline const QColor kBlue(0, 0, 255);
inline const QColor kRed(255, 0, 0);

void setBackground(QWidget *widget, const QColor &colour);
void setTextColour(QWidget *widget, const QColor &colour);

// A command button: Enter presses it while it has the focus; it is never a default or
// cancel button. A screen reader names it by its caption without the access-key marker.
QPushButton *addButton(QWidget *parent, const QString &name, const QString &caption,
                       int left, int top, int width, int height, const QString &toolTip = {});

QLabel *addLabel(QWidget *parent, const QString &name, const QString &text,
                 int left, int top, int width, int height, const QFont &font);

// A word-wrapped label whose text needs more lines than its designed box holds grows down,
// so no line is cut off where the available fonts run wider than the design's.
void growToText(QLabel *label);
