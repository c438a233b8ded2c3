#pragma once

#include <QByteArray>
#include <QString>

// Text files (bookmarks, file lists) come from this program or from Windows tools: a file that
// is valid UTF-8 (with or without a byte-order mark) is read as UTF-8, anything else as CP932.
// Files are written as UTF-8 so that no path is ever lost.
namespace TextFileCodec {

QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);
// Splits text into lines ending at CR LF or a lone CR; a lone LF does not end a line. A last
// line without an ending is kept.
QStringList splitCrLines(const QString &text);

} // namespace TextFileCodec
