#include "core/FileError.h"

MessageRequest FileError::message() const
{
    return { QStringLiteral("Error") + QString::number(number) + QStringLiteral("\r\n")
                 + description,
             MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok, QStringLiteral("Error-Lunetta") };
}
