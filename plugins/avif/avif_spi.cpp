// AVIF plug-in: the primary picture of an AVIF file, through libavif. The decoder is
// codecs/avif.so.
#include "codec_front.h"
#include "codec_plugin.h"
#include "spi_common.h"

#include <avif/avif.h>

namespace spi::plugin {

const char *const info[] = {
    "00IN",
    SPI_ABOUT("AVIF",
              "libavif " SPI_VERSION(AVIF_VERSION_MAJOR, AVIF_VERSION_MINOR, AVIF_VERSION_PATCH)),
    "*.avif", "AVIF file", nullptr
};

const char codecName[] = "avif";

// A file-type box naming AVIF among its brands, still picture or sequence.
bool isOurs(const uint8_t *head)
{
    spi::FileTypeBox box;
    return spi::FileTypeBox::read(head, LUNETTA_PLUGIN_HEAD_SIZE, box)
        && (box.has(spi::fourcc("avif")) || box.has(spi::fourcc("avis")));
}

} // namespace spi::plugin
