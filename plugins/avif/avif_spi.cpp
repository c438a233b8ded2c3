// AVIF plug-in: the primary picture of an AVIF file, through libavif. The decoder is
// codecs/avif.so.
#include "codec_front.h"
#include "spi_common.h"

#include <avif/avif.h>

#define SPI_STR2(x) #x
#define SPI_STR(x) SPI_STR2(x)

namespace {

const char *const info[]
    = { "00IN",
        "Lunetta AVIF plug-in 1.0 (libavif " SPI_STR(AVIF_VERSION_MAJOR) "." SPI_STR(
            AVIF_VERSION_MINOR) "." SPI_STR(AVIF_VERSION_PATCH) ")",
        "*.avif", "AVIF file", nullptr };

spi::CodecModule codec("avif");

} // namespace

extern "C" {

LUNETTA_PLUGIN_EXPORT int GetPluginInfo(int infono, char *buf, int buflen)
{
    return spi::copyInfo(info, infono, buf, buflen);
}

// A file-type box naming AVIF among its brands, still picture or sequence.
LUNETTA_PLUGIN_EXPORT int IsSupported(const char *, const void *head)
{
    if (!head)
        return 0;
    spi::FileTypeBox box;
    return spi::FileTypeBox::read(static_cast<const uint8_t *>(head), LUNETTA_PLUGIN_HEAD_SIZE, box)
        && (box.has(spi::fourcc("avif")) || box.has(spi::fourcc("avis")));
}

LUNETTA_PLUGIN_EXPORT int GetPicture(const char *buf, long len, unsigned int flag, void **pHBInfo,
                                     void **pHBm, LunettaProgressCallback progress, intptr_t data)
{
    return codec.getPicture(buf, len, flag, pHBInfo, pHBm, progress, data);
}

} // extern "C"
