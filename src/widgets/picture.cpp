#include "widgets/picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// The real picture is a few kB; anything much larger is not what belongs beside the program.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
// A picture box is a few hundred pixels; a PNG is decoded whole before it is scaled down.
constexpr qint64 kMaxPixels = 4'000'000;
// What Qt may allocate for the decoded image, in MB: 16 MB at 32 bits a pixel for the largest.
constexpr int kAllocationLimitMb = 24;
// A progressive or multi-scan JPEG keeps every coefficient of the whole image however small it
// is decoded: 128 bytes an 8 x 8 block. This lets through a 4:2:0 picture of 4 megapixels.
constexpr qint64 kMaxCoefficientBytes = 12 * 1024 * 1024;
// Ordinary progressive JPEGs have about ten scans; thousands would keep the decoder busy for minutes.
constexpr int kMaxJpegScans = 100;

// The file's bytes if it is a regular file of a sensible size; else empty. Never waits for a
// writer: a FIFO or a device in the picture's place is opened without blocking and refused.
QByteArray readRegularFile(const std::filesystem::path &path)
{
    QFile file(path);
#ifdef Q_OS_UNIX
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        ::close(fd);
#else
    file.open(QIODevice::ReadOnly);
#endif
    if (!file.isOpen() || file.isSequential() || file.size() > kMaxFileBytes)
        return {};
    return file.read(kMaxFileBytes);
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

// A segment or chunk of the file, as the format's walk finds it; a length of 0 ends the walk.
struct Piece {
    qsizetype from, length;
    bool kept, last;
};

// Moves the pieces kept to the front in place, so that dropping metadata needs no second copy.
void keepPieces(QByteArray &bytes, qsizetype signature, const auto &next)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.data());
    qsizetype end = signature;
    for (qsizetype at = signature; at < bytes.size();) {
        const Piece piece = next(data, bytes.size(), at);
        if (piece.length == 0)
            break;
        if (piece.kept) {
            std::memmove(bytes.data() + end, bytes.constData() + piece.from, size_t(piece.length));
            end += piece.length;
        }
        if (piece.last)
            break;
        at = piece.from + piece.length;
    }
    bytes.truncate(end);
    bytes.squeeze();
}

// The coefficient memory a multi-scan decode sets aside, two bytes a sample, from a frame header.
qint64 coefficientBytes(const uchar *frame, int length)
{
    const int components = length < 6 ? 0 : frame[5];
    if (length < 6 + 3 * components)
        return 0;
    int maxH = 1;
    int maxV = 1;
    int blocksPerMcu = 0;
    for (int i = 0; i < components; ++i) {
        const int h = frame[7 + 3 * i] >> 4;
        const int v = frame[7 + 3 * i] & 0x0F;
        maxH = std::max(maxH, h);
        maxV = std::max(maxV, v);
        blocksPerMcu += h * v;
    }
    const qint64 pixels = qint64(qFromBigEndian<quint16>(frame + 1)) * qFromBigEndian<quint16>(frame + 3);
    return 2 * pixels * blocksPerMcu / (maxH * maxV);
}

// Drops comments and application segments (Exif, thumbnails, profiles) but the JFIF and Adobe ones,
// which say how to read the colours. False for a JPEG whose decoding would take too much time or memory.
bool stripJpeg(QByteArray &bytes)
{
    const auto isRestart = [](uchar marker) { return marker >= 0xD0 && marker <= 0xD7; };
    int scans = 0;
    bool progressive = false;
    qint64 coefficients = 0;
    keepPieces(bytes, 2, [&](const uchar *data, qsizetype size, qsizetype at) -> Piece {
        // Stray bytes before a marker, and the fill bytes of it, are skipped, as the decoder does.
        while (at < size && data[at] != 0xFF)
            ++at;
        while (at + 1 < size && data[at + 1] == 0xFF)
            ++at;
        if (at + 1 >= size)
            return {};
        const uchar marker = data[at + 1];
        if (marker == 0xD9 || marker == 0x01 || isRestart(marker))
            return {at, 2, true, marker == 0xD9};
        const int length = at + 4 <= size ? qFromBigEndian<quint16>(data + at + 2) : 0;
        qsizetype end = at + 2 + length;
        if (length < 2 || end > size)
            return {};
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            progressive = progressive || (marker & 0x03) == 0x02;
            coefficients = coefficientBytes(data + at + 4, length - 2);
        }
        if (marker == 0xDA) {
            if (++scans > kMaxJpegScans)
                return {};
            // The coded data runs to the next marker; a zero after 0xFF and the restarts belong to it.
            while (end < size && !(end + 1 < size && data[end] == 0xFF && data[end + 1] && !isRestart(data[end + 1])))
                ++end;
        }
        return {at, end - at, !(marker == 0xFE || (marker >= 0xE1 && marker <= 0xED) || marker == 0xEF), false};
    });
    return scans <= kMaxJpegScans && !((progressive || scans > 1) && coefficients > kMaxCoefficientBytes);
}

