// The AVIF plug-in's decoder, loaded on its first picture: the primary picture of an AVIF
// file, and the frames of an image sequence, through libavif.
#include "codec_plugin.h"
#include "spi_common.h"

#include <avif/avif.h>

#include <memory>

namespace {

struct DecoderFree
{
    void operator()(avifDecoder *d) const { avifDecoderDestroy(d); }
};

// The decoded picture as a bottom-up DIB of 32 bits.
int handOut(const avifImage *image, void **pInfo, void **pBits)
{
    if (image->width == 0 || image->height == 0 || image->width > 0x7FFFFFFF
        || image->height > 0x7FFFFFFF)
        return LUNETTA_SPI_BROKEN_DATA;
    spi::Dib dib;
    if (!dib.allocate(int(image->width), int(image->height), 32))
        return LUNETTA_SPI_NO_MEMORY;
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, image);
    rgb.format = AVIF_RGB_FORMAT_BGRA;
    rgb.depth = 8;
    rgb.pixels = dib.bits;
    rgb.rowBytes = uint32_t(dib.stride);
    if (avifImageYUVToRGB(image, &rgb) != AVIF_RESULT_OK)
        return LUNETTA_SPI_BROKEN_DATA;
    dib.finishTopDown32(false);
    // The colours: an embedded profile first, else the stated code points (2: unspecified).
    if (image->icc.size > 0)
        dib.describeColours(image->icc.data, image->icc.size);
    else if (image->colorPrimaries != AVIF_COLOR_PRIMARIES_UNSPECIFIED)
        dib.describeColours(uint16_t(image->colorPrimaries),
                            uint16_t(image->transferCharacteristics));
    dib.handOver(pInfo, pBits);
    return LUNETTA_SPI_OK;
}

} // namespace

namespace spi::plugin {

const bool decodesInsideFiles = false;

int decode(const char *path, long, void **pInfo, void **pBits)
{
    std::unique_ptr<avifDecoder, DecoderFree> decoder(avifDecoderCreate());
    if (!decoder)
        return LUNETTA_SPI_NO_MEMORY;
    decoder->maxThreads = 2;
    decoder->ignoreExif = AVIF_TRUE;
    decoder->ignoreXMP = AVIF_TRUE;
    // A picture: an image sequence shows its first frame.
    decoder->requestedSource = AVIF_DECODER_SOURCE_AUTO;
    if (avifDecoderSetIOFile(decoder.get(), path) != AVIF_RESULT_OK)
        return LUNETTA_SPI_READ_ERROR;
    if (avifDecoderParse(decoder.get()) != AVIF_RESULT_OK)
        return LUNETTA_SPI_UNKNOWN_FORMAT;
    // The parsed header gives the size; the planes are allocated by the decode that follows.
    if (!spi::pictureFits(decoder->image->width, decoder->image->height))
        return LUNETTA_SPI_NO_MEMORY;
    if (avifDecoderNextImage(decoder.get()) != AVIF_RESULT_OK)
        return LUNETTA_SPI_BROKEN_DATA;
    return handOut(decoder->image, pInfo, pBits);
}

} // namespace spi::plugin

// The frames of an image sequence; the plug-in's front forwards its animation functions here.
extern "C" {

LUNETTA_PLUGIN_EXPORT void *OpenAnimation(const char *filename)
{
    std::unique_ptr<avifDecoder, DecoderFree> decoder(avifDecoderCreate());
    if (!decoder || !filename)
        return nullptr;
    decoder->maxThreads = 2;
    decoder->ignoreExif = AVIF_TRUE;
    decoder->ignoreXMP = AVIF_TRUE;
    decoder->requestedSource = AVIF_DECODER_SOURCE_AUTO;
    if (avifDecoderSetIOFile(decoder.get(), filename) != AVIF_RESULT_OK
        || avifDecoderParse(decoder.get()) != AVIF_RESULT_OK || decoder->imageCount < 2
        || !spi::pictureFits(decoder->image->width, decoder->image->height))
        return nullptr;
    return decoder.release();
}

LUNETTA_PLUGIN_EXPORT int GetAnimationFrame(void *animation, void **pHBInfo, void **pHBm,
                                            int *delayMs)
{
    if (!animation || !pHBInfo || !pHBm || !delayMs)
        return LUNETTA_SPI_INTERNAL_ERROR;
    *pHBInfo = nullptr;
    *pHBm = nullptr;
    auto *decoder = static_cast<avifDecoder *>(animation);
    const avifResult next = avifDecoderNextImage(decoder);
    if (next == AVIF_RESULT_NO_IMAGES_REMAINING)
        return LUNETTA_SPI_END_OF_FRAMES;
    if (next != AVIF_RESULT_OK)
        return LUNETTA_SPI_BROKEN_DATA;
    *delayMs = int(decoder->imageTiming.duration * 1000 + 0.5);
    return handOut(decoder->image, pHBInfo, pHBm);
}

LUNETTA_PLUGIN_EXPORT void CloseAnimation(void *animation)
{
    if (animation)
        avifDecoderDestroy(static_cast<avifDecoder *>(animation));
}

} // extern "C"
