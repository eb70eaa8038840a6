// Long random sequences of what a user can do, each from start-up to the end of the program,
// with the screen rules checked after every event. Seeded; a failure prints a shrunk replay.
#include "recording_sink.h"

#include "core/sysinfo/sys_info.h"
#include "core/sysinfo/posix/host_tool.h"
#include "screens/splash_screen.h"
#include "core/tree/topic_table.h"
#include "screens/question_screen.h"
#include "core/tree/tree_node.h"
#include "widgets/text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

const QString kSplash = QStringLiteral("frmSplash");
const QString kStart = QStringLiteral("frmStart");
const QString kTopicNothingSelected = QStringLiteral(
    "Nothing is selected! You have to select an item from the drop-down list in the combination box "
    "and then click OK.");
const QString kQuestionNothingSelected = QStringLiteral(
    "Nothing is selected. You have to select one item by clicking on its radio button and then click OK.");
const QString kNoTreeYet = QStringLiteral("This version of Tarnwick has no decision tree for \"");

std::uint64_t envNumber(const char *name, std::uint64_t fallback)
{
    const char *value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

// An event is stored as raw choices, read against whatever is on the screen when it is played,
// so any sub-sequence of a failing sequence is still a sequence that can be played.
enum class Action {
    Click, ClickAnywhere, DoubleClick, Press, Release, Key, AccessKey, ChooseTopic, Answer, SplashTick, CloseBox,
    Activate
};

// Actions that need the mouse button: a button held down is let go first.
bool usesTheMouseButton(Action action)
{
    return action == Action::Click || action == Action::ClickAnywhere || action == Action::DoubleClick
           || action == Action::Press || action == Action::Answer;
}

struct Event {
    Action action;
    std::uint32_t a;
    std::uint32_t b;
};

struct Weighted {
    Action action;
    int weight;
};

constexpr Weighted kActions[] = {
    {Action::Click, 40},    {Action::ClickAnywhere, 6}, {Action::DoubleClick, 3},
    {Action::Press, 3},     {Action::Release, 3},
    {Action::Key, 28},      {Action::AccessKey, 1},     {Action::ChooseTopic, 8},
    {Action::Answer, 16},
    {Action::SplashTick, 2}, {Action::CloseBox, 3},     {Action::Activate, 5},
};

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char *name;
};

