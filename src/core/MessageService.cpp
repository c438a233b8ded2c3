#include "core/MessageService.h"

QString MessageService::iconName(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::None:
        return QStringLiteral("none");
    case MsgIcon::Information:
        return QStringLiteral("information");
    case MsgIcon::Warning:
        return QStringLiteral("warning");
    case MsgIcon::Error:
        return QStringLiteral("error");
    case MsgIcon::Question:
        return QStringLiteral("question");
    }
    return QString();
}

QString MessageService::buttonsName(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return QStringLiteral("ok");
    case MsgButtons::OkCancel:
        return QStringLiteral("ok-cancel");
    case MsgButtons::YesNo:
        return QStringLiteral("yes-no");
    case MsgButtons::YesNoCancel:
        return QStringLiteral("yes-no-cancel");
    }
    return QString();
}

QString MessageService::resultName(MsgResult result)
{
    switch (result) {
    case MsgResult::Ok:
        return QStringLiteral("ok");
    case MsgResult::Cancel:
        return QStringLiteral("cancel");
    case MsgResult::Yes:
        return QStringLiteral("yes");
    case MsgResult::No:
        return QStringLiteral("no");
    }
    return QString();
}
