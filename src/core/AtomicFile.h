#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

// Writes a whole file so that it is either replaced completely or left as it was: the data goes
// to a temporary file beside it, which then takes the old file's place.
namespace AtomicFile {

struct Result
{
    bool ok = true;
    QFileDevice::FileError error = QFileDevice::NoError;
    QString errorString;
};

Result write(const QString &path, const QByteArray &data);

// Removes from `folder` what writes of the files `names` left when they were killed between
// naming their temporary file and renaming it: "<name>.XXXXXX" (six letters or digits), complete
// files nobody would remove. Only files modified `minAgeSeconds` ago or earlier go, since a write
// of another process may have named its file a moment ago. Returns how many were removed.
int removeLeftovers(const QString &folder, const QStringList &names, int minAgeSeconds);

} // namespace AtomicFile
