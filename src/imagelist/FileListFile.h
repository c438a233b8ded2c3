#pragma once

#include "core/FileError.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

// The file-list file: one path a line, each line ending in CR LF. The same format serves every
// extension (.txt, .lst, .kfl, .m3u): a "#" line is a path like any other.
namespace FileListFile {

struct ReadResult
{
    QStringList lines;
    std::optional<FileError> error;
};

// The accepted lines of a file: lines end at CR LF or at a lone CR; empty lines and lines
// beginning with ";" are skipped, every other line is taken verbatim. UTF-8 and CP932 files are
// both read. Only a regular file of at most 256 MiB is read; after a failed read, the lines wholly
// read before it are kept.
ReadResult read(const QString &path);
// The same for bytes already read; `cutShort` drops a last line without its ending.
ReadResult parse(const QByteArray &bytes, bool cutShort = false);

// Every line followed by CR LF, in UTF-8; nothing else.
QByteArray format(const QStringList &lines);

// Writes the file atomically: on failure the previous file is left as it was.
std::optional<FileError> write(const QString &path, const QStringList &lines);

} // namespace FileListFile
