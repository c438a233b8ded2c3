#include "RecordingMessageService.h"

MsgResult RecordingMessageService::show(const MessageRequest &request)
{
    messages.append(request);
    if (whileShowing)
        whileShowing();
    return answers.isEmpty() ? request.defaultButton : answers.dequeue();
}

std::optional<QString> RecordingMessageService::inputBox(const QString &prompt,
                                                         const QString &caption,
                                                         const QString &defaultText)
{
    Q_UNUSED(caption);
    prompts.append(prompt);
    return inputs.isEmpty() ? std::optional<QString>(defaultText) : inputs.dequeue();
}

QStringList RecordingMessageService::texts() const
{
    QStringList t;
    for (const auto &m : messages)
        t.append(m.text);
    return t;
}
