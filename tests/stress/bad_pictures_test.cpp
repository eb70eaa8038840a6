// Whatever lies beside the program as its picture, the program starts, walks and ends normally,
// and no bad picture costs much more memory or time to the splash screen than the real one.
//
// The in-process tests write the picture beside their own executable, which has a folder of its
// own; the walks run the real program beside each picture of the same corpus.
#include "recording_sink.h"

#include "widgets/picture.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray segment(quint8 marker, const QByteArray &payload)
{
    QByteArray out;
    const int length = int(payload.size()) + 2;
    out.append(char(0xFF)).append(char(marker)).append(char(length >> 8)).append(char(length & 0xFF));
    return out + payload;
}

// A valid baseline JPEG of any size without encoding its pixels: one Huffman code per table,
// so every 8 x 8 block is two zero bits (no change of colour, end of block). 20000 x 20000 in
// three components is under 5 MB and decodes to a flat grey.
QByteArray flatJpeg(int width, int height)
{
    QByteArray frame;
    frame.append(char(8)).append(char(height >> 8)).append(char(height & 0xFF));
    frame.append(char(width >> 8)).append(char(width & 0xFF)).append(char(3));
    for (char component : {1, 2, 3})
        frame.append(component).append(char(0x11)).append(char(0));
    const QByteArray oneCode = QByteArray(1, char(1)) + QByteArray(15, char(0)) + QByteArray(1, char(0));
    QByteArray scan;
    scan.append(char(3));
    for (char component : {1, 2, 3})
        scan.append(component).append(char(0));
    scan.append(char(0)).append(char(63)).append(char(0));

    const qint64 blocks = 3 * qint64((width + 7) / 8) * ((height + 7) / 8);
    QByteArray jpeg("\xFF\xD8", 2);
    jpeg += segment(0xDB, QByteArray(1, char(0)) + QByteArray(64, char(1)));
    jpeg += segment(0xC0, frame);
    jpeg += segment(0xC4, QByteArray(1, char(0x00)) + oneCode);
    jpeg += segment(0xC4, QByteArray(1, char(0x10)) + oneCode);
    jpeg += segment(0xDA, scan);
    jpeg += QByteArray(qsizetype((blocks * 2 + 7) / 8), char(0));
    jpeg += QByteArray("\xFF\xD9", 2);
    return jpeg;
}

// A progressive JPEG's header and first scans (the DC coefficients, all zero): enough for the
// decoder to set aside room for every coefficient of the image, however few bytes follow. One
// sampling byte a component: 0x11 each for 4:4:4, 0x22 on the first for 4:2:0, one for grey.
QByteArray progressiveJpeg(int width, int height, const QByteArray &samplings, int scans = 1)
{
    QByteArray frame;
    frame.append(char(8)).append(char(height >> 8)).append(char(height & 0xFF));
    frame.append(char(width >> 8)).append(char(width & 0xFF)).append(char(samplings.size()));
    for (int i = 0; i < samplings.size(); ++i)
        frame.append(char(i + 1)).append(samplings[i]).append(char(0));
    const QByteArray oneCode = QByteArray(1, char(1)) + QByteArray(15, char(0)) + QByteArray(1, char(0));
    QByteArray scan;
    scan.append(char(samplings.size()));
    for (int i = 0; i < samplings.size(); ++i)
        scan.append(char(i + 1)).append(char(0));
    scan.append(char(0)).append(char(0)).append(char(0));

    QByteArray jpeg("\xFF\xD8", 2);
    jpeg += segment(0xDB, QByteArray(1, char(0)) + QByteArray(64, char(1)));
    jpeg += segment(0xC2, frame);
    jpeg += segment(0xC4, QByteArray(1, char(0x00)) + oneCode);
    for (int i = 0; i < scans; ++i)
        jpeg += segment(0xDA, scan) + QByteArray(400 / scans + 1, char(0));
    jpeg += QByteArray("\xFF\xD9", 2);
    return jpeg;
}

