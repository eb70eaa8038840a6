// What the program asks of the desktop's window manager. One implementation a platform
// (platform/xcb, platform/windows), chosen by the build.
#pragma once

#include <QMargins>
#include <QPoint>

#include <functional>
#include <optional>

class QObject;
class QWidget;

// The frame `window` will get, where the platform knows it before the window first shows;
// nothing where a window manager frames a window only once it is mapped.
std::optional<QMargins> frameBeforeShow(QWidget *window);

// Calls `framed` each time the window manager tells the frame it put round `window`, once Qt
// knows it too, until `watcher` goes; false where the platform does not hear of it. With `ask`,
// the window manager is asked, without waiting, for the frame it would put round `window` unshown.
bool watchFrame(QObject *watcher, QWidget *window, bool ask, std::function<void()> framed);

// Keeps a window that is not yet shown out of the task bar and the pager, for screens that
// belong to another one (the splash screen, About).
void keepOutOfTaskBar(QWidget *window);

// Asks the window manager for the keyboard for `window` as it first maps, as an application asks
// and as of the user's launching event at `launchTime` (0 if not known): it judges by its own rules.
void takeKeyboardOnFirstShow(QWidget *window, unsigned long launchTime);

// Where the window's client area is on the screen, asked of the display server rather than
// taken from what Qt last heard.
QPoint clientPlaceOnScreen(QWidget *window);
