// The decoder module's plug-in function: the checks every plug-in makes on its arguments, then
// the plug-in's own decode.
#include "codec_plugin.h"
#include "spi_common.h"

extern "C" {

LUNETTA_PLUGIN_EXPORT int GetPicture(const char *buf, long len, unsigned int flag, void **pHBInfo,
                                     void **pHBm, LunettaProgressCallback, intptr_t)
{
    return spi::checkedGetPicture(buf, len, flag, pHBInfo, pHBm, spi::plugin::decodesInsideFiles,
                                  spi::plugin::decode);
}

} // extern "C"