QByteArray bigEndian(quint32 number)
{
    return QByteArray(1, char(number >> 24)) + char(number >> 16) + char(number >> 8) + char(number);
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    return bigEndian(quint32(data.size())) + body
           + bigEndian(quint32(::crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()))));
}

// A text chunk before the end that takes the PNG to `bytes`.
QByteArray withText(const QByteArray &png, qsizetype bytes)
{
    const qsizetype text = bytes - png.size() - 12;
    return png.chopped(12) + pngChunk("tEXt", "Comment" + QByteArray(1, '\0') + QByteArray(text - 8, 'x')) + png.right(12);
}

// An interlaced 8-bit RGBA PNG of one colour, its seven passes written out.
QByteArray interlacedPng(int side)
{
    const QByteArray header = bigEndian(side) + bigEndian(side) + QByteArray("\x08\x06\x00\x00\x01", 5);
    QByteArray raw;
    const int passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    for (const auto &[x0, y0, dx, dy] : passes) {
        const int columns = (side - x0 + dx - 1) / dx;
        const int rows = (side - y0 + dy - 1) / dy;
        if (columns > 0)
            raw += (QByteArray(1, char(0)) + QByteArray(4 * columns, char(0x40))).repeated(rows);
    }
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", qCompress(raw).mid(4))
           + pngChunk("IEND", {});
}

// Comment segments after the start of the image, to `bytes` in all.
QByteArray withComments(const QByteArray &jpeg, qsizetype bytes)
{
    QByteArray comments;
    while (jpeg.size() + comments.size() + 4 < bytes)
        comments += segment(0xFE, QByteArray(std::min<qsizetype>(65000, bytes - jpeg.size() - comments.size() - 4), 'c'));
    return jpeg.left(2) + comments + jpeg.mid(2);
}

// An icon whose directory says 256 x 256 while the PNG inside is side x side.
QByteArray iconHoldingPng(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QByteArray png = encoded(image, "PNG");
    QByteArray icon("\0\0\1\0\1\0", 6);
    icon.append(char(0)).append(char(0)).append(char(0)).append(char(0));  // 256 x 256, no palette
    icon.append("\1\0\x20\0", 4);  // one plane, 32 bits a pixel
    for (const quint32 number : {quint32(png.size()), quint32(22)}) {
        for (int shift = 0; shift < 32; shift += 8)
            icon.append(char((number >> shift) & 0xFF));
    }
    return icon + png;
}

