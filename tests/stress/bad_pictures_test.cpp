// Whatever lies beside the program as its picture, the program starts, walks and ends normally,
// and a huge picture costs no more memory than the real one.
//
// The in-process tests write the picture beside their own executable, which has a folder of its
// own; the RealProgram tests copy the program into a folder with the picture and drive it on an
// X display through xdotool.
#include "recording_sink.h"

#include "widgets/picture.h"

#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <map>

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

QByteArray realPicture()
{
    QFile file(QStringLiteral(TARNWICK_PICTURE));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct BadPicture {
    const char *name;
    bool present;
    QByteArray bytes;
    bool shown;  // whether the boxes show a picture
};

std::vector<BadPicture> badPictures()
{
    const QByteArray real = realPicture();
    QImage smallImage(40, 30, QImage::Format_RGB32);
    smallImage.fill(Qt::darkCyan);
    return {
        {"missing", false, {}, false},
        {"empty", true, {}, false},
        {"garbage", true, QByteArray("\x01\x02\x03 not a picture \xFF", 19), false},
        {"only the JPEG marker", true, QByteArray("\xFF\xD8\xFF", 3), false},
        {"truncated JPEG", true, real.left(real.size() / 3), true},
        {"PNG named .jpg", true, encoded(smallImage, "PNG"), true},
        {"20000 x 20000 JPEG", true, flatJpeg(20000, 20000), false},
    };
}

void placePicture(const QString &path, const BadPicture &picture)
{
    QFile::remove(path);
    if (!picture.present)
        return;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(picture.bytes), picture.bytes.size());
}

class BadPictures : public ScreensTest
{
protected:
    void TearDown() override
    {
        ScreensTest::TearDown();
        QFile::remove(picturePath());
    }

    bool boxShows(const QString &screenName, const QString &box) const
    {
        auto *label = control<QLabel>(screenName, box);
        return label && !label->pixmap().isNull();
    }
};

TEST_F(BadPictures, TheHugeJpegIsWhatItClaims)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.jpg"));
    placePicture(path, badPictures().back());
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(20000, 20000));
    // Decodable: small enough when libjpeg reduces it, as it would for a box of 2500 pixels.
    reader.setScaledSize(QSize(2500, 2500));
    EXPECT_FALSE(reader.read().isNull()) << reader.errorString().toStdString();
}

TEST_F(BadPictures, EveryScreenLoadsAndTheWalkEndsNormally)
{
    const QString start = QStringLiteral("frmStart");
    for (const BadPicture &picture : badPictures()) {
        SCOPED_TRACE(picture.name);
        placePicture(picturePath(), picture);
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
        EXPECT_EQ(screens().count(), 0);
        EXPECT_EQ(ends, 1);
    }
}

// ---- The real program, on an X display ----

class RealProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Only on a display of its own: the windows would otherwise open on the user's desktop.
        if (qEnvironmentVariableIsEmpty("TARNWICK_VIRTUAL_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs a virtual X display: ctest starts an Xvfb of its own for it";
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "xdotool is missing";
    }

    static QString xdotool(const QStringList &arguments, int timeoutMs = 15000)
    {
        QProcess tool;
        tool.start(QStringLiteral("xdotool"), arguments);
        if (!tool.waitForFinished(timeoutMs)) {
            tool.kill();
            tool.waitForFinished();
            return {};
        }
        return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
    }

    // The program's first window that is mapped and carries the title; empty if none comes.
    static QString waitForWindow(qint64 pid, const QString &title)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 15000) {
            QStringList arguments{QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                  QString::number(pid)};
            if (!title.isNull())
                arguments << QStringLiteral("--name") << QStringLiteral("^%1$").arg(title);
            const QString found = xdotool(arguments).section(QLatin1Char('\n'), 0, 0);
            if (!found.isEmpty())
                return found;
            QThread::msleep(50);
        }
        return {};
    }

    static void keys(const QString &window, const QStringList &sequence)
    {
        xdotool({QStringLiteral("windowfocus"), window});
        for (const QString &key : sequence)
            xdotool({QStringLiteral("key"), key});
    }

    static qint64 peakMemoryKb(qint64 pid)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
        return -1;
    }

    // Starts a copy of the program beside the picture, leaves the splash screen with a key,
    // opens the tree's first question and exits there. Returns the peak memory in kB.
    qint64 walk(const BadPicture &picture)
    {
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("tarnwick"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(TARNWICK_PROGRAM), program));
        placePicture(folder.filePath(QStringLiteral("Ut1.jpg")), picture);

        QProcess tarnwick;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("QT_QPA_FONTDIR"));
        environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
        tarnwick.setProcessEnvironment(environment);
        tarnwick.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tarnwick.start(program, {});
        if (!tarnwick.waitForStarted()) {
            ADD_FAILURE() << "the program does not start";
            return -1;
        }
        const qint64 pid = tarnwick.processId();
        qint64 peak = -1;
        [&] {
            const QString splash = waitForWindow(pid, QString());
            ASSERT_FALSE(splash.isEmpty()) << "no splash window";
            keys(splash, {QStringLiteral("space")});
            const QString topics = waitForWindow(pid, QStringLiteral("Quillmoor"));
            ASSERT_FALSE(topics.isEmpty()) << "no topic screen after a key on the splash screen";
            // From OK to the list, down to "Amenorrhea, primary", back to OK, and press it.
            keys(topics, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                          QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
                          QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab"),
                          QStringLiteral("shift+Tab"), QStringLiteral("Return")});
            const QString question = waitForWindow(pid, QStringLiteral("Primary Amenorrhea"));
            ASSERT_FALSE(question.isEmpty()) << "the tree's first question does not open";
            peak = peakMemoryKb(pid);
            keys(question, {QStringLiteral("alt+e")});
            EXPECT_TRUE(tarnwick.waitForFinished(15000)) << "the program does not end on Exit";
        }();
        if (tarnwick.state() != QProcess::NotRunning) {
            tarnwick.kill();
            tarnwick.waitForFinished();
            return -1;
        }
        EXPECT_EQ(tarnwick.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tarnwick.exitCode(), 0);
        return peak;
    }
};

TEST_F(RealProgram, StartsWalksAndEndsWithEveryBadPicture)
{
    std::map<std::string, qint64> peaks;
    for (const BadPicture &picture : badPictures()) {
        SCOPED_TRACE(picture.name);
        peaks[picture.name] = walk(picture);
    }
    const BadPicture real{"real", true, realPicture(), true};
    const qint64 realPeak = walk(real);
    const qint64 hugePeak = peaks["20000 x 20000 JPEG"];
    ASSERT_GT(realPeak, 0);
    ASSERT_GT(hugePeak, 0);
    EXPECT_LE(double(hugePeak), 1.5 * double(realPeak))
        << "peak memory " << hugePeak << " kB with the huge picture, " << realPeak << " kB with the real one";
    std::printf("peak memory: %lld kB with the real picture, %lld kB with the 20000 x 20000 one\n",
                static_cast<long long>(realPeak), static_cast<long long>(hugePeak));
}

} // namespace
