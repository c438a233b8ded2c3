// The JPEG XL plug-in's decoder, loaded on its first picture: the first frame of a JPEG XL
// file, through libjxl, turned as the file says.
#include "codec_plugin.h"
#include "spi_common.h"

#include <jxl/decode.h>
#include <jxl/resizable_parallel_runner.h>

#include <memory>
#include <vector>

namespace {

struct DecoderFree
{
    void operator()(JxlDecoder *d) const { JxlDecoderDestroy(d); }
};
struct RunnerFree
{
    void operator()(void *r) const { JxlResizableParallelRunnerDestroy(r); }
};

} // namespace

namespace spi::plugin {

const bool decodesInsideFiles = true;

int decode(const char *path, long offset, void **pInfo, void **pBits)
{
    std::vector<unsigned char> data;
    if (!spi::readFile(path, offset, data))
        return LUNETTA_SPI_READ_ERROR;
    std::unique_ptr<JxlDecoder, DecoderFree> dec(JxlDecoderCreate(nullptr));
    std::unique_ptr<void, RunnerFree> runner(JxlResizableParallelRunnerCreate(nullptr));
    if (!dec || !runner)
        return LUNETTA_SPI_NO_MEMORY;
    if (JxlDecoderSubscribeEvents(dec.get(),
                                  JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE)
            != JXL_DEC_SUCCESS
        || JxlDecoderSetParallelRunner(dec.get(), JxlResizableParallelRunner, runner.get())
            != JXL_DEC_SUCCESS
        || JxlDecoderSetInput(dec.get(), data.data(), data.size()) != JXL_DEC_SUCCESS)
        return LUNETTA_SPI_INTERNAL_ERROR;
    JxlDecoderCloseInput(dec.get());

    const JxlPixelFormat format { 4, JXL_TYPE_UINT8, JXL_LITTLE_ENDIAN, 0 };
    spi::Dib dib;
    // The colours of the decoded pixels, told before the pixels come.
    uint16_t primaries = 0;
    uint16_t transfer = 0;
    std::vector<uint8_t> icc;
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(dec.get());
        switch (status) {
        case JXL_DEC_BASIC_INFO: {
            JxlBasicInfo basic;
            if (JxlDecoderGetBasicInfo(dec.get(), &basic) != JXL_DEC_SUCCESS)
                return LUNETTA_SPI_BROKEN_DATA;
            if (!spi::pictureFits(basic.xsize, basic.ysize))
                return LUNETTA_SPI_NO_MEMORY;
            JxlResizableParallelRunnerSetThreads(
                runner.get(), JxlResizableParallelRunnerSuggestThreads(basic.xsize, basic.ysize));
            // The decoder turns the picture; orientations 5 to 8 swap its sides.
            const bool swap = basic.orientation > JXL_ORIENT_ROTATE_180;
            const int width = int(swap ? basic.ysize : basic.xsize);
            const int height = int(swap ? basic.xsize : basic.ysize);
            if (!dib.allocate(width, height, 32))
                return LUNETTA_SPI_NO_MEMORY;
            break;
        }
        case JXL_DEC_COLOR_ENCODING: {
            JxlColorEncoding encoding {};
            if (JxlDecoderGetColorAsEncodedProfile(dec.get(), nullptr,
                                                   JXL_COLOR_PROFILE_TARGET_DATA, &encoding)
                    == JXL_DEC_SUCCESS
                && encoding.color_space == JXL_COLOR_SPACE_RGB
                && encoding.white_point == JXL_WHITE_POINT_D65) {
                // The same numbers as H.273, but for P3 with a D65 white, which is 12 there.
                primaries
                    = encoding.primaries == JXL_PRIMARIES_P3 ? 12 : uint16_t(encoding.primaries);
                transfer = encoding.transfer_function == JXL_TRANSFER_FUNCTION_GAMMA
                    ? 0
                    : uint16_t(encoding.transfer_function);
            }
            size_t size = 0;
            if ((primaries == 0 || transfer == 0 || encoding.primaries == JXL_PRIMARIES_CUSTOM)
                && JxlDecoderGetICCProfileSize(dec.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                               &size)
                    == JXL_DEC_SUCCESS
                && size > 0) {
                icc.resize(size);
                if (JxlDecoderGetColorAsICCProfile(dec.get(), nullptr,
                                                   JXL_COLOR_PROFILE_TARGET_DATA, icc.data(), size)
                    != JXL_DEC_SUCCESS)
                    icc.clear();
            }
            break;
        }
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
            size_t size = 0;
            if (!dib.bits
                || JxlDecoderImageOutBufferSize(dec.get(), &format, &size) != JXL_DEC_SUCCESS
                || size != dib.stride * size_t(dib.height))
                return LUNETTA_SPI_BROKEN_DATA;
            if (JxlDecoderSetImageOutBuffer(dec.get(), &format, dib.bits, size) != JXL_DEC_SUCCESS)
                return LUNETTA_SPI_BROKEN_DATA;
            break;
        }
        case JXL_DEC_FULL_IMAGE:
            // The first frame is the picture.
            dib.finishTopDown32(true);
            if (!icc.empty())
                dib.describeColours(icc.data(), icc.size());
            else if (primaries && transfer)
                dib.describeColours(primaries, transfer);
            dib.handOver(pInfo, pBits);
            return LUNETTA_SPI_OK;
        case JXL_DEC_SUCCESS:
        case JXL_DEC_NEED_MORE_INPUT:
        case JXL_DEC_ERROR:
        default:
            return LUNETTA_SPI_BROKEN_DATA;
        }
    }
}

} // namespace spi::plugin