QByteArray realPicture()
{
    QFile file(QStringLiteral(TARNWICK_PICTURE));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What lies in the picture's place: nothing, a file with bytes, or something that is no file.
enum class Place { nothing, file, fifo, folder, linkToZero };

struct BadPicture {
    const char *name;
    Place place;
    QByteArray bytes;
    bool shown;  // whether the boxes show a picture
};

const char hugeJpeg[] = "20000 x 20000 JPEG";

const std::vector<BadPicture> &badPictures()
{
    static const std::vector<BadPicture> pictures = [] {
        const QByteArray real = realPicture();
        QImage smallImage(40, 30, QImage::Format_RGB32);
        smallImage.fill(Qt::darkCyan);
        const qsizetype fourMiB = 4 * 1024 * 1024;
        // Scans counted inside the Exif block would refuse the picture.
        const QByteArray exif = segment(0xE1, QByteArray("Exif\0\0", 6) + progressiveJpeg(64, 64, "\x11\x11\x11", 120));
        return std::vector<BadPicture>{
            {"missing", Place::nothing, {}, false},
            {"empty", Place::file, {}, false},
            {"garbage", Place::file, QByteArray("\x01\x02\x03 not a picture \xFF", 19), false},
            {"only the JPEG marker", Place::file, QByteArray("\xFF\xD8\xFF", 3), false},
            {"truncated JPEG", Place::file, real.left(real.size() / 3), true},
            {"PNG named .jpg", Place::file, encoded(smallImage, "PNG"), true},
            {"progressive JPEG 64 x 64", Place::file, progressiveJpeg(64, 64, "\x11\x11\x11"), true},
            {"link to /dev/zero", Place::linkToZero, {}, false},
            {"folder", Place::folder, {}, false},
            {"FIFO", Place::fifo, {}, false},
            {"progressive JPEG 16000 x 16000", Place::file, progressiveJpeg(16000, 16000, "\x11\x11\x11"), false},
            {"progressive 4:2:0 JPEG 16000 x 16000", Place::file, progressiveJpeg(16000, 16000, "\x22\x11\x11"),
             false},
            {"progressive grey JPEG 16000 x 16000", Place::file, progressiveJpeg(16000, 16000, "\x11"), false},
            {"progressive JPEG in 200 scans", Place::file, progressiveJpeg(64, 64, "\x11\x11\x11", 200), false},
            {"icon holding a 5600 x 5600 PNG", Place::file, iconHoldingPng(5600), false},
            {hugeJpeg, Place::file, flatJpeg(20000, 20000), false},
            {"interlaced PNG 2000 x 2000 in 4 MiB of text", Place::file, withText(interlacedPng(2000), fourMiB), true},
            {"progressive JPEG 2000 x 2000 in 4 MiB of comments", Place::file,
             withComments(progressiveJpeg(2000, 2000, "\x22\x11\x11"), fourMiB), true},
            {"PNG 64 x 64 with 3.9 MB of text", Place::file, withText(encoded(smallImage.scaled(64, 64), "PNG"), 3'900'000), true},
            {"progressive JPEG 2000 x 2000", Place::file, progressiveJpeg(2000, 2000, "\x22\x11\x11"), true},
            {"Exif thumbnail in 120 scans", Place::file, real.left(20) + exif + real.mid(20), true},
        };
    }();
    return pictures;
}

const BadPicture &badPicture(const char *name)
{
    for (const BadPicture &picture : badPictures()) {
        if (std::strcmp(picture.name, name) == 0)
            return picture;
    }
    std::abort();
}

void removePicture(const QString &path)
{
    if (!QFile::remove(path))
        QDir().rmdir(path);
}

void placePicture(const QString &path, const BadPicture &picture)
{
    removePicture(path);
    const QByteArray name = QFile::encodeName(path);
    switch (picture.place) {
    case Place::nothing:
        return;
    case Place::fifo:
        ASSERT_EQ(::mkfifo(name.constData(), 0600), 0);
        return;
    case Place::folder:
        ASSERT_TRUE(QDir().mkdir(path));
        return;
    case Place::linkToZero:
        ASSERT_EQ(::symlink("/dev/zero", name.constData()), 0);
        return;
    case Place::file:
        break;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(picture.bytes), picture.bytes.size());
}

QString ownPicture() { return QFile::decodeName(picturePath().c_str()); }

class BadPictures : public ScreensTest
{
protected:
    void TearDown() override
    {
        ScreensTest::TearDown();
        removePicture(ownPicture());
    }

    // Once the picture's answer has come in.
    bool boxShows(const QString &screenName, const QString &box)
    {
        auto *loader = screens().findChild<PictureLoader *>();
        EXPECT_TRUE(QTest::qWaitFor([loader] { return loader->waiting() == 0; }, 20000));
        auto *label = control<QLabel>(screenName, box);
        return label && !label->pixmap().isNull();
    }
};

// A navigator of its own for each picture, which it reads afresh: the picture is in place first.
class EveryBadPicture : public BadPictures, public ::testing::WithParamInterface<size_t>
{
protected:
    void SetUp() override
    {
        placePicture(ownPicture(), badPictures().at(GetParam()));
        BadPictures::SetUp();
    }
};

// The corpus holds what its names say, as the decoder sees it; else its rows prove nothing.
TEST_F(BadPictures, TheHugePicturesAreWhatTheyClaim)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.jpg"));
    placePicture(path, badPicture(hugeJpeg));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(20000, 20000));
    // Decodable: small enough when libjpeg reduces it, as it would for a box of 2500 pixels.
    reader.setScaledSize(QSize(2500, 2500));
    EXPECT_FALSE(reader.read().isNull()) << reader.errorString().toStdString();

    struct Declared {
        const char *name;
        int width;
    };
    for (const Declared &declared : {Declared{"progressive JPEG 16000 x 16000", 16000},
                                     Declared{"progressive 4:2:0 JPEG 16000 x 16000", 16000},
                                     Declared{"progressive grey JPEG 16000 x 16000", 16000},
                                     Declared{"progressive JPEG in 200 scans", 64}}) {
        SCOPED_TRACE(declared.name);
        QByteArray bytes = badPicture(declared.name).bytes;
        EXPECT_LT(bytes.size(), 4096) << "a few bytes declare it all";
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader progressive(&buffer);
        EXPECT_EQ(progressive.format(), QByteArray("jpeg"));
        EXPECT_EQ(progressive.size(), QSize(declared.width, declared.width));
    }
    QByteArray icon = badPicture("icon holding a 5600 x 5600 PNG").bytes;
    QBuffer buffer(&icon);
    buffer.open(QIODevice::ReadOnly);
    QImageReader iconReader(&buffer);
    EXPECT_EQ(iconReader.format(), QByteArray("ico")) << "Qt tells an icon by its content";
    QByteArray png = icon.mid(22);
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(QImageReader(&pngBuffer, "png").size(), QSize(5600, 5600));
}

