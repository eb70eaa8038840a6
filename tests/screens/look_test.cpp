// What a doctor sees: every screen and message box pictured at its place on the 1024 x 768 display
// and compared with tests/data/screens/qt<major>.<minor>/, the set for the Qt it runs on
// (TARNWICK_RENEW_SCREENS=1 renews them, see the README), and every text the screens show compared
// with the copy in tests/data/texts.json.
#include "recording_sink.h"
#include "widgets/picture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGraphicsView>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QVersionNumber>

namespace {

// Each Qt minor version sets text and draws buttons a little differently: one set of references each.
QString referencesFor(const char *qt)
{
    const QVersionNumber version = QVersionNumber::fromString(QString::fromLatin1(qt));
    return QStringLiteral(TARNWICK_SCREENS_DIR "/qt%1.%2").arg(version.majorVersion()).arg(version.minorVersion());
}

const QString kReferences = referencesFor(qVersion());
const QString kFailures = QStringLiteral(TARNWICK_LOOK_OUT);

// Anti-aliasing may differ by a few levels between machines on edges and glyphs, never on a flat
// area (a face, a background), where a colour 16 levels off (white for the light grey face) counts.
// A changed letter changes some thirty pixels; a colour, word, icon, place or size far more.
constexpr int kChannelTolerance = 48;
constexpr int kFlatTolerance = 8;
constexpr int kPixelTolerance = 16;

QImage onDisplay(QWidget *window)
{
    QImage display(1024, 768, QImage::Format_RGB32);
    display.fill(Qt::black);
    QPainter(&display).drawPixmap(window->geometry().topLeft(), window->grab());
    return display;
}

bool differs(QRgb a, QRgb b, int tolerance)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))})
           > tolerance;
}

// Whether the pixel and the eight round it are of one colour.
bool flatAt(const QImage &image, int x, int y)
{
    for (int i = 0; i < 9; ++i) {
        const int nearX = x + i % 3 - 1, nearY = y + i / 3 - 1;
        if (image.valid(nearX, nearY) && image.pixel(nearX, nearY) != image.pixel(x, y))
            return false;
    }
    return true;
}

// All a scroll area holds as a user pages through it, across and down: its views side by side.
QImage pagedThrough(QAbstractScrollArea *area)
{
    const auto stops = [](const QScrollBar *bar) {
        QList<int> at{bar->minimum()};
        while (at.last() < bar->maximum())
            at << std::min(at.last() + bar->pageStep(), bar->maximum());
        return at;
    };
    const QList<int> across = stops(area->horizontalScrollBar()), down = stops(area->verticalScrollBar());
    const QSize page = area->viewport()->size();
    QImage all(page.width() * int(across.size()), page.height() * int(down.size()), QImage::Format_RGB32);
    QPainter painter(&all);
    for (qsizetype i = 0; i < across.size(); ++i) {
        for (qsizetype j = 0; j < down.size(); ++j) {
            area->horizontalScrollBar()->setValue(across[i]);
            area->verticalScrollBar()->setValue(down[j]);
            painter.drawPixmap(int(i) * page.width(), int(j) * page.height(), area->viewport()->grab());
        }
    }
    return all;
}

