#include "widgets/app_icon.h"

QIcon appIcon()
{
    // Made once and shared by every window: each icon of its own would leave its pixmaps in Qt's
    // pixmap cache when its window goes, about 5 kB a window up to the cache's 10 MB.
    static const QIcon icon = [] {
        QIcon made;
        made.addFile(QStringLiteral(":/icons/tarnwick-16.png"), QSize(16, 16));
        made.addFile(QStringLiteral(":/icons/tarnwick-32.png"), QSize(32, 32));
        return made;
    }();
    return icon;
}
