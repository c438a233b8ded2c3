#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

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

} // namespace AtomicFile
