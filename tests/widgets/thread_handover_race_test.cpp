// Built under ThreadSanitizer only: the GUI thread's list of box sizes, changed from the worker
// through invokeMethod without a lock, must be reported with tests/tsan.supp in force.
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QSize>

#include <cstdio>
#include <thread>

int main()
{
    QObject gui;
    QList<QSize> sizes;
    // A direct call runs on the worker's thread, beside the GUI thread's read below: nothing orders them.
    std::thread worker([&] {
        QMetaObject::invokeMethod(&gui, [&] { sizes.append(QSize(121, 159)); }, Qt::DirectConnection);
    });
    const qsizetype seen = sizes.size();
    worker.join();
    std::printf("no race reported (%lld sizes seen first)\n", static_cast<long long>(seen));
    return 0;
}
