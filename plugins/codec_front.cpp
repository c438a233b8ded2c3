// The front module's plug-in functions: the texts and the head check come from the plug-in,
// the picture from its decoder module, loaded on the first one.
#include "codec_front.h"
#include "codec_plugin.h"
#include "spi_common.h"

namespace {
spi::CodecModule codec(spi::plugin::codecName);
} // namespace

extern "C" {

LUNETTA_PLUGIN_EXPORT int GetPluginInfo(int infono, char *buf, int buflen)
{
    return spi::copyInfo(spi::plugin::info, infono, buf, buflen);
}

LUNETTA_PLUGIN_EXPORT int IsSupported(const char *, const void *head)
{
    return head && spi::plugin::isOurs(static_cast<const uint8_t *>(head)) ? 1 : 0;
}

LUNETTA_PLUGIN_EXPORT int GetPicture(const char *buf, long len, unsigned int flag, void **pHBInfo,
                                     void **pHBm, LunettaProgressCallback progress, intptr_t data)
{
    return codec.getPicture(buf, len, flag, pHBInfo, pHBm, progress, data);
}

// Only a plug-in whose format has frames offers them.
#ifdef LUNETTA_CODEC_ANIMATES
LUNETTA_PLUGIN_EXPORT void *OpenAnimation(const char *filename)
{
    return codec.openAnimation(filename);
}

LUNETTA_PLUGIN_EXPORT int GetAnimationFrame(void *animation, void **pHBInfo, void **pHBm,
                                            int *delayMs)
{
    return codec.animationFrame(animation, pHBInfo, pHBm, delayMs);
}

LUNETTA_PLUGIN_EXPORT void CloseAnimation(void *animation)
{
    codec.closeAnimation(animation);
}
#endif

} // extern "C"
