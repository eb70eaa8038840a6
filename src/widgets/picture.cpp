#include "widgets/picture.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QtGlobal>

namespace {

// A picture box is a few hundred pixels; decoding more than this would cost memory and start-up
// time out of all proportion to what is shown (16 MB at 32 bits a pixel).
constexpr qint64 kMaxDecodedPixels = 4'000'000;

// The JPEG decoder shrinks by up to 8 on each side while decoding; other formats decode whole.
qint64 leastDecodedPixels(const QImageReader &reader, const QSize &size)
{
    const int shrink = reader.format() == "jpeg" ? 8 : 1;
    return qint64((size.width() + shrink - 1) / shrink) * ((size.height() + shrink - 1) / shrink);
}

} // namespace

QString picturePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Ut1.jpg");
}

QPixmap loadStretchedPicture(const QString &path, const QSize &box)
{
    if (box.isEmpty())
        return {};
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {};
    if (leastDecodedPixels(reader, size) > kMaxDecodedPixels) {
        qWarning("%s: a picture of %d x %d pixels is too large to show", qPrintable(path), size.width(),
                 size.height());
        return {};
    }
    reader.setScaledSize(box);
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    // Handlers that cannot decode at a reduced size hand back the full image.
    return QPixmap::fromImage(image.size() == box
                                  ? image
                                  : image.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}
