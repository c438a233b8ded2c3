#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The bookmark file: the running list, the position on screen and the profile in use.
//
//   Page=<position>
//   SettingName=<profile>
//   (empty line)
//   [Files]
//   <one path a line>
//
// Every line ends in CR LF. Files are written as UTF-8; files written by Windows tools in
// CP932 are read as well.
namespace BookmarkFile {

struct Contents
{
    int page = 1;
    std::optional<QString> settingName; // none: the file names no profile
    QStringList paths;
};

QByteArray format(int page, const QString &settingName, const QStringList &paths);

// Nothing when the text holds no "[Files]" or its "Page=" is not a number.
std::optional<Contents> parse(const QString &text);

// Reads and parses a file; nothing when it cannot be read or is no bookmark.
std::optional<Contents> read(const QString &path);

struct WriteError
{
    int number = 0;
    QString description;
};

// Writes the file atomically: on failure the previous file is left as it was.
std::optional<WriteError> write(const QString &path, int page, const QString &settingName,
                                const QStringList &paths);

} // namespace BookmarkFile