const Key kKeys[] = {
    {Qt::Key_Return, {}, "Enter"},       {Qt::Key_Enter, {}, "keypad Enter"},
    {Qt::Key_Escape, {}, "Esc"},         {Qt::Key_Space, {}, "Space"},
    {Qt::Key_Tab, {}, "Tab"},            {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
    {Qt::Key_Up, {}, "Up"},              {Qt::Key_Down, {}, "Down"},
    {Qt::Key_Left, {}, "Left"},          {Qt::Key_Right, {}, "Right"},
    {Qt::Key_Home, {}, "Home"},          {Qt::Key_End, {}, "End"},
    {Qt::Key_PageDown, {}, "PageDown"},  {Qt::Key_F1, {}, "F1"},
    {Qt::Key_F4, {}, "F4"},              {Qt::Key_Shift, {}, "Shift"},
    {Qt::Key_Control, {}, "Ctrl"},       {Qt::Key_A, {}, "a"},
    {Qt::Key_Z, {}, "z"},                {Qt::Key_5, {}, "5"},
    {Qt::Key_Backspace, {}, "Backspace"}, {Qt::Key_Delete, {}, "Delete"},
    {Qt::Key_Down, Qt::AltModifier, "Alt+Down"},
};

// Every access key of the program, and one that no control has.
constexpr Qt::Key kAccessKeys[] = {Qt::Key_B, Qt::Key_C, Qt::Key_E, Qt::Key_H, Qt::Key_S, Qt::Key_X};

std::vector<Event> randomEvents(std::uint64_t seed, int count)
{
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    int total = 0;
    for (const Weighted &w : kActions)
        total += w.weight;
    std::vector<Event> events;
    for (int i = 0; i < count; ++i) {
        int pick = int(rng() % std::uint32_t(total));
        Action action = kActions[0].action;
        for (const Weighted &w : kActions) {
            if (pick < w.weight) {
                action = w.action;
                break;
            }
            pick -= w.weight;
        }
        const std::uint32_t a = rng();
        const std::uint32_t b = rng();
        events.push_back({action, a, b});
    }
    return events;
}

int nodeOf(const QWidget *screen)
{
    const QString name = screen ? screen->objectName() : QString();
    return name.startsWith(QStringLiteral("frmAmPrm")) ? name.mid(8).toInt() : 0;
}

// The option of a question screen that is checked, from the node's table.
const tree::TreeOption *checkedOption(const QWidget *screen)
{
    const int n = nodeOf(screen);
    if (n == 0)
        return nullptr;
    for (const tree::TreeOption &option : tree::node(n).options) {
        const auto *radio = screen->findChild<QRadioButton *>(toQString(option.control));
        if (radio && radio->isChecked())
            return &option;
    }
    return nullptr;
}

struct Outcome {
    std::optional<std::string> failure;
    std::vector<std::string> played;  // what each event turned out to be
    int eventsPlayed = 0;
    bool ended = false;
};

class ScreenRulesStress : public ScreensTest
{
protected:
    void SetUp() override
    {
        ScreensTest::SetUp();
        sink.onMessage = [this](const RecordedMessage &m) { checkMessage(m); };
        // With a system information program on this host, System Info would really start it.
        sysInfoWouldStart = !sysinfo::hostTool().empty();
        qApp->installEventFilter(&loadWatcher);
    }

    void TearDown() override
    {
        qApp->removeEventFilter(&loadWatcher);
        ScreensTest::TearDown();
    }

    // Plays events from a fresh start; stops at the first broken rule or when the program ends.
    Outcome play(const std::vector<Event> &events)
    {
        restart();
        Outcome outcome;
        if ((outcome.failure = brokenRule()))
            return outcome;
        for (const Event &event : events) {
            if (endCalls > 0)
                break;
            outcome.played.push_back(apply(event));
            ++outcome.eventsPlayed;
            settle();
            if (!failure)
                failure = brokenRule();
            if (failure) {
                outcome.failure = failure;
                return outcome;
            }
        }
        outcome.ended = endCalls > 0;
        return outcome;
    }

    // Removes events while the failure stays, within a bounded number of replays.
    std::vector<Event> shrink(std::vector<Event> events, int replays)
    {
        const auto fails = [&](const std::vector<Event> &candidate) {
            --replays;
            return play(candidate).failure.has_value();
        };
        for (std::size_t chunk = events.size() / 2; chunk >= 1 && replays > 0; chunk /= 2) {
            for (std::size_t start = 0; start + chunk <= events.size() && replays > 0;) {
                std::vector<Event> candidate(events.begin(), events.begin() + std::ptrdiff_t(start));
                candidate.insert(candidate.end(), events.begin() + std::ptrdiff_t(start + chunk), events.end());
                if (fails(candidate))
                    events = std::move(candidate);
                else
                    start += chunk;
            }
        }
        return events;
    }

    bool sysInfoWouldStart = false;
    QSet<QString> shownTexts;
    QSet<int> nodesVisited;

private:
    // A screen is loaded when it is first shown: Screens::show shows every screen it loads.
    class LoadWatcher : public QObject
    {
    public:
        QList<QPointer<QWidget>> order;
        QPointer<QWidget> lastQuestion;  // the question screen shown last, unloaded or not

        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Show && watched->isWidgetType()) {
                auto *widget = static_cast<QWidget *>(watched);
                if (widget->isWindow() && widget->objectName().startsWith(QStringLiteral("frm"))
                    && !order.contains(widget))
                    order.append(widget);
                if (widget->isWindow() && nodeOf(widget))
                    lastQuestion = widget;
            }
            return false;
        }
    };

    void restart()
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        Module1::CloseAllScreens(screens());
        settle();
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName().startsWith(QStringLiteral("frm")))
                delete widget;  // left behind by an earlier failure
        }
        loadWatcher.order.clear();
        sink.messages.clear();
        failure.reset();
        endCalls = 0;
        splashWasReplaced = false;
        held = {};
        screens().setEndHandler([this] {
            ++endCalls;
            if (!screens().loadedNames().isEmpty())
                fail("the program ended with screens loaded");
        });
        // As at program start: the splash screen is the first and only thing shown.
        screens().show(kSplash);
    }

    void fail(const std::string &what)
    {
        if (!failure)
            failure = what;
    }

    QList<QWidget *> visibleScreens() const
    {
        QList<QWidget *> visible;
        for (const QString &name : screens().loadedNames()) {
            if (QWidget *screen = screens().find(name); screen && screen->isVisible())
                visible.append(screen);
        }
        return visible;
    }

    static std::string describe(const QWidget *widget)
    {
        std::string d = widget->window()->objectName().toStdString();
        if (widget != widget->window())
            d += '/' + (widget->objectName().isEmpty() ? std::string(widget->metaObject()->className())
                                                       : widget->objectName().toStdString());
        return d;
    }

    // The controls a click can aim at: buttons, options, the list, labels, pictures and the frame.
    QList<QWidget *> targets(QWidget *screen) const
    {
        QList<QWidget *> found;
        for (QWidget *child : screen->findChildren<QWidget *>()) {
            if (!child->isVisible())
                continue;
            if (sysInfoWouldStart && child->objectName() == QStringLiteral("cmdSysInfo"))
                continue;
            // Exit and Home mostly missed, so that runs go deep into the tree before they end.
            if ((child->objectName() == QStringLiteral("cmdExit") || child->objectName() == QStringLiteral("cmdHome"))
                && !exitAllowed)
                continue;
            if (qobject_cast<QAbstractButton *>(child) || qobject_cast<QComboBox *>(child)
                || qobject_cast<QGroupBox *>(child) || (qobject_cast<QLabel *>(child) && !child->objectName().isEmpty()))
                found.append(child);
        }
        return found;
    }

    // As a window manager does: the window clicked into becomes the active one.
    static void bringForward(QWidget *screen)
    {
        if (!QApplication::activePopupWidget()) {
            screen->raise();
            screen->activateWindow();
        }
    }

    // QTest::keyClick lets go of Shift or Alt on the window after the key, which the key may have
    // closed and deleted by then: a crash now and then, as the zero-time delete falls before or after.
    static void keyClick(QWindow *window, Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        const QPointer<QWindow> shown(window);
        QTest::keyPress(window, key, modifiers);
        if (shown)
            QTest::keyRelease(window, key);
    }

    static void clickAt(QWindow *window, QPoint pos, bool twice)
    {
        const QPointF global = window->mapToGlobal(pos);
        QPointer<QWindow> guard(window);
        for (int i = 0; i < (twice ? 2 : 1) && guard && guard->isVisible(); ++i) {
            // Both clicks within the double-click interval, at one place.
            QTest::lastMouseTimestamp += 1;
            qt_handleMouseEvent(guard, pos, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, {},
                                QTest::lastMouseTimestamp);
            if (guard)
                qt_handleMouseEvent(guard, pos, global, Qt::NoButton, Qt::LeftButton,
                                    QEvent::MouseButtonRelease, {}, QTest::lastMouseTimestamp);
            QCoreApplication::processEvents();
        }
        QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
    }

    std::string downButtons() const
    {
        std::string names;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
                if (button->isDown())
                    names += describe(button) + (button->isVisible() ? " " : " (hidden) ");
            }
        }
        return names;
    }

    // Down, but not because the mouse holds it.
    bool anyButtonAnimating() const
    {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
                if (button->isDown() && !(held.active && button == held.target))
                    return true;
            }
        }
        return false;
    }

    // The window keys go to; a window manager gives the focus to some window if none has it.
    QWindow *keyWindow(std::uint32_t pick) const
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            return popup->window()->windowHandle();
        QWindow *focus = QGuiApplication::focusWindow();
        const QList<QWidget *> visible = visibleScreens();
        for (QWidget *screen : visible) {
            if (screen->windowHandle() == focus)
                return focus;
        }
        if (visible.isEmpty())
            return nullptr;
        QWidget *screen = visible.at(int(pick % std::uint32_t(visible.size())));
        bringForward(screen);
        return screen->windowHandle();
    }

    // The window a button held down is let go over: the one pressed in while it is still shown
    // (the pointer is grabbed), else whichever shown screen lies under the pointer.
    QWindow *releaseWindow() const
    {
        if (held.window && held.window->isVisible())
            return held.window;
        QWindow *focus = QGuiApplication::focusWindow();
        QWindow *under = nullptr;
        for (QWidget *screen : visibleScreens()) {
            if (screen->frameGeometry().contains(held.global) && (!under || screen->windowHandle() == focus))
                under = screen->windowHandle();
        }
        return under;
    }

    std::string releaseHeld()
    {
        QWindow *window = releaseWindow();
        held.active = false;
        if (!window)
            return "let go over no window";
        const std::string over = window->objectName().toStdString();
        QTest::lastMouseTimestamp += 1;
        qt_handleMouseEvent(window, window->mapFromGlobal(held.global), held.global, Qt::NoButton, Qt::LeftButton,
                            QEvent::MouseButtonRelease, {}, QTest::lastMouseTimestamp);
        QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
        QCoreApplication::processEvents();
        return "let go over " + over;
    }

    std::string apply(const Event &event)
    {
        if (held.active && usesTheMouseButton(event.action)) {
            const std::string released = releaseHeld();
            return released + ", then " + act(event);
        }
        return act(event);
    }

    std::string act(const Event &event)
    {
        const QList<QWidget *> visible = visibleScreens();
        if (visible.isEmpty())
            return "nothing to act on";
        QWidget *screen = visible.at(int(event.a % std::uint32_t(visible.size())));
        const bool popupOpen = QApplication::activePopupWidget() != nullptr;

        switch (event.action) {
        case Action::Click:
        case Action::DoubleClick: {
            exitAllowed = (event.b >> 24) % 8 == 0;
            const QList<QWidget *> candidates = targets(screen);
            if (candidates.isEmpty())
                return "no control on " + describe(screen);
            QWidget *target = candidates.at(int(event.b % std::uint32_t(candidates.size())));
            // On the list, the middle is its text field and the right end its arrow.
            QPoint at = target->rect().center();
            if (qobject_cast<QComboBox *>(target) && (event.b >> 16) % 2)
                at.setX(target->width() - 6);
            const std::string what = (event.action == Action::DoubleClick ? "double-click " : "click ") + describe(target);
            bringForward(screen);
            clickAt(screen->windowHandle(), target->mapTo(screen, at), event.action == Action::DoubleClick);
            return what;
        }
        case Action::Press: {
            exitAllowed = (event.b >> 24) % 8 == 0;
            const QList<QWidget *> candidates = targets(screen);
            if (candidates.isEmpty())
                return "no control on " + describe(screen);
            QWidget *target = candidates.at(int(event.b % std::uint32_t(candidates.size())));
            const std::string what = "press and hold on " + describe(target);
            bringForward(screen);
            const QPoint at = target->mapTo(screen, target->rect().center());
            held = {screen->windowHandle(), qobject_cast<QAbstractButton *>(target),
                    screen->windowHandle()->mapToGlobal(at), true};
            QTest::lastMouseTimestamp += 1;
            qt_handleMouseEvent(screen->windowHandle(), at, held.global, Qt::LeftButton, Qt::LeftButton,
                                QEvent::MouseButtonPress, {}, QTest::lastMouseTimestamp);
            QCoreApplication::processEvents();
            return what;
        }
        case Action::Release:
            return held.active ? releaseHeld() : "let go: no button held";
        case Action::ClickAnywhere: {
            const QPoint at(int(event.b % std::uint32_t(screen->width())),
                            int((event.b >> 16) % std::uint32_t(screen->height())));
            const std::string what =
                "click " + describe(screen) + " at " + std::to_string(at.x()) + "," + std::to_string(at.y());
            bringForward(screen);
            clickAt(screen->windowHandle(), at, false);
            return what;
        }
        case Action::Key: {
            const Key &key = kKeys[event.b % std::size(kKeys)];
            QWindow *window = keyWindow(event.a);
            if (!window)
                return std::string("key ") + key.name + " to no window";
            keyClick(window, key.key, key.modifiers);
            return std::string("key ") + key.name;
        }
        case Action::AccessKey: {
            const Qt::Key key = kAccessKeys[event.b % std::size(kAccessKeys)];
            if (sysInfoWouldStart && key == Qt::Key_S)
                return "Alt+S skipped: it would start this host's system information program";
            QWindow *window = keyWindow(event.a);
            if (!window)
                return "access key to no window";
            keyClick(window, key, Qt::AltModifier);
            // A button pressed by its access key clicks itself a moment later.
            if (!QTest::qWaitFor([this] { return !anyButtonAnimating(); }, 2000))
                fail("a button stays down: " + downButtons());
            return std::string("Alt+") + char('A' + (key - Qt::Key_A));
        }
        case Action::ChooseTopic: {
            QWidget *topics = screens().find(kStart);
            if (!topics || !topics->isVisible() || popupOpen)
                return "choose a topic: the list is not in view";
            // Half the time the topic that has a tree, so walks go deep.
            const int index = event.b % 2 ? kPrimaryAmenorrheaIndex : int((event.b >> 1) % kTopics.size());
            topics->findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentIndex(index);
            return "choose topic " + std::to_string(index);
        }
        case Action::Answer: {
            // What a doctor does most: choose an answer (or the topic) and press OK.
            if (popupOpen)
                return "answer: the open list takes the click";
            QWidget *ok = screen->findChild<QWidget *>(QStringLiteral("cmdOK"));
            QWidget *choice = nullptr;
            if (nodeOf(screen)) {
                const QList<QRadioButton *> options = screen->findChildren<QRadioButton *>();
                choice = options.isEmpty() ? nullptr : options.at(int(event.b % std::uint32_t(options.size())));
            } else if (screen->objectName() == kStart) {
                auto *list = screen->findChild<QComboBox *>(QStringLiteral("Combo1"));
                list->setCurrentIndex(event.b % 4 ? kPrimaryAmenorrheaIndex : int(event.b % kTopics.size()));
            }
            if (!ok)
                return "answer: no OK on " + describe(screen);
            const std::string what = "answer " + (choice ? describe(choice) : describe(screen)) + ", then OK";
            bringForward(screen);
            QPointer<QWidget> guard(ok);
            if (choice)
                clickAt(screen->windowHandle(), choice->mapTo(screen, QPoint(6, choice->height() / 2)), false);
            if (guard && guard->isVisible())
                clickAt(screen->windowHandle(), ok->mapTo(screen, ok->rect().center()), false);
            return what;
        }
        case Action::SplashTick: {
            auto *splash = qobject_cast<SplashScreen *>(screens().find(kSplash));
            if (!splash || !splash->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive())
                return "splash tick: no splash timer running";
            QPointer<QTimer> timer = splash->findChild<QTimer *>(QStringLiteral("Timer1"));
            timer->start(0);
            if (!QTest::qWaitFor([&timer] { return !timer || !timer->isActive(); }, 2000))
                fail("the splash timer does not fire");
            return "splash timer tick";
        }
        case Action::CloseBox: {
            if (popupOpen)
                return "close box: the open list takes the click";
            if (screen->objectName() == kStart && event.b % 4)
                return "close box of frmStart missed";
            const std::string what = "close box of " + describe(screen);
            screen->windowHandle()->close();
            return what;
        }
        case Action::Activate:
            bringForward(screen);
            return "activate " + describe(screen);
        }
        return {};
    }

    // Every message must be one the program may show now, and a recommendation must be the
    // chosen option's own text.
    void checkMessage(const RecordedMessage &m)
    {
        shownTexts.insert(m.text);
        const QString parent = m.parentName;
        if (m.text == kTopicNothingSelected) {
            auto *list = m.parent ? m.parent->findChild<QComboBox *>(QStringLiteral("Combo1")) : nullptr;
            if (parent != kStart || m.icon != MessageIcon::Exclamation || !list || list->currentIndex() != -1)
                fail("topic warning shown although a topic is chosen, or on " + parent.toStdString());
            return;
        }
        if (m.text == kQuestionNothingSelected) {
            if (!nodeOf(m.parent) || m.icon != MessageIcon::Exclamation || checkedOption(m.parent))
                fail("question warning shown with an option chosen, or on " + parent.toStdString());
            return;
        }
        if (m.text == toQString(sysinfo::kSysInfoUnavailableText)) {
            if (parent != QStringLiteral("frmAbout") || m.icon != MessageIcon::None)
                fail("system information message on " + parent.toStdString());
            return;
        }
        if (m.text.startsWith(kNoTreeYet)) {
            auto *list = m.parent ? m.parent->findChild<QComboBox *>(QStringLiteral("Combo1")) : nullptr;
            const int index = list ? list->currentIndex() : -1;
            if (parent != kStart || index < 0 || index == kPrimaryAmenorrheaIndex
                || !m.text.startsWith(kNoTreeYet + toQString(kTopics[std::size_t(index)]) + QLatin1Char('"')))
                fail("no-tree message for the wrong topic: " + m.text.toStdString());
            return;
        }
        // A recommendation: over its question screen, or over the topic list when the tree ends.
        const QWidget *question = nodeOf(m.parent) ? m.parent.data() : loadWatcher.lastQuestion.data();
        const tree::TreeOption *option = checkedOption(question);
        const auto expected = nodeOf(m.parent) ? tree::TreeOutcome::Kind::Recommendation
                                               : tree::TreeOutcome::Kind::BackToTopics;
        if (!option || option->outcome.kind != expected || m.text != toQString(*option->outcome.text)
            || m.icon != MessageIcon::None)
            fail("message that is not the chosen option's recommendation, on " + parent.toStdString() + ": "
                 + m.text.left(60).toStdString());
    }

    std::optional<std::string> brokenRule()
    {
        if (failure)
            return failure;
        Navigator &s = screens();
        const QStringList loaded = s.loadedNames();

        // Loaded screens in load order, and exactly the screens that exist.
        QList<QWidget *> watched;
        for (const QPointer<QWidget> &w : loadWatcher.order) {
            if (w)
                watched.append(w);
        }
        QList<QWidget *> listed;
        for (const QString &name : loaded)
            listed.append(s.find(name));
        if (listed != watched)
            return "the list of loaded screens " + loaded.join(QLatin1Char(' ')).toStdString()
                   + " is not the screens that exist in load order";
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName().startsWith(QStringLiteral("frm")) && !listed.contains(widget))
                return widget->objectName().toStdString() + " exists but is not in the list of loaded screens";
        }
        if (QSet<QString>(loaded.begin(), loaded.end()).size() != loaded.size())
            return "a screen is loaded twice: " + loaded.join(QLatin1Char(' ')).toStdString();

        // Never running with screens loaded and none of them in view.
        if (!loaded.isEmpty() && visibleScreens().isEmpty())
            return "screens loaded but none visible: " + loaded.join(QLatin1Char(' ')).toStdString();

        // At most one question open, and the topic list hidden exactly while it is.
        int questions = 0;
        for (QWidget *screen : listed) {
            if (nodeOf(screen)) {
                nodesVisited.insert(nodeOf(screen));
                ++questions;
                if (!screen->isVisible())
                    return screen->objectName().toStdString() + " is loaded but hidden";
            }
        }
        if (questions > 1)
            return "more than one question screen: " + loaded.join(QLatin1Char(' ')).toStdString();
        QWidget *topics = s.find(kStart);
        if (questions == 1 && (!topics || topics->isVisible()))
            return "a question is open but the topic list is not hidden behind it";
        if (questions == 0 && topics && !topics->isVisible())
            return "the topic list is hidden with no question in its place";

        // The splash screen is the first screen and never comes back.
        if (topics)
            splashWasReplaced = true;
        if (splashWasReplaced && s.find(kSplash))
            return "the splash screen is loaded again";

        // The program has ended exactly when nothing is loaded.
        if (endCalls > 1)
            return "the program ended twice";
        if ((endCalls == 1) != loaded.isEmpty())
            return endCalls ? "the program ended with screens loaded" : "nothing is loaded but the program runs on";
        return std::nullopt;
    }

    LoadWatcher loadWatcher;
    bool exitAllowed = true;
    std::optional<std::string> failure;
    struct HeldButton {
        QPointer<QWindow> window;
        QPointer<QAbstractButton> target;
        QPoint global;
        bool active = false;
    } held;
    int endCalls = 0;
    bool splashWasReplaced = false;
};

