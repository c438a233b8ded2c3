#include "controller/music/MusicPlayList.h"

#include "core/TextFileCodec.h"
#include "core/UserFileReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <map>

namespace MusicPlayList {

namespace {

// An entry line as written: absolute path, relative path, file:// URL or another URL.
QString resolve(QString entry, const QString &folder)
{
    entry = entry.trimmed();
    if (entry.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(entry).toLocalFile();
    // Other URLs (http://, cdda://) go to the backend as they are; a drive letter is no URL.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    if (scheme.match(entry).hasMatch())
        return entry;
    // Lists written on Windows separate folders with "\".
    entry.replace(u'\\', u'/');
    if (QDir::isAbsolutePath(entry))
        return QDir::cleanPath(entry);
    return QDir::cleanPath(folder + u'/' + entry);
}

QStringList lines(const QByteArray &bytes)
{
    QString text = TextFileCodec::decode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text.split(u'\n');
}

std::vector<MusicEntry> parseM3u(const QStringList &all, const QString &folder)
{
    std::vector<MusicEntry> entries;
    QString title;
    for (const QString &raw : all) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'#')) {
            // "#EXTINF:seconds,title" names the entry that follows; other # lines are comments.
            if (line.startsWith(QLatin1String("#EXTINF:"), Qt::CaseInsensitive)) {
                const qsizetype comma = line.indexOf(u',');
                title = comma >= 0 ? line.mid(comma + 1).trimmed() : QString();
            }
            continue;
        }
        const QString source = resolve(line, folder);
        entries.push_back({ source, title.isEmpty() ? defaultTitle(source) : title });
        title.clear();
    }
    return entries;
}

std::vector<MusicEntry> parsePls(const QStringList &all, const QString &folder)
{
    // Entries are numbered and may come in any order; NumberOfEntries, when given, bounds them.
    std::map<int, QString> files;
    std::map<int, QString> titles;
    int declared = -1;
    static const QRegularExpression key(QStringLiteral("^(File|Title)(\\d+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (const QString &raw : all) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString name = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (name.compare(QLatin1String("NumberOfEntries"), Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (ok && n >= 0)
                declared = n;
            continue;
        }
        const QRegularExpressionMatch m = key.match(name);
        if (!m.hasMatch() || value.isEmpty())
            continue;
        const int index = m.captured(2).toInt();
        if (m.captured(1).compare(QLatin1String("File"), Qt::CaseInsensitive) == 0)
            files[index] = value;
        else
            titles[index] = value;
    }
    std::vector<MusicEntry> entries;
    for (const auto &[index, file] : files) {
        if (declared >= 0 && index > declared)
            break;
        const QString source = resolve(file, folder);
        const auto t = titles.find(index);
        entries.push_back({ source, t != titles.end() ? t->second : defaultTitle(source) });
    }
    return entries;
}

} // namespace

bool isPlayList(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"m3u" || suffix == u"m3u8" || suffix == u"pls";
}

std::vector<MusicEntry> read(const QString &path)
{
    // A named pipe given as the play list held the whole program in open(); a play list of
    // more than 64 MiB is no play list.
    const auto bytes = UserFileReader::read(path, qint64(64) << 20);
    if (!bytes)
        return {};
    const QFileInfo info(path);
    return parse(*bytes, info.absolutePath(), info.suffix().toLower() == u"pls");
}

std::vector<MusicEntry> parse(const QByteArray &bytes, const QString &folder, bool pls)
{
    const QStringList all = lines(bytes);
    return pls ? parsePls(all, folder) : parseM3u(all, folder);
}

QString defaultTitle(const QString &source)
{
    if (source.contains(QLatin1String("://")))
        return source;
    return QFileInfo(source).completeBaseName();
}

} // namespace MusicPlayList
