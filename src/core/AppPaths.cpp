#include "core/AppPaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

QString settingsFolder()
{
    const QString overridden = qEnvironmentVariable("LUNETTA_CONFIG_DIR");
    if (!overridden.isEmpty())
        return QDir(overridden).absolutePath();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("Lunetta"));
}

QString instanceLockPath(const QString &settingsFolder)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    // One lock per settings folder, so that separate settings folders (tests, portable use)
    // do not shut each other out.
    const QByteArray hash
        = QCryptographicHash::hash(settingsFolder.toUtf8(), QCryptographicHash::Sha1)
              .toHex()
              .left(12);
    return QDir(folder).filePath(QStringLiteral("Lunetta-") + QString::fromLatin1(hash)
                                 + QStringLiteral(".lock"));
}

} // namespace AppPaths
