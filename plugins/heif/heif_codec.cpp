// The HEIF plug-in's decoder, loaded on its first picture: the primary picture of a HEIF/HEIC
// file (as phones write them), through libheif, turned and mirrored as the file says.
#include "codec_plugin.h"
#include "spi_common.h"

#include <libheif/heif.h>

#include <vector>

#include <cstring>

namespace {

// Pictures above this many pixels are refused by libheif before decoding.
constexpr int maxSide = 32768;

struct Resources
{
    heif_context *context = nullptr;
    heif_image_handle *handle = nullptr;
    heif_image *image = nullptr;
    heif_decoding_options *options = nullptr;
    ~Resources()
    {
        if (options)
            heif_decoding_options_free(options);
        if (image)
            heif_image_release(image);
        if (handle)
            heif_image_handle_release(handle);
        if (context)
            heif_context_free(context);
    }
};

} // namespace

namespace {

// What the file says of its colours: an ICC profile or the code points of an nclx box.
void describeColours(heif_image_handle *handle, spi::Dib &dib)
{
    switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx *nclx = nullptr;
        if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code == heif_error_Ok && nclx)
            dib.describeColours(uint16_t(nclx->color_primaries),
                                uint16_t(nclx->transfer_characteristics));
        heif_nclx_color_profile_free(nclx);
        break;
    }
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
        std::vector<uint8_t> icc(size);
        if (size
            && heif_image_handle_get_raw_color_profile(handle, icc.data()).code == heif_error_Ok)
            dib.describeColours(icc.data(), size);
        break;
    }
    default:
        break;
    }
}

} // namespace

namespace spi::plugin {

const bool decodesInsideFiles = false;

int decode(const char *path, long, void **pInfo, void **pBits)
{
    Resources r;
    r.context = heif_context_alloc();
    if (!r.context)
        return LUNETTA_SPI_NO_MEMORY;
    heif_context_set_maximum_image_size_limit(r.context, maxSide);
    heif_context_set_max_decoding_threads(r.context, 2);
    if (heif_context_read_from_file(r.context, path, nullptr).code != heif_error_Ok)
        return LUNETTA_SPI_UNKNOWN_FORMAT;
    if (heif_context_get_primary_image_handle(r.context, &r.handle).code != heif_error_Ok)
        return LUNETTA_SPI_BROKEN_DATA;
    // The size from the header, before the decode allocates the planes.
    const int claimedWidth = heif_image_handle_get_width(r.handle);
    const int claimedHeight = heif_image_handle_get_height(r.handle);
    if (claimedWidth <= 0 || claimedHeight <= 0)
        return LUNETTA_SPI_BROKEN_DATA;
    if (!spi::pictureFits((unsigned long long)claimedWidth, (unsigned long long)claimedHeight))
        return LUNETTA_SPI_NO_MEMORY;
    r.options = heif_decoding_options_alloc();
    // Without alpha, three channels: libheif converts to them faster than to four.
    const bool alpha = heif_image_handle_has_alpha_channel(r.handle);
    const int channels = alpha ? 4 : 3;
    if (heif_decode_image(r.handle, &r.image, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          r.options)
            .code
        != heif_error_Ok)
        return LUNETTA_SPI_BROKEN_DATA;
    const int width = heif_image_get_width(r.image, heif_channel_interleaved);
    const int height = heif_image_get_height(r.image, heif_channel_interleaved);
    int stride = 0;
    const uint8_t *plane
        = heif_image_get_plane_readonly(r.image, heif_channel_interleaved, &stride);
    if (!plane || width <= 0 || height <= 0 || stride < width * channels)
        return LUNETTA_SPI_BROKEN_DATA;

    spi::Dib dib;
    if (!dib.allocate(width, height, 8 * channels))
        return LUNETTA_SPI_NO_MEMORY;
    dib.putRgbRows(plane, size_t(stride), channels);
    describeColours(r.handle, dib);
    dib.handOver(pInfo, pBits);
    return LUNETTA_SPI_OK;
}

} // namespace spi::plugin
