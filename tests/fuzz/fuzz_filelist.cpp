// File-list files: any bytes, read through the same path as a list on disk.
#include "FuzzSupport.h"

#include "core/TextFileCodec.h"
#include "imagelist/FileListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const FileListFile::ReadResult result = FileListFile::parse(bytes);
    FUZZ_CHECK(!result.error);
    // Now and then through a real file too: reading it gives the very same lines.
    static unsigned count = 0;
    if (++count % 64 == 0) {
        const QString path = FuzzSupport::scratchFolder() + QStringLiteral("/list.txt");
        FuzzSupport::writeFile(path, data, size);
        const FileListFile::ReadResult read = FileListFile::read(path);
        FUZZ_CHECK(!read.error && read.lines == result.lines);
    }
    for (const QString &line : result.lines) {
        FUZZ_CHECK(!line.isEmpty() && !line.startsWith(u';'), line);
        FUZZ_CHECK(!line.contains(u'\r'), line);
    }
    // Lines the program writes again come back unchanged, once the text is Unicode.
    const QByteArray again = FileListFile::format(result.lines);
    const QStringList reread = TextFileCodec::splitCrLines(TextFileCodec::decode(again));
    FUZZ_CHECK(reread == result.lines);
    return 0;
}
