// What the program asks of the desktop's window manager before a window shows.
#pragma once

#include <QMargins>
#include <QPoint>

class QWidget;

// Asks the window manager for the frame it will give `window` and waits briefly for the
// answer. Empty where there is no window manager, it does not answer, or the platform has
// no such request.
QMargins requestFrameExtents(QWidget *window);

// Keeps a window that is not yet shown out of the task bar and the pager, for screens that
// belong to another one (the splash screen, About).
void keepOutOfTaskBar(QWidget *window);

// Where the window's client area is on the screen, asked of the display server rather than
// taken from what Qt last heard.
QPoint clientPlaceOnScreen(QWidget *window);
