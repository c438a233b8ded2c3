// The AVIF plug-in's decoder, loaded on its first picture: the primary picture of an AVIF
// file, through libavif.
#include "codec_plugin.h"
#include "spi_common.h"

#include <avif/avif.h>

#include <memory>

namespace {

struct DecoderFree
{
    void operator()(avifDecoder *d) const { avifDecoderDestroy(d); }
};

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
    const avifImage *image = decoder->image;
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

} // namespace spi::plugin
