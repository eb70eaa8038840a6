// The floor for start-up: a bare Qt Widgets program that shows one window of the splash
// screen's size with the same picture, stretched into a box of the same size.
#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
    window.setFixedSize(492, 283);
    QLabel picture(&window);
    picture.setGeometry(34, 57, 121, 159);
    QImageReader reader(QCoreApplication::applicationDirPath() + QStringLiteral("/Ut1.jpg"));
    reader.setScaledSize(picture.size());
    picture.setPixmap(QPixmap::fromImage(reader.read()));
    window.show();
    return app.exec();
}
