#include "imagelist/BookmarkFile.h"

#include "core/AtomicFile.h"
#include "core/TextFileCodec.h"
#include "core/UserFileReader.h"

namespace BookmarkFile {

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString filesHeader = QStringLiteral("[Files]");
// As for file lists: far more paths than any show holds.
constexpr qint64 maxBookmarkBytes = qint64(256) << 20;

// Where the line holding `from` ends: the next line ending, or the end of the text.
qsizetype endOfLine(const QString &text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && TextFileCodec::lineEndAt(text, end) == 0)
        ++end;
    return end;
}

// The value after `key` up to the end of its line, when the key comes before `limit`. Lines
// may end in CR LF (as this program writes them), LF or CR.
std::optional<QString> valueBefore(const QString &text, const QString &key, qsizetype limit)
{
    const qsizetype at = text.indexOf(key);
    if (at < 0 || at >= limit)
        return std::nullopt;
    const qsizetype start = at + key.size();
    return text.mid(start, endOfLine(text, start) - start);
}

} // namespace

QByteArray format(int page, const QString &settingName, const QStringList &paths)
{
    QString text = QStringLiteral("Page=") + QString::number(page) + crlf
        + QStringLiteral("SettingName=") + settingName + crlf + crlf + filesHeader + crlf;
    for (const QString &p : paths)
        text += p + crlf;
    return TextFileCodec::encode(text);
}

std::optional<Contents> parse(const QString &text)
{
    const qsizetype files = text.indexOf(filesHeader);
    if (files < 0)
        return std::nullopt;
    Contents c;
    if (const auto page = valueBefore(text, QStringLiteral("Page="), files)) {
        bool ok = false;
        c.page = page->trimmed().toInt(&ok);
        if (!ok) {
            // A fraction is rounded as a number would be; anything else is no bookmark.
            const double d = page->trimmed().toDouble(&ok);
            // Written so that "nan", which compares false with every bound, is refused too.
            if (!ok || !(d >= -2147483648.0 && d <= 2147483647.0))
                return std::nullopt;
            c.page = qRound(d);
        }
    }
    c.settingName = valueBefore(text, QStringLiteral("SettingName="), files);
    // The paths follow on the lines after the header's.
    const qsizetype headerEnd = endOfLine(text, files + filesHeader.size());
    const qsizetype first = headerEnd + TextFileCodec::lineEndAt(text, headerEnd);
    for (QString &line : TextFileCodec::splitLines(text.mid(first))) {
        if (!line.isEmpty())
            c.paths.append(std::move(line));
    }
    return c;
}

std::optional<Contents> read(const QString &path)
{
    // Any file named on the command line is tried as a bookmark first; a movie of some
    // gigabytes must not be read whole to find out that it is none. "[Files]" comes after two
    // short lines, so it is in the first block of every bookmark.
    const auto head = UserFileReader::readStart(path, 64 * 1024);
    if (!head || !head->contains("[Files]"))
        return std::nullopt;
    const auto bytes = UserFileReader::read(path, maxBookmarkBytes);
    if (!bytes)
        return std::nullopt;
    return parse(TextFileCodec::decode(*bytes));
}

std::optional<WriteError> write(const QString &path, int page, const QString &settingName,
                                const QStringList &paths)
{
    const AtomicFile::Result r = AtomicFile::write(path, format(page, settingName, paths));
    if (r.ok)
        return std::nullopt;
    return WriteError { int(r.error), r.errorString };
}

} // namespace BookmarkFile
