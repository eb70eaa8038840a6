// The program's QApplication, which the tests and benchmarks make too.
#pragma once

#include <QApplication>

// Ends only when the last screen is unloaded, not when a window closes; is known to the desktop by
// its name and launcher entry; keeps the design's look whatever the desktop's theme; gives every
// window, message boxes included, the program's icon.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);
};
