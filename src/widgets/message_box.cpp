#include "widgets/message_box.h"

#include <QMessageBox>

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
    QMessageBox box(boxIcon(icon), kAppTitle, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}

MessageSink setMessageSink(MessageSink sink)
{
    return std::exchange(currentSink(), std::move(sink));
}
