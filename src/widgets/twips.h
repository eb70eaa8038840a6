// Places and sizes are designed in twips (1/1440 inch); one logical pixel is 15 twips.
#pragma once

#include <QRect>
#include <QtMath>

inline constexpr double kTwipsPerPixel = 15.0;

inline int px(double twips)
{
    return qRound(twips / kTwipsPerPixel);
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}
