// GIF plug-in: the first frame of a GIF, transparent pixels shown in the background colour, and
// the frames of an animated GIF composed one after the other.
#include "spi_common.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
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

// Reads on to the next image descriptor, noting the graphics control of the frame in `gcb`,
// and checks it: LUNETTA_SPI_OK with the frame's colour map in `map`, LUNETTA_SPI_END_OF_FRAMES
// at the file's end, LUNETTA_SPI_BROKEN_DATA for anything a frame cannot be drawn from.
int nextImage(GifFileType *gif, GraphicsControlBlock &gcb, const ColorMapObject *&map)
{
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return LUNETTA_SPI_BROKEN_DATA;
        if (record == TERMINATE_RECORD_TYPE)
            return LUNETTA_SPI_END_OF_FRAMES;
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
                return LUNETTA_SPI_BROKEN_DATA;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
                DGifExtensionToGCB(ext[0], ext + 1, &gcb);
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
        map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        if (!map || map->ColorCount <= 0 || map->ColorCount > 256 || frame.Width <= 0
            || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0)
            return LUNETTA_SPI_BROKEN_DATA;
        return LUNETTA_SPI_OK;
    }
}

int decode(const char *path, void **pInfo, void **pBits)
{
    int error = 0;
    GifCloser file { DGifOpenFileName(path, &error) };
    GifFileType *gif = file.gif;
    if (!gif)
        return error == D_GIF_ERR_OPEN_FAILED ? LUNETTA_SPI_READ_ERROR : LUNETTA_SPI_UNKNOWN_FORMAT;

    GraphicsControlBlock gcb { DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR };
    const ColorMapObject *map = nullptr;
    // A file without any picture is broken.
    if (nextImage(gif, gcb, map) != LUNETTA_SPI_OK)
        return LUNETTA_SPI_BROKEN_DATA;
    const int transparent = gcb.TransparentColor;
    const GifImageDesc &frame = gif->Image;
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
            std::copy_n(pixels.data() + size_t(y - frame.Top) * size_t(frame.Width), frame.Width,
                        row + frame.Left);
    }
    dib.handOver(pInfo, pBits);
    return LUNETTA_SPI_OK;
}

uint32_t rgb(const GifColorType &c)
{
    return uint32_t(c.Blue) | uint32_t(c.Green) << 8 | uint32_t(c.Red) << 16 | 0xFF000000u;
}

// An animation being read: the picture as it shows after the last frame, and what the next
// frame must undo of that one first. Frames are read as they come, never the whole file.
struct Animation
{
    GifCloser file;
    std::vector<uint32_t> canvas;
    std::vector<uint32_t> saved; // before a frame that restores what it covered
    int width = 0;
    int height = 0;
    uint32_t background = 0;
    // The last frame's disposal (2 to background, 3 to what was there) and its place.
    int disposal = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
};

void undoLastFrame(Animation &a)
{
    if (a.disposal == DISPOSE_BACKGROUND) {
        for (int y = a.top; y < a.bottom; ++y)
            std::fill(a.canvas.begin() + size_t(y) * size_t(a.width) + size_t(a.left),
                      a.canvas.begin() + size_t(y) * size_t(a.width) + size_t(a.right),
                      a.background);
    } else if (a.disposal == DISPOSE_PREVIOUS && a.saved.size() == a.canvas.size()) {
        a.canvas.swap(a.saved);
    }
    a.disposal = 0;
}

// The next frame drawn onto the canvas and handed out like a picture of 32 bits.
int nextFrame(Animation &a, void **pInfo, void **pBits, int *delayMs)
{
    GifFileType *gif = a.file.gif;
    GraphicsControlBlock gcb { DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR };
    const ColorMapObject *map = nullptr;
    if (const int result = nextImage(gif, gcb, map); result != LUNETTA_SPI_OK)
        return result;
    const GifImageDesc &frame = gif->Image;
    if (a.canvas.empty()) {
        // The first frame sizes the picture and its background as the still picture has them.
        a.width = std::max(gif->SWidth, frame.Left + frame.Width);
        a.height = std::max(gif->SHeight, frame.Top + frame.Height);
        if (!spi::pictureFits((unsigned long long)a.width, (unsigned long long)a.height))
            return LUNETTA_SPI_NO_MEMORY;
        a.background = rgb(map->Colors[0]);
        if (gif->SColorMap && gif->SBackGroundColor >= 0
            && gif->SBackGroundColor < gif->SColorMap->ColorCount)
            a.background = rgb(gif->SColorMap->Colors[gif->SBackGroundColor]);
        a.canvas.assign(size_t(a.width) * size_t(a.height), a.background);
    }
    std::vector<GifPixelType> pixels;
    if (!readRows(gif, pixels, frame.Width, frame.Height))
        return LUNETTA_SPI_BROKEN_DATA;

    undoLastFrame(a);
    if (gcb.DisposalMode == DISPOSE_PREVIOUS)
        a.saved = a.canvas;
    a.disposal = gcb.DisposalMode;
    a.left = std::min(frame.Left, a.width);
    a.top = std::min(frame.Top, a.height);
    a.right = std::min(frame.Left + frame.Width, a.width);
    a.bottom = std::min(frame.Top + frame.Height, a.height);
    for (int y = a.top; y < a.bottom; ++y) {
        const GifPixelType *from = pixels.data() + size_t(y - frame.Top) * size_t(frame.Width);
        uint32_t *to = a.canvas.data() + size_t(y) * size_t(a.width);
        for (int x = a.left; x < a.right; ++x) {
            const int index = from[x - frame.Left];
            if (index != gcb.TransparentColor && index < map->ColorCount)
                to[x] = rgb(map->Colors[index]);
        }
    }

    spi::Dib dib;
    if (!dib.allocate(a.width, a.height, 32))
        return LUNETTA_SPI_NO_MEMORY;
    for (int y = 0; y < a.height; ++y)
        std::memcpy(dib.row(y), a.canvas.data() + size_t(y) * size_t(a.width), size_t(a.width) * 4);
    dib.handOver(pInfo, pBits);
    // The delay is in hundredths of a second.
    *delayMs = gcb.DelayTime * 10;
    return LUNETTA_SPI_OK;
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

LUNETTA_PLUGIN_EXPORT void *OpenAnimation(const char *filename)
{
    int error = 0;
    GifFileType *gif = filename ? DGifOpenFileName(filename, &error) : nullptr;
    if (!gif)
        return nullptr;
    auto *animation = new (std::nothrow) Animation;
    if (!animation) {
        DGifCloseFile(gif, &error);
        return nullptr;
    }
    animation->file.gif = gif;
    return animation;
}

LUNETTA_PLUGIN_EXPORT int GetAnimationFrame(void *animation, void **pHBInfo, void **pHBm,
                                            int *delayMs)
{
    if (!animation || !pHBInfo || !pHBm || !delayMs)
        return LUNETTA_SPI_INTERNAL_ERROR;
    *pHBInfo = nullptr;
    *pHBm = nullptr;
    try {
        return nextFrame(*static_cast<Animation *>(animation), pHBInfo, pHBm, delayMs);
    } catch (const std::bad_alloc &) {
        return LUNETTA_SPI_NO_MEMORY;
    }
}

LUNETTA_PLUGIN_EXPORT void CloseAnimation(void *animation)
{
    delete static_cast<Animation *>(animation);
}

} // extern "C"