void expectLooksLike(const QString &name, const QImage &actual)
{
    const QString reference = kReferences + QLatin1Char('/') + name + QStringLiteral(".png");
    if (qEnvironmentVariableIsSet("TARNWICK_RENEW_SCREENS")) {
        QDir().mkpath(kReferences);
        ASSERT_TRUE(actual.save(reference)) << reference.toStdString();
        return;
    }
    if (!QDir(kReferences).exists()) {
        ADD_FAILURE() << "no reference pictures for Qt " << qVersion() << " in " << kReferences.toStdString()
                      << "; render them on this Qt, review them and commit them:\n"
                         "  TARNWICK_RENEW_SCREENS=1 ctest --preset dev -L look";
        return;
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    QImage diff = actual.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    if (expected.size() == actual.size()) {
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const QRgb now = actual.pixel(x, y), was = expected.pixel(x, y);
                if (differs(now, was, kChannelTolerance)
                    || (differs(now, was, kFlatTolerance) && flatAt(expected, x, y))) {
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
                  << kChannelTolerance << " (" << kFlatTolerance << " on a flat area; at most " << kPixelTolerance
                  << " may)\n  actual: "
                  << actualPath.toStdString() << "\n  diff (differing pixels red): " << diffPath.toStdString();
}

void expectLooksLike(const QString &name, QWidget *window)
{
    ASSERT_NE(window, nullptr) << name.toStdString();
    expectLooksLike(name, onDisplay(window));
}

class Look : public ScreensTest
{
protected:
    QWidget *show(const QString &name)
    {
        QWidget *w = screens().show(name);
        // The picture comes from a worker.
        auto *picture = screens().findChild<PictureLoader *>();
        EXPECT_TRUE(QTest::qWaitFor([picture] { return picture->waiting() == 0; }));
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
        QTimer inTheBox;  // goes with this call, should no box open
        inTheBox.setSingleShot(true);
        QObject::connect(&inTheBox, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                seen = true;
                expectLooksLike(name, box);
                box->done(QDialog::Accepted);
            }
        });
        inTheBox.start(0);
        pressed->click();
        setMessageSink(previous);
        EXPECT_TRUE(seen) << name.toStdString() << ": no message box opened";
    }
};

TEST_F(Look, TheSplashScreenWithItsPicture)
{
    QWidget *splash = show(screenName::kSplash);
    auto *logo = splash->findChild<QLabel *>(QStringLiteral("imgLogo"));
    ASSERT_TRUE(logo && QTest::qWaitFor([logo] { return !logo->pixmap().isNull(); })) << "imgLogo shows no picture";
    expectLooksLike(QStringLiteral("splash"), splash);
}

TEST_F(Look, TheTopicScreenAndItsMessages)
{
    QWidget *topics = show(screenName::kTopics);
    expectLooksLike(QStringLiteral("topics"), topics);
    expectBoxLooksLike(QStringLiteral("topics-nothing-selected"), button(screenName::kTopics, "cmdOK"));

    auto *combo = control<QComboBox>(screenName::kTopics, QStringLiteral("Combo1"));
    combo->setCurrentIndex(0);
    expectBoxLooksLike(QStringLiteral("topics-other-topic"), button(screenName::kTopics, "cmdOK"));
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
    show(screenName::kTopics);
    QWidget *about = show(screenName::kAbout);
    expectLooksLike(QStringLiteral("about"), about);
    expectBoxLooksLike(QStringLiteral("about-system-information"), button(screenName::kAbout, "cmdSysInfo"));
}

// Each tab at its top, then all it holds as a user pages through it.
TEST_F(Look, HelpsTwoTabs)
{
    show(screenName::kTopics);
    QWidget *help = show(screenName::kHelp);
    auto *tabs = help->findChild<QTabWidget *>(QStringLiteral("tabHelp"));
    ASSERT_NE(tabs, nullptr);
    expectLooksLike(QStringLiteral("help-how-to-use"), help);
    expectLooksLike(QStringLiteral("help-how-to-use-paged"), pagedThrough(help->findChild<QTextBrowser *>()));
    tabs->setCurrentIndex(1);
    settle();
    expectLooksLike(QStringLiteral("help-decision-tree"), help);
    expectLooksLike(QStringLiteral("help-decision-tree-paged"), pagedThrough(help->findChild<QGraphicsView *>()));
}

// The copy of every text, typed from the design, not taken from the program.
const QJsonObject &copy()
{
    static const QJsonObject texts = [] {
        QFile file(QStringLiteral(TARNWICK_TEXTS));
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    }();
    return texts;
}

// What a control shows, by its name: a label's or button's text, the list's text field, the
// window's caption; "name.toolTip" its tooltip.
QString shown(QWidget *screen, const QString &key)
{
    const QString name = key.section(QLatin1Char('.'), 0, 0);
    QWidget *w = name == QLatin1String("caption") ? screen : screen->findChild<QWidget *>(name);
    if (!w)
        return QStringLiteral("<no control>");
    if (key.endsWith(QLatin1String(".toolTip")))
        return w->toolTip();
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->text();
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->currentText();
    return w->windowTitle();
}

class Texts : public Look
{
protected:
    void expectShows(QWidget *screen, const QJsonObject &texts)
    {
        ASSERT_NE(screen, nullptr);
        for (auto it = texts.begin(); it != texts.end(); ++it)
            EXPECT_EQ(shown(screen, it.key()), it.value().toString()) << screen->objectName().toStdString() << " " << it.key().toStdString();
    }

    QString message(const QString &screenName, const char *button)
    {
        sink.messages.clear();
        this->button(screenName, button)->click();
        return sink.messages.size() == 1 ? sink.messages[0].text : QStringLiteral("<%1 messages>").arg(sink.messages.size());
    }
};

TEST_F(Texts, TheSplashTopicAndAboutScreensAndTheirMessages)
{
    ASSERT_EQ(copy()[u"topics"].toArray().size(), 53) << "no copy at " TARNWICK_TEXTS;
    const QJsonObject screenTexts = copy()[u"screens"].toObject();
    for (const QString &name : {screenName::kSplash, screenName::kTopics, screenName::kAbout})
        expectShows(show(name), screenTexts.value(name).toObject());

    const QJsonObject messages = copy()[u"messages"].toObject();
    EXPECT_EQ(message(screenName::kTopics, "cmdOK"), messages[u"topicNothingSelected"].toString());
    EXPECT_EQ(message(screenName::kAbout, "cmdSysInfo"), messages[u"systemInformation"].toString());

    auto *combo = control<QComboBox>(screenName::kTopics, QStringLiteral("Combo1"));
    const QJsonArray topics = copy()[u"topics"].toArray();
    EXPECT_EQ(combo->count(), topics.size());
    for (int i = 0; i < std::min(int(topics.size()), combo->count()); ++i)
        EXPECT_EQ(combo->itemText(i), topics[i].toString()) << "topic " << i;
}

// Each node's texts, its options in screen order and tab order, and where each option leads.
TEST_F(Texts, EveryNodeItsOptionsAndWhereTheyLead)
{
    const QString nothingSelected = copy()[u"messages"].toObject()[u"nodeNothingSelected"].toString();
    for (const QJsonValue &value : copy()[u"nodes"].toArray()) {
        const QJsonObject node = value.toObject();
        const QString name = screenName::node(node[u"node"].toInt());
        SCOPED_TRACE(name.toStdString());
        screens().show(screenName::kTopics)->hide();
        QWidget *w = screens().show(name);
        expectShows(w, copy()[u"everyNode"].toObject());
        expectShows(w, node[u"texts"].toObject());
        EXPECT_EQ(message(name, "cmdOK"), nothingSelected);

        QStringList tabs;
        for (QWidget *at = button(name, "cmdOK"); tabs.size() < 20 && (tabs.isEmpty() || at != button(name, "cmdOK"));
             at = at->nextInFocusChain()) {
            if (at->focusPolicy() & Qt::TabFocus)
                tabs << at->objectName();
        }
        EXPECT_EQ(tabs, node[u"tabs"].toVariant().toStringList());

        // Screen order: top to bottom, the left column before the right.
        QList<QRadioButton *> onScreen = w->findChildren<QRadioButton *>();
        std::sort(onScreen.begin(), onScreen.end(), [](QWidget *a, QWidget *b) {
            return std::pair(a->x(), a->y()) < std::pair(b->x(), b->y());
        });
        const QJsonArray options = node[u"options"].toArray();
        QStringList expected, actual;
        for (const QJsonValue &option : options)
            expected << option[u"control"].toString() + u' ' + option[u"caption"].toString();
        for (QRadioButton *radio : onScreen)
            actual << radio->objectName() + u' ' + radio->text();
        EXPECT_EQ(actual, expected);

        for (const QJsonValue &value : options) {
            const QJsonObject option = value.toObject();
            SCOPED_TRACE(option[u"caption"].toString().toStdString());
            screens().show(screenName::kTopics)->hide();
            auto *radio = control<QRadioButton>(screens().show(name)->objectName(), option[u"control"].toString());
            ASSERT_NE(radio, nullptr);
            radio->setChecked(true);
            const QString shownText = message(name, "cmdOK");
            const int next = option[u"next"].toInt(-1);
            if (next > 0) {
                EXPECT_EQ(screens().loadedNames(), (QStringList{screenName::kTopics, screenName::node(next)}));
                EXPECT_TRUE(sink.messages.empty());
            } else if (next == 0) {
                EXPECT_EQ(screens().loadedNames(), QStringList{screenName::kTopics}) << "the tree ends at the topic list";
            } else {
                EXPECT_EQ(shownText, option[u"recommendation"].toString());
                EXPECT_TRUE(radio->isChecked());
            }
            Module1::CloseAllScreens(screens());
            settle();
        }
    }
}

} // namespace
