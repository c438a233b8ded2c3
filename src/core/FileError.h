#pragma once

#include "core/MessageService.h"

#include <QString>

// A text file that could not be read or written, as the user is told about it.
struct FileError
{
    int number = 0;
    QString description;

    // "Error" + number, CR LF, the description, under "Error-Lunetta" with the error icon.
    MessageRequest message() const;
};
