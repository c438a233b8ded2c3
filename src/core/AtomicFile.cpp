#include "core/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace AtomicFile {

Result write(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    // Unbuffered, so that a failing write (a full disk) is seen by commit(): a buffered flush
    // that fails inside commit() is not, and the short file would replace the old one.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const qint64 written = file.write(data);
        if (written == data.size() && file.commit())
            return {};
        file.cancelWriting();
    }
    QFileDevice::FileError error = file.error();
    if (error == QFileDevice::NoError)
        error = QFileDevice::WriteError;
    return { false, error, file.errorString() };
}

int removeLeftovers(const QString &folder, const QStringList &names, int minAgeSeconds)
{
    // QSaveFile names its file "<name>.XXXXXX" with letters (digits where an older engine fills
    // the template) just before the rename.
    QStringList escaped;
    for (const QString &name : names)
        escaped.append(QRegularExpression::escape(name));
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        u"(?:"_qs + escaped.join(u'|') + u")\\.[A-Za-z0-9]{6}"_qs));
    const QDateTime newest = QDateTime::currentDateTimeUtc().addSecs(-minAgeSeconds);
    int removed = 0;
    const QDir dir(folder);
    for (const QFileInfo &info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!info.isSymLink() && temporary.match(info.fileName()).hasMatch()
            && info.lastModified().toUTC() <= newest && QFile::remove(info.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace AtomicFile
