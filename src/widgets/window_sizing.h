// Start-up sizing of the topic and question screens: a fraction of the display, centred.
#pragma once

#include <QMargins>

class QObject;
class QWidget;

// Sets the outer size of a window not yet shown (title bar and borders included) to `factor`
// times the display's, reads back what the window took and centres it by that outer size. Where
// the window manager's frame is not known before the window shows, the size and place are
// corrected once it is. Controls are left where they are.
void sizeToDisplay(QWidget *window, float factor);

// The frame a window that is not yet shown will get: as the platform tells it, else the one the
// window manager last put round a sized window, else none.
QMargins expectedFrame(QWidget *window);

// Asks the window manager, while `owner` lives, for the frame it puts round a plain window,
// without waiting for the answer; the first screen sized after it comes is sized for that frame.
void learnFrame(QObject *owner);
