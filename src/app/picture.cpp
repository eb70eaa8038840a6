#include "picture.h"

#include <QCoreApplication>
#include <QImageReader>

QString picturePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Ut1.jpg");
}

QPixmap loadStretchedPicture(const QString &path, const QSize &box)
{
    if (box.isEmpty())
        return {};
    QImageReader reader(path);
    if (!reader.size().isValid())
        return {};
    reader.setScaledSize(box);
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    // Handlers that cannot decode at a reduced size hand back the full image.
    return QPixmap::fromImage(image.size() == box
                                  ? image
                                  : image.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}
