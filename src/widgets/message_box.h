// Every message the program shows goes through here: modal, OK only, captioned "Tarnwick".
// Tests install a sink to see the text and icon without a modal loop.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// The values are the message box's own.
enum class MessageIcon { None, Information, Exclamation };

using MessageSink = std::function<void(QWidget *parent, const QString &text, MessageIcon icon)>;

// Shows the box and returns once the user has closed it.
void showMessage(QWidget *parent, const QString &text, MessageIcon icon = MessageIcon::None);

// Replaces where messages go; an empty sink restores the real box. Returns the previous sink.
MessageSink setMessageSink(MessageSink sink);
