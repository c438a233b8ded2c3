// JPEG XL plug-in: the first frame of a JPEG XL file, through libjxl, turned as the file says.
// The decoder is codecs/jxl.so.
#include "codec_front.h"
#include "spi_common.h"

#include <jxl/version.h>

#define SPI_STR2(x) #x
#define SPI_STR(x) SPI_STR2(x)

namespace {

const char *const info[]
    = { "00IN",
        "Lunetta JPEG XL plug-in 1.0 (libjxl " SPI_STR(JPEGXL_MAJOR_VERSION) "." SPI_STR(
            JPEGXL_MINOR_VERSION) "." SPI_STR(JPEGXL_PATCH_VERSION) ")",
        "*.jxl", "JPEG XL file", nullptr };

spi::CodecModule codec("jxl");

} // namespace

extern "C" {

LUNETTA_PLUGIN_EXPORT int GetPluginInfo(int infono, char *buf, int buflen)
{
    return spi::copyInfo(info, infono, buf, buflen);
}

// A bare codestream or the container's signature box.
LUNETTA_PLUGIN_EXPORT int IsSupported(const char *, const void *head)
{
    if (!head)
        return 0;
    static const uint8_t codestream[] = { 0xFF, 0x0A };
    static const uint8_t container[]
        = { 0, 0, 0, 0x0C, 'J', 'X', 'L', ' ', 0x0D, 0x0A, 0x87, 0x0A };
    return std::memcmp(head, codestream, sizeof codestream) == 0
        || std::memcmp(head, container, sizeof container) == 0;
}

LUNETTA_PLUGIN_EXPORT int GetPicture(const char *buf, long len, unsigned int flag, void **pHBInfo,
                                     void **pHBm, LunettaProgressCallback progress, intptr_t data)
{
    return codec.getPicture(buf, len, flag, pHBInfo, pHBm, progress, data);
}

} // extern "C"