TEST_P(EveryBadPicture, EveryScreenLoadsAndTheWalkEndsNormally)
{
    const QString start = QStringLiteral("frmStart");
    {
        const BadPicture &picture = badPictures().at(GetParam());
        SCOPED_TRACE(picture.name);
        ends = 0;

        QWidget *splash = screens().show(QStringLiteral("frmSplash"));
        ASSERT_NE(splash, nullptr);
        EXPECT_EQ(boxShows(QStringLiteral("frmSplash"), QStringLiteral("imgLogo")), picture.shown);
        QTest::keyClick(splash, Qt::Key_Space);
        ASSERT_NE(screen(start), nullptr);
        EXPECT_EQ(boxShows(start, QStringLiteral("Image1")), picture.shown);

        control<QComboBox>(start, QStringLiteral("Combo1"))->setCurrentIndex(2);
        control<QPushButton>(start, QStringLiteral("cmdOK"))->click();
        settle();
        ASSERT_EQ(screens().loadedNames(), (QStringList{start, QStringLiteral("frmAmPrm1")}));
        control<QPushButton>(QStringLiteral("frmAmPrm1"), QStringLiteral("cmdExit"))->click();
        settle();
        EXPECT_TRUE(screens().loadedNames().isEmpty());
        EXPECT_EQ(ends, 1);
    }
}
INSTANTIATE_TEST_SUITE_P(Corpus, EveryBadPicture, ::testing::Range(size_t(0), badPictures().size()));

// The corpus, the real picture first, written for the walk that runs the real program on each
// (tests/e2e/test_walks.py): a folder apiece, and their names in order in "names".
TEST(BadPictureCorpus, IsWrittenForTheRealProgram)
{
    const QString to = qEnvironmentVariable("TARNWICK_BAD_PICTURES_TO");
    if (to.isEmpty())
        GTEST_SKIP() << "written only for the real program's walk";
    QFile names(to + QStringLiteral("/names"));
    ASSERT_TRUE(names.open(QIODevice::WriteOnly));
    std::vector<BadPicture> corpus{{"real", Place::file, realPicture(), true}};
    corpus.insert(corpus.end(), badPictures().begin(), badPictures().end());
    for (size_t i = 0; i < corpus.size(); ++i) {
        ASSERT_TRUE(QDir(to).mkdir(QString::number(i)));
        placePicture(QStringLiteral("%1/%2/Ut1.jpg").arg(to).arg(i), corpus[i]);
        names.write(QByteArray(corpus[i].name) + '\n');
    }
}

} // namespace
