#include "viewer/plugins/windows/WinePrefix.h"

#include "core/BackslashEscapes.h"
#include "core/UserFileReader.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

namespace {

// A registry text as Wine writes it into its .reg files: backslash escapes and \xHHHH.
QString unescape(QStringView text)
{
    return BackslashEscapes::unescape(text, [text](QChar letter, qsizetype &at, QString &out) {
        if (letter == u'x') {
            qsizetype j = at + 1;
            while (j < text.size() && j < at + 5 && isxdigit(text[j].toLatin1()))
                ++j;
            out += QChar(char16_t(text.mid(at + 1, j - at - 1).toUInt(nullptr, 16)));
            at = j - 1;
        } else if (letter == u'n') {
            out += u'\n';
        } else if (letter == u'0') {
            return false;
        } else {
            out += letter;
        }
        return true;
    });
}

// The entry of `folder` named `name` ignoring letter case; empty when there is none.
QString entryIgnoringCase(const QString &folder, const QString &name)
{
    if (QFileInfo::exists(folder + u'/' + name))
        return name;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                       | QDir::Hidden | QDir::System);
    for (const QString &e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    }
    return {};
}

} // namespace

QString WinePrefix::folder()
{
    const QString set = qEnvironmentVariable("WINEPREFIX");
    return set.isEmpty() ? QDir::homePath() + u"/.wine"_qs : set;
}

QString WinePrefix::toWinePath(const QString &unixPath)
{
    QString path = QDir::cleanPath(unixPath);
    path.replace(u'/', u'\\');
    return u"Z:"_qs + path;
}

QString WinePrefix::toUnixPath(const QString &prefix, const QString &windowsPath)
{
    QString path = windowsPath.trimmed();
    if (path.size() < 2 || path[1] != u':' || !path[0].isLetter())
        return {};
    const QString drive = QDir(prefix).filePath(u"dosdevices/"_qs + path.left(2).toLower());
    QString current = QFileInfo(drive).canonicalFilePath();
    if (current.isEmpty())
        return {};
    for (const QString &part : path.mid(2).split(u'\\', Qt::SkipEmptyParts)) {
        const QString name = entryIgnoringCase(current, part);
        if (name.isEmpty())
            return {};
        current = (current == u"/" ? QString() : current) + u'/' + name;
    }
    return QFileInfo(current).isDir() ? current + u'/' : QString();
}

QString WinePrefix::susiePluginPath(const QString &prefix)
{
    // A registry of a long-used prefix holds some megabytes; far larger is no registry.
    const auto reg = UserFileReader::read(QDir(prefix).filePath(u"user.reg"_qs), qint64(64) << 20);
    if (!reg)
        return {};
    const QString key = u"[Software\\\\Kestrel\\\\Susie\\\\Plug-in]"_qs;
    bool inKey = false;
    for (const QByteArray &raw : reg->split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inKey = line.startsWith(key, Qt::CaseInsensitive);
            continue;
        }
        if (inKey && line.startsWith(u"\"Path\"=\"", Qt::CaseInsensitive) && line.endsWith(u'"'))
            return unescape(QStringView(line).mid(8, line.size() - 9));
    }
    return {};
}
