// GIF plug-in: the first frame of a GIF, transparent pixels shown in the background colour.
#include "spi_common.h"

#include <gif_lib.h>

#include <algorithm>
#include <vector>

namespace {

const char *const info[]
    = { "00IN", SPI_ABOUT("GIF", "giflib " SPI_VERSION(GIFLIB_MAJOR, GIFLIB_MINOR, GIFLIB_RELEASE)),
        "*.gif", "GIF file", nullptr };

struct GifCloser
{
    GifFileType *gif;
    ~GifCloser()
    {
        int error = 0;
        if (gif)
            DGifCloseFile(gif, &error);
    }
};

// Reads the rows of the current image, in the order an interlaced image stores them.
bool readRows(GifFileType *gif, std::vector<GifPixelType> &pixels, int width, int height)
{
    pixels.assign(size_t(width) * size_t(height), 0);
    auto line = [&](int y) {
        return DGifGetLine(gif, pixels.data() + size_t(y) * size_t(width), width) == GIF_OK;
    };
    if (!gif->Image.Interlace) {
        for (int y = 0; y < height; ++y) {
            if (!line(y))
                return false;
        }
        return true;
    }
    static const int start[] = { 0, 4, 2, 1 };
    static const int step[] = { 8, 8, 4, 2 };
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = start[pass]; y < height; y += step[pass]) {
            if (!line(y))
                return false;
        }
    }
    return true;
}

int decode(const char *path, void **pInfo, void **pBits)
{
    int error = 0;
    GifCloser file { DGifOpenFileName(path, &error) };
    GifFileType *gif = file.gif;
    if (!gif)
        return error == D_GIF_ERR_OPEN_FAILED ? LUNETTA_SPI_READ_ERROR : LUNETTA_SPI_UNKNOWN_FORMAT;

    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return LUNETTA_SPI_BROKEN_DATA;
        if (record == TERMINATE_RECORD_TYPE)
            return LUNETTA_SPI_BROKEN_DATA; // no picture at all
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
                return LUNETTA_SPI_BROKEN_DATA;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
                    transparent = gcb.TransparentColor;
            }
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) != GIF_OK)
                    return LUNETTA_SPI_BROKEN_DATA;
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            continue;

        if (DGifGetImageDesc(gif) != GIF_OK)
            return LUNETTA_SPI_BROKEN_DATA;
        const GifImageDesc &frame = gif->Image;
        const ColorMapObject *map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        if (!map || map->ColorCount <= 0 || map->ColorCount > 256 || frame.Width <= 0
            || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0)
            return LUNETTA_SPI_BROKEN_DATA;
        // Some writers give a screen smaller than the frame: the picture takes both.
        const int width = std::max(gif->SWidth, frame.Left + frame.Width);
        const int height = std::max(gif->SHeight, frame.Top + frame.Height);
        // Before the frame's rows are read: the descriptor alone may claim gigabytes.
        if (!spi::pictureFits((unsigned long long)width, (unsigned long long)height))
            return LUNETTA_SPI_NO_MEMORY;

        std::vector<GifPixelType> pixels;
        if (!readRows(gif, pixels, frame.Width, frame.Height))
            return LUNETTA_SPI_BROKEN_DATA;

        uint32_t palette[256] = {};
        int colours = map->ColorCount;
        for (int i = 0; i < colours; ++i) {
            const GifColorType &c = map->Colors[i];
            palette[i] = uint32_t(c.Blue) | uint32_t(c.Green) << 8 | uint32_t(c.Red) << 16;
        }
        uint32_t background = palette[0];
        if (gif->SColorMap && gif->SBackGroundColor >= 0
            && gif->SBackGroundColor < gif->SColorMap->ColorCount) {
            const GifColorType &c = gif->SColorMap->Colors[gif->SBackGroundColor];
            background = uint32_t(c.Blue) | uint32_t(c.Green) << 8 | uint32_t(c.Red) << 16;
        }
        if (transparent >= 0 && transparent < 256) {
            colours = std::max(colours, transparent + 1);
            palette[transparent] = background;
        }
        // Where the frame does not cover the picture, the background shows: an entry of its
        // own when the palette has room.
        int fill = transparent >= 0 && transparent < 256 ? transparent : -1;
        const bool covers
            = frame.Left == 0 && frame.Top == 0 && frame.Width == width && frame.Height == height;
        if (!covers && fill < 0) {
            if (colours < 256) {
                fill = colours++;
                palette[fill] = background;
            } else {
                fill = std::clamp(gif->SBackGroundColor, 0, 255);
            }
        }

        spi::Dib dib;
        if (!dib.allocate(width, height, 8, palette, colours))
            return LUNETTA_SPI_NO_MEMORY;
        for (int y = 0; y < height; ++y) {
            unsigned char *row = dib.row(y);
            if (!covers)
                std::fill(row, row + width, (unsigned char)fill);
            if (y >= frame.Top && y < frame.Top + frame.Height)
                std::copy_n(pixels.data() + size_t(y - frame.Top) * size_t(frame.Width),
                            frame.Width, row + frame.Left);
        }
        dib.handOver(pInfo, pBits);
        return LUNETTA_SPI_OK;
    }
}

} // namespace

extern "C" {

LUNETTA_PLUGIN_EXPORT int GetPluginInfo(int infono, char *buf, int buflen)
{
    return spi::copyInfo(info, infono, buf, buflen);
}

LUNETTA_PLUGIN_EXPORT int IsSupported(const char *, const void *head)
{
    const auto *h = static_cast<const char *>(head);
    return h && (std::memcmp(h, "GIF87a", 6) == 0 || std::memcmp(h, "GIF89a", 6) == 0);
}

LUNETTA_PLUGIN_EXPORT int GetPicture(const char *buf, long len, unsigned int flag, void **pHBInfo,
                                     void **pHBm, LunettaProgressCallback, intptr_t)
{
    return spi::checkedGetPictureAtStart(buf, len, flag, pHBInfo, pHBm, decode);
}

} // extern "C"
