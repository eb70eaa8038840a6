// Every screen exists at most once and is reached by its name; the navigator loads, shows, hides
// and unloads them, keeps the loaded ones in load order, and ends the program.
#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class Navigator : public QObject
{
    Q_OBJECT

public:
    // Builds a screen's window and controls and runs its Form_Load.
    using Factory = std::function<QWidget *()>;

    explicit Navigator(QObject *parent = nullptr);
    ~Navigator() override;

    void add(const QString &name, Factory factory);

    // Why a screen shows: the user's key or click in the program, the program itself (a timer), or
    // the start, where the desktop gives the keyboard by its own rules.
    enum class Cause { User, Program, Start };
    // Loads the screen if needed and makes it visible: at the user's asking in front with the
    // keyboard; by the program, with the keyboard only if the program has it, else asking the desktop
    // for attention. Returns nullptr for a name no screen is registered under.
    QWidget *show(const QString &name, Cause cause = Cause::User);
    void hide(const QString &name);
    void unload(QWidget *screen);
    // Every loaded screen, hidden ones included, the most recently loaded first.
    void unloadAll();

    QWidget *find(const QString &name) const;
    bool isLoaded(const QWidget *screen) const { return m_loaded.contains(screen); }
    QStringList loadedNames() const;

    // Runs once the last loaded screen is gone and the handler that unloaded it has
    // returned; by default it quits the event loop.
    void setEndHandler(std::function<void()> handler) { m_endHandler = std::move(handler); }

protected:
    // Closing a screen's window unloads it.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void endIfNothingLoaded();
    void deleteUnloaded();

    QHash<QString, Factory> m_factories;
    QList<QPointer<QWidget>> m_loaded;
    // Unloaded screens not yet deleted: a handler of theirs may still be running, perhaps under a
    // message box's own event loop.
    QList<QPointer<QWidget>> m_unloaded;
    QTimer m_deleteTimer;
    // The open message box or menu whose closing lets them go.
    QPointer<QWidget> m_nestedLoopOwner;
    // The screen that last took the keyboard and has not lost it to another window while shown.
    QPointer<QWidget> m_keyboard;
    std::function<void()> m_endHandler = &QCoreApplication::quit;
    bool m_endCheckQueued = false;
};
