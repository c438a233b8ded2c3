// The GIF plug-in, through its entry points as Lunetta calls them: any bytes as a whole file,
// asked whether it is supported (with the padded head), for its info texts and for its picture.
// What it hands back must be two blocks that describe one picture Lunetta can show, or nothing.
#include "FuzzSupport.h"

#include "lunetta_plugin.h"
#include "viewer/picture/DibImage.h"

#include <QFile>

#include <cstring>
#include <malloc.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray path
        = (FuzzSupport::scratchFolder() + QStringLiteral("/picture.gif")).toUtf8();
    QFile file(QString::fromUtf8(path));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    file.close();

    // The head as the loader gives it: the file's first bytes, padded with zeros.
    char head[LUNETTA_PLUGIN_HEAD_SIZE] = {};
    std::memcpy(head, data, std::min(size, sizeof head));
    IsSupported(path.constData(), head);

    // Info texts into buffers of every small size: always terminated, never overrun.
    const int buflen = size ? 1 + data[size - 1] % 64 : 1;
    for (int i = -1; i < 8; ++i) {
        const auto buf = std::make_unique<char[]>(size_t(buflen));
        const int n = GetPluginInfo(i, buf.get(), buflen);
        FUZZ_CHECK(n >= 0 && n < buflen && buf[size_t(n)] == '\0');
    }

    void *info = nullptr;
    void *bits = nullptr;
    const int result
        = GetPicture(path.constData(), 0, LUNETTA_SPI_INPUT_FILE, &info, &bits, nullptr, 0);
    FUZZ_CHECK((result == LUNETTA_SPI_OK) == (info && bits));
    if (result != LUNETTA_SPI_OK) {
        FUZZ_CHECK(!info && !bits);
        return 0;
    }
    LunettaBitmapInfoHeader header;
    std::memcpy(&header, info, sizeof header);
    FUZZ_CHECK(header.biBitCount == 8 && header.biClrUsed >= 1 && header.biClrUsed <= 256);
    // The blocks as cSusie takes them: their sizes from the allocator.
    const QImage image
        = DibImage::fromBlocks(info, malloc_usable_size(info), bits, malloc_usable_size(bits),
                               LUNETTA_PICTURE_BYTES_LIMIT);
    FUZZ_CHECK(!image.isNull() && image.width() == header.biWidth
               && image.height() == header.biHeight);
    std::free(info);
    std::free(bits);
    return 0;
}