std::string listing(const std::vector<std::string> &played)
{
    std::string out;
    for (std::size_t i = 0; i < played.size(); ++i)
        out += "  " + std::to_string(i + 1) + ". " + played[i] + "\n";
    return out;
}

// TARNWICK_STRESS_SEED picks the runs and TARNWICK_STRESS_EVENTS their total length;
// TARNWICK_STRESS_RUN_SEED replays the one run a failure names.
TEST_F(ScreenRulesStress, RandomUserEventsNeverBreakTheScreenRules)
{
    const std::uint64_t seed = envNumber("TARNWICK_STRESS_SEED", 1);
    const std::uint64_t onlyRun = envNumber("TARNWICK_STRESS_RUN_SEED", 0);
    const long long wanted = static_cast<long long>(envNumber("TARNWICK_STRESS_EVENTS", 2000));
    const int perRun = int(envNumber("TARNWICK_STRESS_RUN_LENGTH", 400));

    long long total = 0;
    int runs = 0;
    int ended = 0;
    for (std::uint64_t run = 0; total < wanted; ++run) {
        const std::uint64_t runSeed = onlyRun ? onlyRun : seed * 1000003u + run;
        const std::vector<Event> events = randomEvents(runSeed, perRun);
        const Outcome outcome = play(events);
        total += outcome.eventsPlayed;
        ++runs;
        ended += outcome.ended ? 1 : 0;
        if (outcome.failure) {
            const std::vector<Event> failing(events.begin(), events.begin() + outcome.eventsPlayed);
            const Outcome shrunk = play(shrink(failing, 300));
            ADD_FAILURE() << *outcome.failure << "\nrun seed " << runSeed << " (TARNWICK_STRESS_SEED=" << seed
                          << ", run " << run << "), after " << outcome.eventsPlayed << " events.\n"
                          << "Shrunk to " << shrunk.played.size() << " events, failing with: "
                          << shrunk.failure.value_or("(passes when replayed)") << "\n"
                          << listing(shrunk.played);
            return;
        }
        if (onlyRun)
            return;
    }
    // The generator itself: most runs end the program, and the runs together see the whole tree.
    EXPECT_GT(ended, runs / 2) << "only " << ended << " of " << runs << " runs ended the program";
    int recommendations = 0;
    for (const tree::TreeNode &node : tree::nodes()) {
        for (const tree::TreeOption &option : node.options)
            recommendations += option.outcome.text && shownTexts.contains(toQString(*option.outcome.text)) ? 1 : 0;
    }
    std::printf("%lld events in %d runs, %d of them ended by the user; %d of 16 nodes visited, "
                "%d options' recommendations shown\n",
                total, runs, ended, int(nodesVisited.size()), recommendations);
    if (total >= 10000)
        EXPECT_EQ(nodesVisited.size(), tree::kNodeCount);
}

} // namespace
