#include "widgets/picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QtGlobal>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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
// Ordinary progressive JPEGs have about ten scans. Each scan passes over the whole image, so
// thousands of tiny ones would keep the decoder busy for minutes.
constexpr int kMaxJpegScans = 100;

// The file's bytes if it is a regular file of a sensible size; else empty. Never waits for a
// writer: a FIFO or a device in the picture's place is opened without blocking and refused.
QByteArray readRegularFile(const std::filesystem::path &path)
{
    if (path.empty())
        return {};
#ifdef Q_OS_UNIX
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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

// Moves the kept parts of a file to its front, so that dropping metadata needs no second copy.
class Compactor
{
public:
    explicit Compactor(QByteArray &bytes) : m_bytes(bytes), m_data(bytes.data()) {}
    void keep(qsizetype from, qsizetype length)
    {
        std::memmove(m_data + m_end, m_data + from, size_t(length));
        m_end += length;
    }
    void put(char a, char b)
    {
        m_data[m_end++] = a;
        m_data[m_end++] = b;
    }
    void finish()
    {
        m_bytes.truncate(m_end);
        m_bytes.squeeze();
    }

private:
    QByteArray &m_bytes;
    char *m_data;
    qsizetype m_end = 0;
};

quint8 byteAt(const QByteArray &bytes, qsizetype at)
{
    return quint8(bytes[at]);
}

int bigEndian16(const QByteArray &bytes, qsizetype at)
{
    return (byteAt(bytes, at) << 8) | byteAt(bytes, at + 1);
}

// The coefficient memory a multi-scan decode sets aside, from a frame header's payload.
qint64 coefficientBytes(const QByteArray &bytes, qsizetype payload, int length)
{
    if (length < 6)
        return 0;
    const qint64 height = bigEndian16(bytes, payload + 1);
    const qint64 width = bigEndian16(bytes, payload + 3);
    const int components = byteAt(bytes, payload + 5);
    if (length < 6 + 3 * components)
        return 0;
    int maxH = 1;
    int maxV = 1;
    for (int i = 0; i < components; ++i) {
        const quint8 sampling = byteAt(bytes, payload + 7 + 3 * i);
        maxH = std::max(maxH, sampling >> 4);
        maxV = std::max(maxV, sampling & 0x0F);
    }
    qint64 total = 0;
    for (int i = 0; i < components; ++i) {
        const quint8 sampling = byteAt(bytes, payload + 7 + 3 * i);
        const qint64 columns = (width * std::max(1, sampling >> 4) + 8 * maxH - 1) / (8 * maxH);
        const qint64 rows = (height * std::max(1, sampling & 0x0F) + 8 * maxV - 1) / (8 * maxV);
        total += columns * rows * 128;
    }
    return total;
}

bool isRestart(quint8 marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// Walks the JPEG segment by segment, each skipped by its length, and keeps only what decoding
// needs: the comments and the application segments (Exif, thumbnails, profiles) go, the JFIF
// and Adobe ones, which say how to read the colours, stay. False for a JPEG whose decoding
// would take too much time or memory.
bool stripJpeg(QByteArray &bytes)
{
    const qsizetype size = bytes.size();
    Compactor out(bytes);
    out.put(char(0xFF), char(0xD8));
    qsizetype at = 2;
    int scans = 0;
    bool wholeImageBuffered = false;
    qint64 coefficients = 0;
    while (at < size) {
        // Stray bytes between segments are skipped, as the decoder does.
        while (at < size && byteAt(bytes, at) != 0xFF)
            ++at;
        while (at < size && byteAt(bytes, at) == 0xFF)
            ++at;
        if (at >= size)
            break;
        const quint8 marker = byteAt(bytes, at++);
        if (marker == 0xD9) {
            out.put(char(0xFF), char(marker));
            break;
        }
        if (isRestart(marker) || marker == 0x01) {
            out.put(char(0xFF), char(marker));
            continue;
        }
        if (at + 2 > size)
            break;
        const int length = bigEndian16(bytes, at);
        if (length < 2 || at + length > size)
            break;
        const bool metadata = marker == 0xFE || (marker >= 0xE1 && marker <= 0xED) || marker == 0xEF;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            wholeImageBuffered = wholeImageBuffered || (marker & 0x03) == 0x02;
            coefficients = coefficientBytes(bytes, at + 2, length - 2);
        }
        if (!metadata) {
            out.put(char(0xFF), char(marker));
            out.keep(at, length);
        }
        at += length;
        if (marker != 0xDA)
            continue;
        if (++scans > kMaxJpegScans)
            return false;
        // The coded data runs to the next marker; a zero after 0xFF and the restarts belong to it.
        const qsizetype data = at;
        while (at + 1 < size
               && !(byteAt(bytes, at) == 0xFF && byteAt(bytes, at + 1) != 0x00 && !isRestart(byteAt(bytes, at + 1))))
            ++at;
        if (at + 1 >= size)
            at = size;
        out.keep(data, at - data);
    }
    out.finish();
    return !((wholeImageBuffered || scans > 1) && coefficients > kMaxCoefficientBytes);
}

// Keeps every chunk but the texts and Exif, which Qt would otherwise hold several times over.
void stripPng(QByteArray &bytes)
{
    const qsizetype size = bytes.size();
    Compactor out(bytes);
    out.keep(0, 8);
    qsizetype at = 8;
    while (at + 12 <= size) {
        const quint32 length = (quint32(bigEndian16(bytes, at)) << 16) | quint32(bigEndian16(bytes, at + 2));
        const QByteArrayView type(bytes.constData() + at + 4, 4);
        if (length > quint32(size - at - 12))
            break;
        const qsizetype chunk = 12 + qsizetype(length);
        if (type != "tEXt" && type != "zTXt" && type != "iTXt" && type != "eXIf")
            out.keep(at, chunk);
        at += chunk;
        if (type == "IEND")
            break;
    }
    out.finish();
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
    const QString directory = QCoreApplication::applicationDirPath();
    if (!directory.isEmpty())
        folder = QDir(directory).filesystemPath();
#endif
    return folder.empty() ? folder : folder / "Ut1.jpg";
}

QByteArray readPicture(const std::filesystem::path &path)
{
    QByteArray bytes = readRegularFile(path);
    const QByteArray format = formatOf(bytes);
    if (format == "jpeg")
        return stripJpeg(bytes) ? bytes : QByteArray();
    if (format == "png") {
        stripPng(bytes);
        return bytes;
    }
    return {};
}

QImage decodePicture(const QByteArray &bytes, const QSize &box)
{
    const QByteArray format = formatOf(bytes);
    if (box.isEmpty() || format.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(kAllocationLimitMb);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {};
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

struct PictureLoader::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<QSize> sizes;
    // Cleared when the loader goes; the worker then stops at its next step.
    PictureLoader *owner = nullptr;
    // Until the file is read, the worker may wait on a file system that never answers.
    bool reading = true;
};

PictureLoader::PictureLoader(std::filesystem::path path, QObject *parent)
    : QObject(parent), m_path(std::move(path))
{
}

PictureLoader::~PictureLoader()
{
    if (!m_shared)
        return;
    bool reading = true;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->owner = nullptr;
        reading = m_shared->reading;
    }
    m_shared->wake.notify_all();
    // A worker that waits or decodes ends before the program does: a decode left running would
    // use Qt while the program is torn down. One still reading (a file system that never
    // answers) is left behind rather than hold up the end; it touches nothing of Qt's but bytes.
    if (reading)
        m_worker.detach();
    else
        m_worker.join();
}

void PictureLoader::fill(QLabel *box)
{
    const QSize size = box->size();
    for (const Answer &answer : std::as_const(m_answers)) {
        if (answer.size == size) {
            box->setPixmap(answer.pixmap);
            return;
        }
    }
    m_waiting.append(box);
    if (m_asked.contains(size))
        return;
    m_asked.append(size);
    if (!m_shared)
        start();
    if (!m_shared) {
        answer(size, {});
        return;
    }
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->sizes.push_back(size);
    }
    m_shared->wake.notify_one();
}

