#include "widgets/message_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>

namespace {

MessageSink &currentSink()
{
    static MessageSink sink;
    return sink;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Ctrl+C copies the whole box as text, the way boxes do on Windows, so that a doctor can paste
// a recommendation into the notes on any platform.
class MessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event != QKeySequence::Copy) {
            QMessageBox::keyPressEvent(event);
            return;
        }
        const QString rule = QStringLiteral("---------------------------\n");
        QString copied = rule + windowTitle() + u'\n' + rule + text() + u'\n' + rule;
        for (const QAbstractButton *button : buttons())
            copied += button->text() + QStringLiteral("   ");
        copied += u'\n' + rule;
        QGuiApplication::clipboard()->setText(copied);
    }
};

} // namespace

void showMessage(QWidget *parent, const QString &text, MessageIcon icon)
{
    if (const MessageSink &sink = currentSink()) {
        sink(parent, text, icon);
        return;
    }
    const QPointer<QWidget> asking = parent;
    MessageBox box(boxIcon(icon), kAppTitle, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
    // Back to the screen that asked, which a window manager may not pick by itself (it gave
    // the focus to the topic screen when the About screen's message closed).
    if (asking && asking->isVisible())
        asking->window()->activateWindow();
}

MessageSink setMessageSink(MessageSink sink)
{
    return std::exchange(currentSink(), std::move(sink));
}
