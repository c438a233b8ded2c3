#pragma once

#include <QString>

// One request to the file operation layer, in the form the three calls of modFileOperation
// build it: the operation, the source paths (several separated by NUL, the list ending in two
// NULs), the destination (copy and move) and the flags.
struct ShellRequest
{
    int operation = 0;
    QString source;
    QString destination;
    int flags = 0;
};

namespace ShellFile {

inline constexpr int FO_MOVE = 1;
inline constexpr int FO_COPY = 2;
inline constexpr int FO_DELETE = 3;

// With several sources the destination names one target per source, in the same order.
inline constexpr int FOF_MULTIDESTFILES = 0x01;
// Overwrite without asking; delete without asking.
inline constexpr int FOF_NOCONFIRMATION = 0x10;
// Delete to the trash rather than for good.
inline constexpr int FOF_ALLOWUNDO = 0x40;
// Create a missing destination folder without asking.
inline constexpr int FOF_NOCONFIRMMKDIR = 0x200;

// The result when the user declined a question or cancelled a copy; failures return the
// system's error number, success 0.
inline constexpr int resultCancelled = 1223;

} // namespace ShellFile
