// How long the screens take on Qt's offscreen platform (or any other, by QT_QPA_PLATFORM): loading
// the topic screen, a step from one question to the next, a walk to a recommendation, closing every
// screen at once; and how much memory each screen and message box keeps each time it opens and closes.
#include "shell/screen_table.h"
#include "widgets/application.h"
#include "widgets/message_box.h"
#include "shell/module1.h"
#include "widgets/picture.h"
#include "shell/navigator.h"
#include "screens/question_screen.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <malloc.h>

namespace {

// The benchmarks share one navigator, as the program has one.
Navigator &screens()
{
    static Navigator navigator;
    return navigator;
}

// Lets the unloaded screens' deferred deletion and the end-of-program check run.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void answer(int node, const char *option)
{
    QWidget *screen = screens().find(screenName::node(node));
    screen->findChild<QRadioButton *>(QString::fromLatin1(option))->setChecked(true);
    screen->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    settle();
}

void closeAll()
{
    Module1::CloseAllScreens(screens());
    settle();
}

void BM_SplashScreenLoad(benchmark::State &state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(screens().show(QStringLiteral("frmSplash")));
        state.PauseTiming();
        closeAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SplashScreenLoad)->Unit(benchmark::kMillisecond);

// Sizing to the display, the 53 topics, the picture, and showing the window.
void BM_TopicScreenLoad(benchmark::State &state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(screens().show(QStringLiteral("frmStart")));
        state.PauseTiming();
        closeAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TopicScreenLoad)->Unit(benchmark::kMillisecond);

void BM_PictureDecode(benchmark::State &state)
{
    const std::filesystem::path path = picturePath();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadStretchedPicture(path, QSize(193, 217)));
}
BENCHMARK(BM_PictureDecode)->Unit(benchmark::kMillisecond);

// OK on node 1 with an answer that leads on: node 1 unloaded, node 2 loaded, sized and shown.
void BM_NodeTransition(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QWidget *first = screens().show(screenName::node(1));
        first->findChild<QRadioButton *>(QStringLiteral("optNormal"))->setChecked(true);
        QPushButton *ok = first->findChild<QPushButton *>(QStringLiteral("cmdOK"));
        state.ResumeTiming();

        ok->click();
        settle();

        state.PauseTiming();
        closeAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_NodeTransition)->Unit(benchmark::kMillisecond);

// Node 1 to the recommendation of node 4, as in the typical walk.
void BM_WalkToARecommendation(benchmark::State &state)
{
    for (auto _ : state) {
        screens().show(screenName::node(1));
        answer(1, "optNormal");
        answer(2, "optNormal");
        answer(3, "optPresent");
        answer(4, "opt1");
        state.PauseTiming();
        closeAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WalkToARecommendation)->Unit(benchmark::kMillisecond);

// The close-all-screens routine with every screen of the program loaded, the windows' deletion
// included.
void BM_CloseAllScreens(benchmark::State &state)
{
    QStringList names{QStringLiteral("frmSplash"), QStringLiteral("frmStart"), QStringLiteral("frmHelp"),
                      QStringLiteral("frmAbout")};
    for (int n = 1; n <= 16; ++n)
        names << screenName::node(n);
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString &name : names)
            screens().show(name);
        if (screens().loadedNames().size() != names.size())
            state.SkipWithError("not every screen loaded");
        state.ResumeTiming();
        closeAll();
    }
}
BENCHMARK(BM_CloseAllScreens)->Unit(benchmark::kMillisecond);

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

QPushButton *button(const QString &screen, const char *name)
{
    return screens().find(screen)->findChild<QPushButton *>(QString::fromLatin1(name));
}

// Shows a screen, then presses one of its buttons; a message box it opens is closed at once.
void press(const QString &screen, const char *name, const char *option = nullptr)
{
    screens().show(screen);
    settle();
    if (option)
        screens().find(screen)->findChild<QRadioButton *>(QString::fromLatin1(option))->setChecked(true);
    QTimer::singleShot(0, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->accept();
    });
    button(screen, name)->click();
    settle();
}

// One screen or box opened and closed, 1,000 times after 200 rounds to warm Qt's caches up; reports
// what each round kept of the heap (bytes in use) and of resident memory (VmRSS, whole pages).
void BM_GrowthPerRound(benchmark::State &state, const std::function<void()> &round)
{
    setMessageSink({});
    screens().show(screenName::kTopics);
    settle();
    for (int i = 0; i < 200; ++i)
        round();
    const long before = residentKilobytes();
    const size_t heapBefore = mallinfo2().uordblks;
    for (auto _ : state)
        round();
    const double rounds = double(state.iterations());
    state.counters["heap_per_round"] = (double(mallinfo2().uordblks) - double(heapBefore)) / rounds;
    state.counters["bytes_per_round"] = 1024.0 * double(residentKilobytes() - before) / rounds;
    state.counters["resident_kB"] = double(residentKilobytes());
    closeAll();
    setMessageSink([](QWidget *, const QString &, MessageIcon) {});
}

void registerGrowthBenchmarks()
{
    const std::pair<const char *, std::function<void()>> rounds[] = {
        {"splash", [] { screens().unload(screens().show(screenName::kSplash)); settle(); }},
        {"topics", [] {
             screens().unload(screens().find(screenName::kTopics));
             screens().show(screenName::kTopics);
             settle();
         }},
        {"help", [] { press(screenName::kHelp, "cmdClose"); }},
        {"about", [] { press(screenName::kAbout, "cmdOK"); }},
        {"nodes", [n = 0]() mutable { press(screenName::node(n++ % 16 + 1), "cmdHome"); }},  // each in turn, and Home
        {"warning_box", [] { press(screenName::kTopics, "cmdOK"); }},  // OK with no topic chosen
        {"recommendation_box", [] { press(screenName::node(4), "cmdOK", "opt1"); }},
    };
    for (const auto &[name, round] : rounds)
        benchmark::RegisterBenchmark((std::string("BM_GrowthPerRound/") + name).c_str(), BM_GrowthPerRound, round)
            ->Iterations(1000)->Unit(benchmark::kMillisecond);
}

// The offscreen platform says so each time a window is raised.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && !message.startsWith(QLatin1String("This plugin does not support")))
        fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TARNWICK_OFFSCREEN_CONFIG);
    Application app(argc, argv);
    registerScreens(screens());
    setMessageSink([](QWidget *, const QString &, MessageIcon) {});
    screens().setEndHandler([] {});

    registerGrowthBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
