// Music play lists (M3U, M3U8, PLS): any bytes, parsed as one kind or the other and read from
// disk as the player reads them.
#include "FuzzSupport.h"

#include "controller/music/MusicPlayList.h"

#include <QFile>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString folder = FuzzSupport::scratchFolder();
    const qsizetype lineEnds = bytes.count('\n') + bytes.count('\r');
    // One kind an input, by the input's length, so that each input costs one parse besides the
    // file's, and the fuzzer still steers both kinds.
    const bool pls = size & 1;
    const std::vector<MusicEntry> parsed = MusicPlayList::parse(bytes, folder, pls);
    // At most one entry a line; a PLS entry needs its "=".
    FUZZ_CHECK(qsizetype(parsed.size()) <= lineEnds + 1);
    if (pls)
        FUZZ_CHECK(qsizetype(parsed.size()) <= bytes.count('='));
    for (const MusicEntry &e : parsed) {
        // Titles come from one line each, or from a source that has none.
        if (!e.source.contains(u'\n') && !e.source.contains(u'\r'))
            FUZZ_CHECK(!e.title.contains(u'\n') && !e.title.contains(u'\r'), e.title);
    }
    // Read from a file, the same bytes give the same entries. Only a quarter of the inputs (both
    // kinds, by the length again) go through a file: the file adds little to find and costs as
    // much as the parse.
    if (size % 8 >= 2)
        return 0;
    const QString path = folder + (pls ? QStringLiteral("/list.pls") : QStringLiteral("/list.m3u"));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
    file.close();
    const std::vector<MusicEntry> read = MusicPlayList::read(path);
    FUZZ_CHECK(std::equal(read.begin(), read.end(), parsed.begin(), parsed.end(),
                          [](const MusicEntry &a, const MusicEntry &b) {
                              return a.source == b.source && a.title == b.title;
                          }));
    return 0;
}
