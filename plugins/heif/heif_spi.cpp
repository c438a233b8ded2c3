// HEIF plug-in: the primary picture of a HEIF/HEIC file (as phones write them), through
// libheif, turned and mirrored as the file says. The decoder is codecs/heif.so.
#include "codec_front.h"
#include "spi_common.h"

#include <libheif/heif_version.h>

namespace {

const char *const info[] = { "00IN", "Lunetta HEIF plug-in 1.0 (libheif " LIBHEIF_VERSION ")",
                             "*.heic;*.heif;*.hif", "HEIF/HEIC file", nullptr };

spi::CodecModule codec("heif");

} // namespace

extern "C" {

LUNETTA_PLUGIN_EXPORT int GetPluginInfo(int infono, char *buf, int buflen)
{
    return spi::copyInfo(info, infono, buf, buflen);
}

// The brands libheif decodes; AVIF files are HEIF containers too, and belong to the AVIF
// plug-in.
LUNETTA_PLUGIN_EXPORT int IsSupported(const char *, const void *head)
{
    if (!head)
        return 0;
    const auto *data = static_cast<const uint8_t *>(head);
    if (std::memcmp(data + 4, "ftyp", 4) != 0)
        return 0;
    const uint32_t major = spi::bigEndian32(data + 8);
    return major == spi::fourcc("heic") || major == spi::fourcc("heix");
}

LUNETTA_PLUGIN_EXPORT int GetPicture(const char *buf, long len, unsigned int flag, void **pHBInfo,
                                     void **pHBm, LunettaProgressCallback progress, intptr_t data)
{
    return codec.getPicture(buf, len, flag, pHBInfo, pHBm, progress, data);
}

} // extern "C"
