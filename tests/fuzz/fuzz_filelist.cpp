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
    // The file is read in chunks whatever it holds, so reading from disk is left to the unit
    // tests (sizes around every chunk boundary); the bytes are all the fuzzer varies.
    for (const QString &line : result.lines) {
        FUZZ_CHECK(!line.isEmpty() && !line.startsWith(u';'), line);
        FUZZ_CHECK(!line.contains(u'\r'), line);
    }
    // Lines the program writes again come back unchanged, once the text is Unicode.
    const QByteArray again = FileListFile::format(result.lines);
    const QStringList reread = TextFileCodec::splitLines(TextFileCodec::decode(again));
    FUZZ_CHECK(reread == result.lines);
    return 0;
}
