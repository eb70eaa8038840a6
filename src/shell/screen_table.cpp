#include "shell/screen_table.h"

#include "core/tree/tree_node.h"
#include "screens/about_screen.h"
#include "screens/help/help_screen.h"
#include "screens/question_screen.h"
#include "screens/splash_screen.h"
#include "screens/topic_screen.h"
#include "shell/module1.h"
#include "shell/navigator.h"
#include "widgets/message_box.h"

QString screenName::node(int n)
{
    return QStringLiteral("frmAmPrm%1").arg(n);
}

namespace {

// `from` gives way: it is unloaded first, then `to` is shown (loaded afresh if it was not loaded).
void replace(Navigator &navigator, QWidget *from, const QString &to)
{
    navigator.unload(from);
    navigator.show(to);
}

QWidget *splashScreen(Navigator &navigator)
{
    auto *screen = new SplashScreen;
    QObject::connect(screen, &SplashScreen::finished, &navigator, [&navigator, screen] {
        // A late trigger finds the splash already gone and does nothing.
        if (navigator.isLoaded(screen))
            replace(navigator, screen, screenName::topics);
    });
    screen->Form_Load();
    return screen;
}

QWidget *topicScreen(Navigator &navigator)
{
    auto *screen = new TopicScreen;
    QObject::connect(screen, &TopicScreen::nodeRequested, &navigator,
                     [&navigator](int node) { navigator.show(screenName::node(node)); });
    QObject::connect(screen, &TopicScreen::helpRequested, &navigator,
                     [&navigator] { navigator.show(screenName::help); });
    QObject::connect(screen, &TopicScreen::aboutRequested, &navigator,
                     [&navigator] { navigator.show(screenName::about); });
    QObject::connect(screen, &TopicScreen::exitRequested, &navigator,
                     [&navigator] { Module1::CloseAllScreens(navigator); });
    screen->Form_Load();
    return screen;
}

QWidget *questionScreen(Navigator &navigator, int node)
{
    auto *screen = new QuestionScreen(tree::node(node));
    QObject::connect(screen, &QuestionScreen::nodeRequested, &navigator,
                     [&navigator, screen](int next) { replace(navigator, screen, screenName::node(next)); });
    QObject::connect(screen, &QuestionScreen::homeRequested, &navigator,
                     [&navigator, screen] { replace(navigator, screen, screenName::topics); });
    QObject::connect(screen, &QuestionScreen::treeEnded, &navigator, [&navigator, screen](const QString &text) {
        replace(navigator, screen, screenName::topics);
        showMessage(navigator.find(screenName::topics), text, MessageIcon::None);
    });
    QObject::connect(screen, &QuestionScreen::exitRequested, &navigator,
                     [&navigator] { Module1::CloseAllScreens(navigator); });
    screen->Form_Load();
    return screen;
}

QWidget *helpScreen(Navigator &navigator)
{
    auto *screen = new HelpScreen(navigator.find(screenName::topics));
    QObject::connect(screen, &HelpScreen::finished, &navigator, [&navigator, screen] { navigator.unload(screen); });
    screen->Form_Load();
    return screen;
}

QWidget *aboutScreen(Navigator &navigator)
{
    auto *screen = new AboutScreen;
    QObject::connect(screen, &QDialog::finished, &navigator, [&navigator, screen] { navigator.unload(screen); });
    screen->Form_Load();
    return screen;
}

} // namespace

void registerScreens(Navigator &navigator)
{
    navigator.add(screenName::splash, [&navigator] { return splashScreen(navigator); });
    navigator.add(screenName::topics, [&navigator] { return topicScreen(navigator); });
    navigator.add(screenName::help, [&navigator] { return helpScreen(navigator); });
    navigator.add(screenName::about, [&navigator] { return aboutScreen(navigator); });
    for (int n = 1; n <= tree::kNodeCount; ++n)
        navigator.add(screenName::node(n), [&navigator, n] { return questionScreen(navigator, n); });
}
