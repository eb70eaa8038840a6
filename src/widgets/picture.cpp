#include "widgets/picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The real picture is a few kB; anything much larger is not what belongs beside the program.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
// A picture box is a few hundred pixels. Declared sizes are checked before decoding because a
// progressive JPEG keeps every coefficient of the whole image however small it is decoded, and
// a 4:2:0 or greyscale one no less: about 6 bytes a pixel, 24 MB at this bound.
constexpr qint64 kMaxPixels = 4'000'000;
// What Qt may allocate for the decoded image, in MB: 16 MB at 32 bits a pixel for the largest.
constexpr int kAllocationLimitMb = 24;
// Ordinary progressive JPEGs have about ten scans. Each scan passes over the whole image, so
// thousands of tiny ones would keep the decoder busy for minutes.
constexpr qsizetype kMaxJpegScans = 100;

// The file's bytes if it is a regular file of a sensible size; else empty. Never blocks: a FIFO
// or a device in the picture's place is opened without waiting and refused.
QByteArray readRegularFile(const QString &path)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && info.st_size <= kMaxFileBytes) {
        bytes.resize(qsizetype(info.st_size));
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        bytes.truncate(got);
    }
    ::close(fd);
    return bytes;
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() > kMaxFileBytes)
        return {};
    return file.read(kMaxFileBytes);
#endif
}

// Told by the first bytes, not the name: only the formats the boxes are meant to show.
QByteArray formatOf(const QByteArray &bytes)
{
    if (bytes.startsWith(QByteArrayView("\xFF\xD8\xFF", 3)))
        return QByteArrayLiteral("jpeg");
    if (bytes.startsWith(QByteArrayView("\x89PNG\r\n\x1A\n", 8)))
        return QByteArrayLiteral("png");
    return {};
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
    QByteArray bytes = readRegularFile(path);
    const QByteArray format = formatOf(bytes);
    if (format.isEmpty())
        return {};
    // A marker byte cannot appear inside a JPEG's coded data, so this counts the scans.
    if (format == "jpeg" && bytes.count(QByteArrayView("\xFF\xDA", 2)) > kMaxJpegScans)
        return {};

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(kAllocationLimitMb);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {};
    if (qint64(size.width()) * size.height() > kMaxPixels) {
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
