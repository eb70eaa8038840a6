#include "screens.h"

#include <QApplication>

Screens &Screens::instance()
{
    static Screens screens;
    return screens;
}

void Screens::add(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

QWidget *Screens::find(const QString &name) const
{
    for (const QPointer<QWidget> &screen : m_loaded) {
        if (screen && screen->objectName() == name)
            return screen;
    }
    return nullptr;
}

QStringList Screens::loadedNames() const
{
    QStringList names;
    for (const QPointer<QWidget> &screen : m_loaded)
        names << (screen ? screen->objectName() : QString());
    return names;
}

QWidget *Screens::show(const QString &name)
{
    QWidget *screen = find(name);
    if (!screen) {
        const auto factory = m_factories.constFind(name);
        if (factory == m_factories.constEnd())
            return nullptr;
        screen = (*factory)();
        screen->setObjectName(name);
        m_loaded.append(screen);
    }
    if (screen->isMinimized())
        screen->setWindowState(screen->windowState() & ~Qt::WindowMinimized);
    screen->show();
    screen->raise();
    screen->activateWindow();
    return screen;
}

void Screens::hide(const QString &name)
{
    if (QWidget *screen = find(name))
        screen->hide();
}

void Screens::unload(const QString &name)
{
    unload(find(name));
}

void Screens::unload(QWidget *screen)
{
    const qsizetype position = m_loaded.indexOf(screen);
    if (!screen || position < 0)
        return;
    m_loaded.removeAt(position);
    screen->hide();
    // The handler that unloads its own screen may still be running on it.
    screen->deleteLater();

    if (m_loaded.isEmpty() && !m_endCheckQueued) {
        m_endCheckQueued = true;
        QMetaObject::invokeMethod(this, &Screens::endIfNothingLoaded, Qt::QueuedConnection);
    }
}

void Screens::endIfNothingLoaded()
{
    m_endCheckQueued = false;
    if (!m_loaded.isEmpty())
        return;
    emit ended();
    if (m_endHandler)
        m_endHandler();
    else
        QCoreApplication::quit();
}
