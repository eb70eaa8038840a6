// Start-up sizing of the topic and question screens: a fraction of the display, centred.
#pragma once

#include <QMargins>

class QObject;
class QWidget;

// Sets the outer size of a window not yet shown (frame included) to `factor` times the display's and
// centres it by the size it took; where the frame is only known once the window shows, both are
// corrected then. Controls are left where they are.
void sizeToDisplay(QWidget *window, float factor);

// The frame a window that is not yet shown will get: as the platform tells it, else the one the
// window manager last put round a sized window, else none.
QMargins expectedFrame(QWidget *window);

// Asks the window manager, while `owner` lives, for the frame it puts round a plain window,
// without waiting for the answer; the first screen sized after it comes is sized for that frame.
void learnFrame(QObject *owner);
