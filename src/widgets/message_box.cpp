#include "widgets/message_box.h"

#include <QAbstractButton>
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

static_assert(int(MessageIcon::None) == QMessageBox::NoIcon && int(MessageIcon::Information) == QMessageBox::Information
              && int(MessageIcon::Exclamation) == QMessageBox::Warning);

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
    MessageBox box(QMessageBox::Icon(icon), QStringLiteral("Tarnwick"), text, QMessageBox::Ok, parent);
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
