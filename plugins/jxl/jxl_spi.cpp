// JPEG XL plug-in: the first frame of a JPEG XL file, through libjxl, turned as the file says.
// The decoder is codecs/jxl.so.
#include "codec_front.h"
#include "codec_plugin.h"
#include "spi_common.h"

#include <jxl/version.h>

namespace spi::plugin {

const char *const info[]
    = { "00IN",
        SPI_ABOUT("JPEG XL",
                  "libjxl " SPI_VERSION(JPEGXL_MAJOR_VERSION, JPEGXL_MINOR_VERSION,
                                        JPEGXL_PATCH_VERSION)),
        "*.jxl", "JPEG XL file", nullptr };

const char codecName[] = "jxl";

// A bare codestream or the container's signature box.
bool isOurs(const uint8_t *head)
{
    static const uint8_t codestream[] = { 0xFF, 0x0A };
    static const uint8_t container[]
        = { 0, 0, 0, 0x0C, 'J', 'X', 'L', ' ', 0x0D, 0x0A, 0x87, 0x0A };
    return std::memcmp(head, codestream, sizeof codestream) == 0
        || std::memcmp(head, container, sizeof container) == 0;
}

} // namespace spi::plugin
