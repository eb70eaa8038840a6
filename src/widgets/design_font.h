// Fonts by the names, point sizes and weights the screens were designed with.
#pragma once

#include <QFont>
#include <QString>

QFont designFont(const QString &family, qreal points, bool bold);
