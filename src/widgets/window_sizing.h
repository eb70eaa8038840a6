// Start-up sizing of the topic and question screens: a fraction of the display, centred.
#pragma once

class QWidget;

// Sets the window's outer height, then its outer width, to `factor` times the display's,
// reads back what the window took and centres it. Controls are left where they are.
void sizeToDisplay(QWidget *window, float factor);
