// Fonts by the names, point sizes and weights the screens were designed with.
#pragma once

#include <QFont>
#include <QString>

QFont designFont(const QString &family, qreal points, bool bold);

// Maps the design fonts onto metric-compatible ones where the originals are missing,
// and makes the design's default font the application's.
void installDesignFonts();
