#include "core/LoggingMessageService.h"

#include "core/BackslashEscapes.h"

#include <QFile>

LoggingMessageService::LoggingMessageService(const QString &logPath)
    : m_logPath(logPath)
{ }

MsgResult LoggingMessageService::show(const MessageRequest &request)
{
    append({ QStringLiteral("message"), iconName(request.icon), request.caption,
             buttonsName(request.buttons), resultName(request.defaultButton), request.text });
    return request.defaultButton;
}

std::optional<QString> LoggingMessageService::inputBox(const QString &prompt,
                                                       const QString &caption,
                                                       const QString &defaultText)
{
    append({ QStringLiteral("input"), iconName(MsgIcon::None), caption,
             buttonsName(MsgButtons::OkCancel), defaultText, prompt });
    return defaultText;
}

void LoggingMessageService::append(const QStringList &fields)
{
    QStringList escaped;
    for (const QString &f : fields)
        escaped.append(BackslashEscapes::escapeLines(f));
    QFile file(m_logPath);
    // The log is for scripted checks; a log that cannot be written must not stop the program.
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write((escaped.join(u'\t') + u'\n').toUtf8());
}
