#include "application.h"

#include "about/about_screen.h"
#include "app/design_font.h"
#include "app/screens.h"
#include "app/splash_screen.h"
#include "topics/help_screen.h"
#include "topics/topic_screen.h"
#include "tree/question_screen.h"
#include "tree/tree_node.h"

#include <QApplication>

namespace {

template <typename Screen>
Screens::Factory load()
{
    return [] {
        auto *screen = new Screen;
        screen->Form_Load();
        return screen;
    };
}

} // namespace

void registerScreens()
{
    Screens &screens = Screens::instance();
    screens.add(QStringLiteral("frmSplash"), load<SplashScreen>());
    screens.add(QStringLiteral("frmStart"), load<TopicScreen>());
    screens.add(QStringLiteral("frmHelp"), load<HelpScreen>());
    screens.add(QStringLiteral("frmAbout"), load<AboutScreen>());
    for (int n = 1; n <= tree::kNodeCount; ++n) {
        screens.add(QuestionScreen::screenName(n), [n] {
            auto *screen = new QuestionScreen(tree::node(n));
            screen->Form_Load();
            return screen;
        });
    }
}

int runTarnwick(QApplication &app)
{
    // The program ends when its last screen is unloaded, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // Lets the desktop match the windows to the installed launcher entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Tarnwick"));
    installDesignFonts();
    registerScreens();
    Screens::instance().show(QStringLiteral("frmSplash"));
    return app.exec();
}
