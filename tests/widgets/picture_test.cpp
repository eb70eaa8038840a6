// A bad picture file leaves the box empty; a large one is decoded at the box's size.
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

TEST_F(Picture, ALargePictureComesOutAtTheBoxSize)
{
    const QString big = write(QStringLiteral("big.jpg"), encoded({4000, 3000}, "JPG"));
    const QPixmap pixmap = loadStretchedPicture(big, box);
    EXPECT_EQ(pixmap.size(), box);
}

} // namespace
