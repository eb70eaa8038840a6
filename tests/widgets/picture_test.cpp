// A bad picture file leaves the box empty; one of a few megapixels is decoded at the box's size.
#include "widgets/picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Picture : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray encoded(const QSize &size, const char *format)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }

    QTemporaryDir dir;
    const QSize box{121, 159};
};

TEST_F(Picture, BadFilesGiveAnEmptyBox)
{
    const QByteArray jpeg = encoded({64, 64}, "JPG");
    const QString paths[] = {
        dir.filePath(QStringLiteral("missing.jpg")),
        write(QStringLiteral("empty.jpg"), {}),
        write(QStringLiteral("garbage.jpg"), QByteArray("\x01\x02not a picture", 15)),
        write(QStringLiteral("truncated.jpg"), jpeg.left(20)),
        dir.path(),
    };
    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(loadStretchedPicture(path, box).isNull());
    }
}

TEST_F(Picture, IsStretchedToTheBox)
{
    const QString jpeg = write(QStringLiteral("Ut1.jpg"), encoded({390, 420}, "JPG"));
    EXPECT_EQ(loadStretchedPicture(jpeg, box).size(), box);
    const QString png = write(QStringLiteral("png.jpg"), encoded({30, 500}, "PNG"));
    EXPECT_EQ(loadStretchedPicture(png, box).size(), box);
    EXPECT_TRUE(loadStretchedPicture(jpeg, QSize()).isNull());
}

TEST_F(Picture, APictureOfAFewMegapixelsComesOutAtTheBoxSize)
{
    const QString big = write(QStringLiteral("big.jpg"), encoded({2400, 1600}, "JPG"));
    EXPECT_EQ(loadStretchedPicture(big, box).size(), box);
    const QString bigPng = write(QStringLiteral("big.png"), encoded({1600, 2400}, "PNG"));
    EXPECT_EQ(loadStretchedPicture(bigPng, box).size(), box);
}

TEST_F(Picture, LargerPicturesAndOtherFormatsAreRefused)
{
    const QString paths[] = {
        write(QStringLiteral("photo.jpg"), encoded({4000, 3000}, "JPG")),
        write(QStringLiteral("tall.png"), encoded({200, 20001}, "PNG")),
        write(QStringLiteral("bmp.jpg"), encoded({40, 30}, "BMP")),
        write(QStringLiteral("gif.jpg"), QByteArray("GIF89a\x28\x00\x1e\x00", 10)),
    };
    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(loadStretchedPicture(path, box).isNull());
    }
}

} // namespace
