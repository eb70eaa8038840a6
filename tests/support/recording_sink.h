// Test helpers: a message sink that records instead of opening a modal box, and a fixture
// with a navigator of its own, every screen registered, that notices when the program would end.
#pragma once

#include "widgets/message_box.h"
#include "shell/module1.h"
#include "shell/navigator.h"
#include "shell/screen_table.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

// Readable failures for Qt's strings.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

struct RecordedMessage {
    QPointer<QWidget> parent;
    QString parentName;
    QString text;
    MessageIcon icon;
};

class RecordingSink
{
public:
    RecordingSink()
    {
        m_previous = setMessageSink([this](QWidget *parent, const QString &text, MessageIcon icon) {
            messages.push_back({parent, parent ? parent->objectName() : QString(), text, icon});
            if (onMessage)
                onMessage(messages.back());
        });
    }
    ~RecordingSink() { setMessageSink(m_previous); }
    RecordingSink(const RecordingSink &) = delete;
    RecordingSink &operator=(const RecordingSink &) = delete;

    std::vector<RecordedMessage> messages;
    std::function<void(const RecordedMessage &)> onMessage;

private:
    MessageSink m_previous;
};

// Lets queued work (the end-of-program check, deferred deletes) run.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

class ScreensTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerScreens(navigator);
        navigator.setEndHandler([this] { ++ends; });
    }
    void TearDown() override
    {
        Module1::CloseAllScreens(navigator);
        settle();
    }

    Navigator &screens() { return navigator; }
    const Navigator &screens() const { return navigator; }

    template <typename T = QWidget>
    T *screen(const QString &name) const
    {
        return qobject_cast<T *>(navigator.find(name));
    }

    template <typename T = QWidget>
    T *control(const QString &screenName, const QString &controlName) const
    {
        QWidget *s = navigator.find(screenName);
        return s ? s->findChild<T *>(controlName) : nullptr;
    }

    Navigator navigator;
    RecordingSink sink;
    int ends = 0;
};
