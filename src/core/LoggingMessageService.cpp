#include "core/LoggingMessageService.h"

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

QString LoggingMessageService::escapeField(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            out += u"\\\\";
            break;
        case u'\r':
            out += u"\\r";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'\t':
            out += u"\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void LoggingMessageService::append(const QStringList &fields)
{
    QStringList escaped;
    for (const QString &f : fields)
        escaped.append(escapeField(f));
    QFile file(m_logPath);
    // The log is for scripted checks; a log that cannot be written must not stop the program.
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write((escaped.join(u'\t') + u'\n').toUtf8());
}
