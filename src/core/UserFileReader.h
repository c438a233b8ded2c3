#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The one way to read a file the user named or that comes from outside (a list, a bookmark, a
// play list, Wine's registry, the start of a picture or plug-in) without ever waiting on it:
// only a regular file is read, opened without blocking and checked again once open, so that a
// named pipe, a device or a folder is "not readable" at once instead of holding the program,
// and never more than a bound the caller gives.
namespace UserFileReader {

enum class Failure {
    NotRegular, // a folder, a pipe, a device
    CannotOpen, // missing, no permission
    TooLarge, // larger than the caller's bound
    ReadFailed, // the bytes read before the failure are kept
};

struct Result
{
    QByteArray bytes;
    std::optional<Failure> failure;
    int systemError = 0; // errno of a failed open or read

    // What the system says of a failed open or read, as QFile would say it.
    QString systemMessage() const;
};

// The whole file; refused as TooLarge when it is larger than `maxBytes`.
Result readFile(const QString &path, qint64 maxBytes);
// The file's bytes, at most `maxBytes`; nothing when it is no regular file, cannot be opened,
// cannot be read or is larger than that.
std::optional<QByteArray> read(const QString &path, qint64 maxBytes);
// The first `maxBytes` bytes of a regular file of any size (fewer when it is shorter);
// nothing when it is no regular file or cannot be opened.
std::optional<QByteArray> readStart(const QString &path, qint64 maxBytes);

} // namespace UserFileReader
