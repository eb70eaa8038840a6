#include "widgets/message_box.h"

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

} // namespace

void showMessage(QWidget *parent, const QString &text, MessageIcon icon)
{
    if (const MessageSink &sink = currentSink()) {
        sink(parent, text, icon);
        return;
    }
    const QPointer<QWidget> asking = parent;
    QMessageBox box(boxIcon(icon), kAppTitle, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("messageBox"));
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
