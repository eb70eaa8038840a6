#include "widgets/app_icon.h"

QIcon appIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tarnwick-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/tarnwick-32.png"), QSize(32, 32));
    return icon;
}
