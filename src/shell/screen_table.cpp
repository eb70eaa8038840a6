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
#include "widgets/picture.h"

QString screenName::node(int n)
{
    return QStringLiteral("frmAmPrm%1").arg(n);
}

namespace {

// `from` gives way: it is unloaded first, then `to` is shown (loaded afresh if it was not loaded).
void replace(Navigator &navigator, QWidget *from, const QString &to, Navigator::Cause cause = Navigator::Cause::User)
{
    navigator.unload(from);
    navigator.show(to, cause);
}

QWidget *splashScreen(Navigator &navigator, PictureLoader &picture)
{
    auto *screen = new SplashScreen;
    QObject::connect(screen, &SplashScreen::finished, &navigator, [&navigator, screen](bool byUser) {
        // A late trigger finds the splash already gone and does nothing.
        if (navigator.isLoaded(screen))
            replace(navigator, screen, screenName::kTopics,
                    byUser ? Navigator::Cause::User : Navigator::Cause::Program);
    });
    screen->Form_Load(picture);
    return screen;
}

QWidget *topicScreen(Navigator &navigator, PictureLoader &picture)
{
    auto *screen = new TopicScreen;
    // The list stays loaded, hidden, while the tree runs.
    QObject::connect(screen, &TopicScreen::nodeRequested, &navigator, [&navigator](int node) {
        navigator.hide(screenName::kTopics);
        navigator.show(screenName::node(node));
    });
    QObject::connect(screen, &TopicScreen::helpRequested, &navigator,
                     [&navigator] { navigator.show(screenName::kHelp); });
    QObject::connect(screen, &TopicScreen::aboutRequested, &navigator,
                     [&navigator] { navigator.show(screenName::kAbout); });
    QObject::connect(screen, &TopicScreen::exitRequested, &navigator,
                     [&navigator] { Module1::CloseAllScreens(navigator); });
    screen->Form_Load(picture);
    return screen;
}

QWidget *questionScreen(Navigator &navigator, int node)
{
    auto *screen = new QuestionScreen(tree::node(node));
    QObject::connect(screen, &QuestionScreen::nodeRequested, &navigator,
                     [&navigator, screen](int next) { replace(navigator, screen, screenName::node(next)); });
    QObject::connect(screen, &QuestionScreen::homeRequested, &navigator,
                     [&navigator, screen] { replace(navigator, screen, screenName::kTopics); });
    QObject::connect(screen, &QuestionScreen::treeEnded, &navigator, [&navigator, screen](const QString &text) {
        replace(navigator, screen, screenName::kTopics);
        showMessage(navigator.find(screenName::kTopics), text, MessageIcon::None);
    });
    QObject::connect(screen, &QuestionScreen::exitRequested, &navigator,
                     [&navigator] { Module1::CloseAllScreens(navigator); });
    screen->Form_Load();
    return screen;
}

QWidget *helpScreen(Navigator &navigator)
{
    auto *screen = new HelpScreen(navigator.find(screenName::kTopics));
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
    // Read once, when the splash screen first asks for it, and shared with the topic screen.
    auto *picture = new PictureLoader(picturePath(), &navigator);
    navigator.add(screenName::kSplash, [&navigator, picture] { return splashScreen(navigator, *picture); });
    navigator.add(screenName::kTopics, [&navigator, picture] { return topicScreen(navigator, *picture); });
    navigator.add(screenName::kHelp, [&navigator] { return helpScreen(navigator); });
    navigator.add(screenName::kAbout, [&navigator] { return aboutScreen(navigator); });
    for (int n = 1; n <= tree::kNodeCount; ++n)
        navigator.add(screenName::node(n), [&navigator, n] { return questionScreen(navigator, n); });
}
