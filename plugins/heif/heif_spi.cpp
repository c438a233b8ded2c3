// HEIF plug-in: the primary picture of a HEIF/HEIC file (as phones write them), through
// libheif, turned and mirrored as the file says. The decoder is codecs/heif.so.
#include "codec_front.h"
#include "codec_plugin.h"
#include "spi_common.h"

#include <libheif/heif_version.h>

namespace spi::plugin {

const char *const info[] = { "00IN", SPI_ABOUT("HEIF", "libheif " LIBHEIF_VERSION),
                             "*.heic;*.heif;*.hif", "HEIF/HEIC file", nullptr };

const char codecName[] = "heif";

// The brands libheif decodes; AVIF files are HEIF containers too, and belong to the AVIF
// plug-in.
bool isOurs(const uint8_t *head)
{
    if (std::memcmp(head + 4, "ftyp", 4) != 0)
        return false;
    const uint32_t major = spi::bigEndian32(head + 8);
    return major == spi::fourcc("heic") || major == spi::fourcc("heix");
}

} // namespace spi::plugin
