// A bad picture file leaves the box empty; one of a few megapixels is decoded at the box's size.
#include "widgets/picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Picture : public ::testing::Test
{
protected:
    std::filesystem::path write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return native(path);
    }

    static std::filesystem::path native(const QString &path) { return QFile::encodeName(path).toStdString(); }

    static QByteArray encoded(const QSize &size, const char *format, const QString &text = {})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        if (!text.isEmpty())
            image.setText(QStringLiteral("Comment"), text);
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
    const std::filesystem::path paths[] = {
        native(dir.filePath(QStringLiteral("missing.jpg"))),
        write(QStringLiteral("empty.jpg"), {}),
        write(QStringLiteral("garbage.jpg"), QByteArray("\x01\x02not a picture", 15)),
        write(QStringLiteral("truncated.jpg"), jpeg.left(20)),
        native(dir.path()),
        {},
    };
    for (const std::filesystem::path &path : paths) {
        SCOPED_TRACE(path.string());
        EXPECT_TRUE(loadStretchedPicture(path, box).isNull());
    }
}

// Up to a few megapixels, JPEG or PNG, each comes out at the box's size.
TEST_F(Picture, IsStretchedToTheBox)
{
    const std::pair<QSize, const char *> pictures[] = {{{390, 420}, "JPG"}, {{30, 500}, "PNG"},
                                                       {{2400, 1600}, "JPG"}, {{1600, 2400}, "PNG"}};
    for (const auto &[size, format] : pictures)
        EXPECT_EQ(loadStretchedPicture(write(QStringLiteral("p.jpg"), encoded(size, format)), box).size(), box) << format;
    EXPECT_TRUE(loadStretchedPicture(write(QStringLiteral("p.jpg"), encoded({390, 420}, "JPG")), QSize()).isNull());
}

TEST_F(Picture, LargerPicturesAndOtherFormatsAreRefused)
{
    const std::filesystem::path paths[] = {
        write(QStringLiteral("photo.jpg"), encoded({4000, 3000}, "JPG")),
        write(QStringLiteral("tall.png"), encoded({200, 20001}, "PNG")),
        write(QStringLiteral("bmp.jpg"), encoded({40, 30}, "BMP")),
        write(QStringLiteral("gif.jpg"), QByteArray("GIF89a\x28\x00\x1e\x00", 10)),
    };
    for (const std::filesystem::path &path : paths) {
        SCOPED_TRACE(path.string());
        EXPECT_TRUE(loadStretchedPicture(path, box).isNull());
    }
}

// Texts and comments would be held in memory, several times over, for as long as the picture.
TEST_F(Picture, KeepsNoTextOrComment)
{
    const QString text(100000, QLatin1Char('t'));
    for (const char *format : {"PNG", "JPG"}) {
        SCOPED_TRACE(format);
        const QImage image = loadStretchedPicture(write(QStringLiteral("text.jpg"), encoded({64, 64}, format, text)), box);
        EXPECT_FALSE(image.isNull());
        EXPECT_EQ(image.textKeys(), QStringList());
    }
}

// Boxes are answered in the order they asked, each at its own size, one gone meanwhile or not.
TEST_F(Picture, TheLoaderFillsEachBoxAtItsSize)
{
    PictureLoader loader(write(QStringLiteral("Ut1.jpg"), encoded({390, 420}, "JPG")));
    QLabel small;
    small.resize(40, 30);
    auto *gone = new QLabel;
    gone->resize(60, 50);
    QLabel large;
    large.resize(box);
    for (QLabel *label : {&small, gone, &large})
        loader.fill(label);
    delete gone;
    ASSERT_TRUE(QTest::qWaitFor([&loader] { return loader.waiting() == 0; }));
    EXPECT_EQ(small.pixmap().size(), QSize(40, 30));
    EXPECT_EQ(large.pixmap().size(), box);
}

} // namespace
