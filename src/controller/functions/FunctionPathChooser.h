#pragma once

#include <QString>

#include <optional>

// The dialogs that pick an external function's path; nothing when the user cancelled.
class FunctionPathChooser
{
public:
    virtual ~FunctionPathChooser() = default;
    // A program to start, beginning in `folder` with `current` as the proposed file.
    virtual std::optional<QString> chooseProgram(const QString &folder, const QString &current) = 0;
    virtual std::optional<QString> chooseFolder(const QString &folder) = 0;
};
