#pragma once

#include "core/MessageService.h"

// Appends every message to a log file instead of showing it and answers with the default
// button (an input box with its default text), so the real program can run unattended.
// One line per message: kind, icon, caption, buttons, answer and text, separated by tabs,
// with CR, LF, tab and backslash written as \r, \n, \t and \\.
class LoggingMessageService : public MessageService
{
public:
    explicit LoggingMessageService(const QString &logPath);

    MsgResult show(const MessageRequest &request) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &caption,
                                    const QString &defaultText) override;

private:
    void append(const QStringList &fields);

    QString m_logPath;
};
