#include "imagelist/FileListFile.h"

#include "core/AtomicFile.h"
#include "core/TextFileCodec.h"

#include <QFile>
#include <QFileInfo>

namespace FileListFile {

namespace {
// Far more than any list holds (millions of paths); what is read up to there is used.
constexpr qsizetype maxFileListBytes = qsizetype(256) << 20;
} // namespace

ReadResult read(const QString &path)
{
    ReadResult result;
    // Only regular files: a named pipe would block forever, a device such as /dev/zero never
    // ends. A missing file is left to open(), which says why.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        result.error = FileError { int(QFileDevice::OpenError),
                                   QStringLiteral("通常のファイルではありません: ") + path };
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = FileError { int(file.error()), file.errorString() };
        return result;
    }
    QByteArray bytes;
    for (;;) {
        // Chunks no larger than what is left, so that a short list costs no megabyte buffer.
        const QByteArray chunk
            = file.read(qBound<qint64>(4096, file.size() - bytes.size() + 1, qint64(1) << 20));
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                result.error = FileError { int(file.error()), file.errorString() };
            break;
        }
        bytes += chunk;
        if (bytes.size() >= maxFileListBytes) {
            result.error = FileError { int(QFileDevice::ReadError),
                                       QStringLiteral("ファイルが大きすぎます: ") + path };
            break;
        }
    }
    file.close();

    std::optional<FileError> error = std::move(result.error);
    result = parse(bytes, error.has_value());
    result.error = std::move(error);
    return result;
}

ReadResult parse(const QByteArray &bytes, bool cutShort)
{
    ReadResult result;
    const QString text = TextFileCodec::decode(bytes);
    QStringList lines = TextFileCodec::splitLines(text);
    // After a failed read the last line may be cut short: only whole lines count.
    if (cutShort && !lines.isEmpty() && !TextFileCodec::endsWithLineEnd(text))
        lines.removeLast();
    result.lines.reserve(lines.size());
    for (QString &line : lines) {
        if (!line.isEmpty() && !line.startsWith(u';'))
            result.lines.append(std::move(line));
    }
    return result;
}

QByteArray format(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return TextFileCodec::encode(text);
}

std::optional<FileError> write(const QString &path, const QStringList &lines)
{
    const AtomicFile::Result r = AtomicFile::write(path, format(lines));
    if (r.ok)
        return std::nullopt;
    return FileError { int(r.error), r.errorString };
}

} // namespace FileListFile
