// Start-up: every screen registered under its name, then the splash screen, then the event loop.
#pragma once

class QApplication;

void registerScreens();
int runTarnwick(QApplication &app);
