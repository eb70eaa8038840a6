#include "app/application.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The screens stand at designed places, which only X11 lets a program choose: on a Wayland
    // desktop run through XWayland where there is one. A QT_QPA_PLATFORM of the user's own wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    return runTarnwick(app);
}
