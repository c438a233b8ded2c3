#pragma once

#include <QString>

#include <optional>

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

struct MessageRequest
{
    QString text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgResult defaultButton = MsgResult::Ok;
    QString caption = QStringLiteral("Lunetta");
};

// Every message box, question and input box of the program goes through this service, so
// that tests and scripted runs can see and answer them.
class MessageService
{
public:
    virtual ~MessageService() = default;
    virtual MsgResult show(const MessageRequest &request) = 0;
    // The text entered, or nothing when the user cancelled.
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &caption,
                                            const QString &defaultText)
        = 0;

    // Shorthands for the common forms.
    void error(const QString &text) { show({ text, MsgIcon::Error }); }
    void warning(const QString &text) { show({ text, MsgIcon::Warning }); }
    void inform(const QString &text) { show({ text, MsgIcon::None }); }
    // OK/Cancel question with Cancel as the default; true for OK.
    bool confirm(const QString &text)
    {
        return show({ text, MsgIcon::Question, MsgButtons::OkCancel, MsgResult::Cancel })
            == MsgResult::Ok;
    }

    static QString iconName(MsgIcon icon);
    static QString buttonsName(MsgButtons buttons);
    static QString resultName(MsgResult result);
};
