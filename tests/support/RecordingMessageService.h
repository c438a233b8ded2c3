#pragma once

#include "core/MessageService.h"

#include <QList>
#include <QQueue>

#include <functional>

// Records every message and answers from a queue of prepared answers (else the default
// button); input boxes answer from their own queue (else the default text).
class RecordingMessageService : public MessageService
{
public:
    MsgResult show(const MessageRequest &request) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &caption,
                                    const QString &defaultText) override;

    QList<MessageRequest> messages;
    QStringList prompts;
    QQueue<MsgResult> answers;
    QQueue<std::optional<QString>> inputs;
    // Runs while a message is on screen, before it is answered (what the program does under it).
    std::function<void()> whileShowing;

    QStringList texts() const;
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
};
