#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a file the user named (a play list, a list, a bookmark) without ever waiting on it: only
// a regular file is read, opened without blocking and checked again once open, so that a named
// pipe, a device or a folder is "not readable" at once instead of holding the program.
namespace UserFileReader {

// The file's bytes, at most `maxBytes`; nothing when it is no regular file, cannot be opened
// or is larger than that.
std::optional<QByteArray> read(const QString &path, qint64 maxBytes);

} // namespace UserFileReader
