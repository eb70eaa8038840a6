// Every screen and message box as a doctor sees it, each window at its place on the 1024 x 768
// display, compared with its reference picture in tests/data/screens/.
// TARNWICK_RENEW_SCREENS=1 writes the references afresh instead (see the README).
#include "recording_sink.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

const QString kReferences = QStringLiteral(TARNWICK_SCREENS_DIR);
const QString kFailures = QStringLiteral(TARNWICK_LOOK_OUT);

// Anti-aliasing may differ by a few pixels between machines; a changed colour, word, icon, place
// or size changes far more.
constexpr int kChannelTolerance = 48;
constexpr int kPixelTolerance = 1024 * 768 / 10000;

QImage onDisplay(QWidget *window)
{
    QImage display(1024, 768, QImage::Format_RGB32);
    display.fill(Qt::black);
    QPainter(&display).drawPixmap(window->geometry().topLeft(), window->grab());
    return display;
}

bool differs(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) > kChannelTolerance || std::abs(qGreen(a) - qGreen(b)) > kChannelTolerance
           || std::abs(qBlue(a) - qBlue(b)) > kChannelTolerance;
}

void expectLooksLike(const QString &name, QWidget *window)
{
    ASSERT_NE(window, nullptr) << name.toStdString();
    const QImage actual = onDisplay(window);
    const QString reference = kReferences + QLatin1Char('/') + name + QStringLiteral(".png");
    if (qEnvironmentVariableIsSet("TARNWICK_RENEW_SCREENS")) {
        QDir().mkpath(kReferences);
        ASSERT_TRUE(actual.save(reference)) << reference.toStdString();
        return;
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    QImage diff = actual.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    if (expected.size() == actual.size()) {
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                if (differs(actual.pixel(x, y), expected.pixel(x, y))) {
                    ++differing;
                    diff.setPixel(x, y, qRgb(255, 0, 0));
                }
            }
        }
    }
    if (expected.size() == actual.size() && differing <= kPixelTolerance)
        return;
    QDir().mkpath(kFailures);
    const QString actualPath = kFailures + QLatin1Char('/') + name + QStringLiteral("-actual.png");
    const QString diffPath = kFailures + QLatin1Char('/') + name + QStringLiteral("-diff.png");
    actual.save(actualPath);
    diff.save(diffPath);
    ADD_FAILURE() << "screen " << name.toStdString() << " looks different from " << reference.toStdString()
                  << (expected.isNull() ? " (no reference)" : "") << ": " << differing << " pixels differ by more than "
                  << kChannelTolerance << " (at most " << kPixelTolerance << " may)\n  actual: "
                  << actualPath.toStdString() << "\n  diff (differing pixels red): " << diffPath.toStdString();
}

class Look : public ScreensTest
{
protected:
    QWidget *show(const QString &name)
    {
        QWidget *w = screens().show(name);
        settle();
        return w;
    }

    QPushButton *button(const QString &screenName, const char *name) const
    {
        return control<QPushButton>(screenName, QString::fromLatin1(name));
    }

    // Presses the button as a doctor would, with the real message box, and pictures the box.
    void expectBoxLooksLike(const QString &name, QPushButton *pressed)
    {
        ASSERT_NE(pressed, nullptr);
        const MessageSink previous = setMessageSink({});
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr) << name.toStdString() << ": no box open";
            seen = true;
            expectLooksLike(name, box);
            box->done(QDialog::Accepted);
        });
        pressed->click();
        setMessageSink(previous);
        EXPECT_TRUE(seen) << name.toStdString();
    }
};

TEST_F(Look, TheSplashScreenWithItsPicture)
{
    QWidget *splash = show(screenName::splash);
    auto *logo = splash->findChild<QLabel *>(QStringLiteral("imgLogo"));
    ASSERT_NE(logo, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([logo] { return !logo->pixmap().isNull(); })) << "imgLogo shows no picture";
    expectLooksLike(QStringLiteral("splash"), splash);
}

TEST_F(Look, TheTopicScreenAndItsMessages)
{
    QWidget *topics = show(screenName::topics);
    expectLooksLike(QStringLiteral("topics"), topics);
    expectBoxLooksLike(QStringLiteral("topics-nothing-selected"), button(screenName::topics, "cmdOK"));

    auto *combo = control<QComboBox>(screenName::topics, QStringLiteral("Combo1"));
    combo->setCurrentIndex(0);
    expectBoxLooksLike(QStringLiteral("topics-other-topic"), button(screenName::topics, "cmdOK"));
    combo->setCurrentIndex(2);
    settle();
    expectLooksLike(QStringLiteral("topics-amenorrhea-primary"), topics);
}

TEST_F(Look, EveryQuestionScreenWithNothingChosen)
{
    for (int n = 1; n <= 16; ++n)
        expectLooksLike(QStringLiteral("node%1").arg(n, 2, 10, QLatin1Char('0')), show(screenName::node(n)));
}

TEST_F(Look, TheQuestionScreensMessages)
{
    show(screenName::node(1));
    expectBoxLooksLike(QStringLiteral("node-nothing-selected"), button(screenName::node(1), "cmdOK"));
    show(screenName::node(4));
    control<QRadioButton>(screenName::node(4), QStringLiteral("opt1"))->setChecked(true);
    expectBoxLooksLike(QStringLiteral("node04-recommendation"), button(screenName::node(4), "cmdOK"));
}

TEST_F(Look, AboutAndItsMessage)
{
    show(screenName::topics);
    QWidget *about = show(screenName::about);
    expectLooksLike(QStringLiteral("about"), about);
    expectBoxLooksLike(QStringLiteral("about-system-information"), button(screenName::about, "cmdSysInfo"));
}

TEST_F(Look, HelpsTwoTabs)
{
    show(screenName::topics);
    QWidget *help = show(screenName::help);
    auto *tabs = help->findChild<QTabWidget *>(QStringLiteral("tabHelp"));
    ASSERT_NE(tabs, nullptr);
    expectLooksLike(QStringLiteral("help-how-to-use"), help);
    tabs->setCurrentIndex(1);
    settle();
    expectLooksLike(QStringLiteral("help-decision-tree"), help);
}

} // namespace