// Keeps every chunk but the texts and Exif, which Qt would otherwise hold several times over.
void stripPng(QByteArray &bytes)
{
    keepPieces(bytes, 8, [](const uchar *data, qsizetype size, qsizetype at) -> Piece {
        const quint32 length = at + 12 <= size ? qFromBigEndian<quint32>(data + at) : 0;
        if (at + 12 > size || length > quint32(size - at - 12))
            return {};
        const QByteArrayView type(data + at + 4, 4);
        const bool text = type == "tEXt" || type == "zTXt" || type == "iTXt" || type == "eXIf";
        return {at, 12 + qsizetype(length), !text, type == "IEND"};
    });
}

// The picture's bytes without metadata, or nothing if it is not to be shown.
QByteArray readPicture(const std::filesystem::path &path)
{
    QByteArray bytes = readRegularFile(path);
    const QByteArray format = formatOf(bytes);
    if (format == "png")
        stripPng(bytes);
    else if (format != "jpeg" || !stripJpeg(bytes))
        return {};
    return bytes;
}

QImage decodePicture(QByteArray bytes, const QSize &box)
{
    const QByteArray format = formatOf(bytes);
    if (box.isEmpty() || format.isEmpty())
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(kAllocationLimitMb);
    const QSize size = reader.size();
    if (qint64(size.width()) * size.height() > kMaxPixels) {
        qWarning("a picture of %d x %d pixels is too large to show", size.width(), size.height());
        return {};
    }
    // The JPEG decoder reduces while it decodes; a PNG comes whole, and is scaled down here.
    if (format == "jpeg")
        reader.setScaledSize(box);
    QImage image = reader.read();
    if (image.isNull() || image.size() == box)
        return image;
    // Smooth scaling works on premultiplied pixels: converted in place, not in a second copy.
    if (image.format() == QImage::Format_ARGB32)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

std::filesystem::path picturePath()
{
    std::filesystem::path folder;
#ifdef Q_OS_LINUX
    // The kernel's own name for the executable, byte for byte: a folder whose name is not UTF-8
    // does not survive a trip through QString.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && program.is_absolute())
        folder = program.parent_path();
#else
    if (const QString directory = QCoreApplication::applicationDirPath(); !directory.isEmpty())
        folder = QDir(directory).filesystemPath();
#endif
    return folder.empty() ? folder : folder / "Ut1.jpg";
}

QImage loadStretchedPicture(const std::filesystem::path &path, const QSize &box)
{
    return decodePicture(readPicture(path), box);
}

struct PictureLoader::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    QList<QSize> sizes;
    // Cleared when the loader goes; the worker then stops at its next step.
    PictureLoader *owner = nullptr;
    // Until the file is read, the worker may wait on a file system that never answers.
    bool reading = true;
};

PictureLoader::PictureLoader(std::filesystem::path path, QObject *parent) : QObject(parent)
{
    m_shared = std::make_shared<Shared>();
    m_shared->owner = this;
    // A thread of Qt's own: on Windows Qt watches a thread it did not start from one more thread,
    // which would clean up after this one while the program is torn down.
    m_worker = QThread::create([shared = m_shared, path = std::move(path)] {
        const QByteArray bytes = readPicture(path);
        std::unique_lock lock(shared->mutex);
        shared->reading = false;
        for (;;) {
            shared->wake.wait(lock, [&] { return !shared->owner || !shared->sizes.empty(); });
            if (!shared->owner)
                return;
            const QSize size = shared->sizes.takeFirst();
            lock.unlock();
            const QImage image = decodePicture(bytes, size);
            lock.lock();
            // Posted while the loader cannot go; should it go before the event is handled,
            // Qt drops the event with it.
            if (PictureLoader *owner = shared->owner)
                QMetaObject::invokeMethod(owner, [owner, image] { owner->answer(image); }, Qt::QueuedConnection);
        }
    });
    m_worker->start();
    if (!m_worker->isRunning()) {
        delete m_worker;
        m_worker = nullptr;
        m_shared.reset();
    }
}

PictureLoader::~PictureLoader()
{
    if (!m_shared)
        return;
    std::unique_lock lock(m_shared->mutex);
    m_shared->owner = nullptr;
    const bool reading = m_shared->reading;
    lock.unlock();
    m_shared->wake.notify_all();
    // A decode left running would use Qt while the program is torn down, so the worker is waited for;
    // one still reading (a file system that never answers) is left behind, and goes when it is done.
    if (reading) {
        connect(m_worker, &QThread::finished, m_worker, &QObject::deleteLater);
        return;
    }
    m_worker->wait();
    delete m_worker;
}

void PictureLoader::fill(QLabel *box)
{
    m_waiting.append(box);
    if (!m_shared)
        return answer({});
    const std::lock_guard lock(m_shared->mutex);
    m_shared->sizes.push_back(box->size());
    m_shared->wake.notify_one();
}

int PictureLoader::waiting() const
{
    return int(m_waiting.size() - m_waiting.count(nullptr));
}

void PictureLoader::answer(const QImage &image)
{
    if (const QPointer<QLabel> box = m_waiting.takeFirst())
        box->setPixmap(QPixmap::fromImage(image));
}
