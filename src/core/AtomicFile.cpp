#include "core/AtomicFile.h"

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

} // namespace AtomicFile
