// Built under ThreadSanitizer only: a list of box sizes handed to the GUI thread through a queued
// invokeMethod, as the picture worker hands its pictures, and changed by the worker afterwards
// without a lock, must be reported with tests/tsan.supp in force.
#include <QCoreApplication>
#include <QList>
#include <QMetaObject>
#include <QSize>

#include <cstdio>
#include <thread>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<QSize> sizes;
    std::thread worker([&] {
        QMetaObject::invokeMethod(&app, [&] {
            std::printf("%lld sizes seen\n", static_cast<long long>(sizes.size()));
            app.quit();
        }, Qt::QueuedConnection);
        sizes.append(QSize(121, 159));
    });
    app.exec();
    worker.join();
    std::printf("no race reported\n");
    return 0;
}