int PictureLoader::waiting() const
{
    return int(std::count_if(m_waiting.begin(), m_waiting.end(), [](const QPointer<QLabel> &box) { return !box.isNull(); }));
}

void PictureLoader::start()
{
    auto shared = std::make_shared<Shared>();
    shared->owner = this;
    try {
        m_worker = std::thread([shared, path = m_path] {
            const QByteArray bytes = readPicture(path);
            std::unique_lock lock(shared->mutex);
            shared->reading = false;
            for (;;) {
                shared->wake.wait(lock, [&] { return !shared->owner || !shared->sizes.empty(); });
                if (!shared->owner)
                    return;
                const QSize size = shared->sizes.front();
                shared->sizes.pop_front();
                lock.unlock();
                const QImage image = bytes.isEmpty() ? QImage() : decodePicture(bytes, size);
                lock.lock();
                if (!shared->owner)
                    return;
                // Posted while the loader cannot go; should it go before the event is handled,
                // Qt drops the event with it.
                PictureLoader *owner = shared->owner;
                QMetaObject::invokeMethod(owner, [owner, size, image] { owner->answer(size, image); },
                                          Qt::QueuedConnection);
            }
        });
    } catch (const std::system_error &) {
        return;
    }
    m_shared = std::move(shared);
}

void PictureLoader::answer(const QSize &size, const QImage &image)
{
    const QPixmap pixmap = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    m_answers.append({size, pixmap});
    for (qsizetype i = 0; i < m_waiting.size();) {
        QLabel *box = m_waiting.at(i);
        if (box && box->size() != size) {
            ++i;
            continue;
        }
        if (box)
            box->setPixmap(pixmap);
        m_waiting.removeAt(i);
    }
}
