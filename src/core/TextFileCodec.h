#pragma once

#include <QByteArray>
#include <QString>

// Text files (bookmarks, file lists) come from this program or from Windows tools: a file that
// is valid UTF-8 (with or without a byte-order mark) is read as UTF-8, anything else as CP932.
// Files are written as UTF-8 so that no path is ever lost.
namespace TextFileCodec {

QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);
// Splits text into lines ending at CR LF, LF or CR: files come from Windows tools (CR LF), from
// Linux editors and commands such as `ls > list.txt` (LF) and from old Macs (CR). A last line
// without an ending is kept.
QStringList splitLines(const QString &text);
// The length of the line ending at `pos` (2 for CR LF, 1 for LF or CR), 0 where none begins.
int lineEndAt(const QString &text, qsizetype pos);
// Whether the text ends with a line ending, so that its last line is whole.
bool endsWithLineEnd(const QString &text);

} // namespace TextFileCodec
