#include "core/PathFunctions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

bool IsFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString AddBackslash(QString &path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString AddBackslash(const QString &path)
{
    QString copy = path;
    return AddBackslash(copy);
}

QString RemoveBackslash(const QString &path)
{
    return path.endsWith(u'/') ? path.left(path.size() - 1) : path;
}

QString GetFileName(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.mid(slash + 1);
}

QString GetFolderPart(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString GetExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > path.lastIndexOf(u'/') ? path.mid(dot + 1) : QString();
}

QString QuoteIfNeeded(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u' '))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

namespace {

// The name under which `folder` stores `name`: the same name when it exists, else an entry
// that differs only in letter case; "" when there is none.
QString storedName(const QString &folder, const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return QString();
    const QString base = folder.isEmpty() ? QStringLiteral("/") : folder;
    if (QFileInfo::exists(QDir(base).filePath(name)))
        return name;
    const QStringList entries = QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                     | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

QString resolveComponents(const QString &path, bool skipMissing)
{
    const QString trimmed = RemoveBackslash(path);
    const qsizetype first = path.indexOf(u'/');
    if (first < 0)
        return QString();
    QString result = trimmed.left(first);
    const QStringList parts = trimmed.mid(first + 1).split(u'/');
    for (const QString &part : parts) {
        if (trimmed.size() <= first)
            break; // the path was the root alone
        const QString name = storedName(result, part);
        if (name.isEmpty()) {
            if (skipMissing)
                continue;
            return QString();
        }
        result += u'/' + name;
    }
    if (result.isEmpty())
        result = QStringLiteral("/");
    return QFileInfo::exists(result) ? result : QString();
}

} // namespace

QString GetLongPath(const QString &path)
{
    return resolveComponents(path, false);
}

QString normalisePath(const QString &path)
{
    return resolveComponents(path, true);
}

bool SearchPathFile(const QString &name)
{
    if (name.isEmpty())
        return false;
    if (name.contains(u'/'))
        return QFileInfo(name).isFile();
    QStringList folders { QCoreApplication::applicationDirPath(), QDir::currentPath() };
    folders += QString::fromLocal8Bit(qgetenv("PATH")).split(u':', Qt::SkipEmptyParts);
    for (const QString &folder : folders) {
        if (!folder.isEmpty() && QFileInfo(QDir(folder).filePath(name)).isFile())
            return true;
    }
    return false;
}

QString absoluteArgumentPath(const QString &path)
{
    if (path.isEmpty())
        return path;
    // "..", "." and doubled separators are resolved here: the later look-ups of each
    // component only know names that a folder lists. A folder keeps its trailing "/".
    QString clean = QDir::cleanPath(
        QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path));
    if (path.endsWith(u'/') && !clean.endsWith(u'/'))
        clean += u'/';
    return clean;
}
