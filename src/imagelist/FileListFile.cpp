#include "imagelist/FileListFile.h"

#include "core/AtomicFile.h"
#include "core/TextFileCodec.h"
#include "core/UserFileReader.h"

#include <QFileDevice>

namespace FileListFile {

namespace {
// Far more than any list holds (millions of paths); a larger file is no list.
constexpr qint64 maxFileListBytes = qsizetype(256) << 20;
} // namespace

ReadResult read(const QString &path)
{
    using UserFileReader::Failure;
    const UserFileReader::Result file = UserFileReader::readFile(path, maxFileListBytes);
    std::optional<FileError> error;
    if (file.failure == Failure::NotRegular)
        error = FileError { int(QFileDevice::OpenError),
                            QStringLiteral("通常のファイルではありません: ") + path };
    else if (file.failure == Failure::CannotOpen)
        error = FileError { int(QFileDevice::OpenError), file.systemMessage() };
    else if (file.failure == Failure::TooLarge)
        error = FileError { int(QFileDevice::ReadError),
                            QStringLiteral("ファイルが大きすぎます: ") + path };
    else if (file.failure == Failure::ReadFailed)
        error = FileError { int(QFileDevice::ReadError), file.systemMessage() };
    ReadResult result = parse(file.bytes, error.has_value());
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
        // Byte-order marks inside the text (lists joined with cat) start no path; kept, one
        // would be taken for the file's own mark once the list is written again.
        while (line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
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
