// A plug-in for the tests. It accepts files that begin with "LTST" and answers GetPicture as
// the word after it says ("LTST ok24", "LTST negh", ...), good pictures and bad headers alike.
// Built several times: TEST_SPI_COLOUR paints its good pictures, TEST_SPI_API names its kind,
// TEST_SPI_NO_GETPICTURE leaves a required function out, TEST_SPI_SETTINGS adds a settings
// dialog.
#include "spi_common.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char *const info[]
    = { TEST_SPI_API, "Test plug-in " TEST_SPI_NAME, "*.ltst", "Test file", nullptr };

#ifndef TEST_SPI_NO_GETPICTURE
std::string mode(const char *path)
{
    std::vector<unsigned char> data;
    if (!spi::readFile(path, 0, data) || data.size() < 5)
        return {};
    std::string word(data.begin() + 5, data.end());
    return word.substr(0, word.find_first_of("\r\n "));
}

// Bytes of a block with room for `size` bytes that the allocator reports as exactly that.
void *block(size_t size)
{
    return std::calloc(1, size);
}

LunettaBitmapInfoHeader header(int w, int h, int bits, int colours = 0)
{
    LunettaBitmapInfoHeader hd {};
    hd.biSize = sizeof hd;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = uint16_t(bits);
    hd.biClrUsed = uint32_t(colours);
    return hd;
}

// Hands out a header and a bits block of `bitsSize` bytes (rows as `fill` writes them).
template<typename Fill>
int give(const LunettaBitmapInfoHeader &hd, size_t infoSize, size_t bitsSize, void **pInfo,
         void **pBits, Fill fill, const uint32_t *palette = nullptr, int colours = 0)
{
    auto *i = static_cast<unsigned char *>(block(infoSize));
    auto *b = static_cast<unsigned char *>(block(bitsSize));
    std::memcpy(i, &hd, std::min(infoSize, sizeof hd));
    if (palette && infoSize >= sizeof hd + size_t(colours) * 4)
        std::memcpy(i + sizeof hd, palette, size_t(colours) * 4);
    fill(b);
    *pInfo = i;
    *pBits = b;
    return LUNETTA_SPI_OK;
}

// Good pictures are 4 x 2: the top row in the plug-in's colour, the bottom row black, so a
// picture drawn upside down shows at once.
int picture(const std::string &m, void **pInfo, void **pBits)
{
    const uint32_t colour = TEST_SPI_COLOUR; // 0xRRGGBB
    const unsigned char r = colour >> 16, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
    const uint32_t palette[2] = { 0x000000, colour };
    const size_t h40 = sizeof(LunettaBitmapInfoHeader);
    auto nothing = [](unsigned char *) {
    };

    if (m == "ok1") // rows: 1 byte padded to 4; bottom row first
        return give(
            header(4, 2, 1), h40 + 8, 8, pInfo, pBits, [](unsigned char *p) { p[4] = 0xF0; },
            palette, 2);
    if (m == "ok4")
        return give(
            header(4, 2, 4, 2), h40 + 8, 8, pInfo, pBits,
            [](unsigned char *p) { p[4] = p[5] = 0x11; }, palette, 2);
    if (m == "ok8") // index 7 lies beyond the 2-entry palette: black
        return give(
            header(4, 2, 8, 2), h40 + 8, 8, pInfo, pBits,
            [](unsigned char *p) {
                p[0] = 7;
                std::memset(p + 4, 1, 4);
            },
            palette, 2);
    // A colour trailer that tells nothing usable: a profile of noise, one longer than the
    // block, the PQ curve of HDR video. The picture is drawn as its numbers say.
    if (m == "noiseicc" || m == "longicc" || m == "pq") {
        const size_t icc = m == "noiseicc" ? 64 : 0;
        const int rc = picture("ok24", pInfo, pBits);
        auto *info = static_cast<unsigned char *>(std::realloc(*pInfo, h40 + 12 + icc));
        const LunettaColourTrailer trailer { LUNETTA_COLOUR_TRAILER_MAGIC,
                                             m == "longicc" ? 4096u : uint32_t(icc),
                                             uint16_t(m == "pq" ? 9 : 0),
                                             uint16_t(m == "pq" ? 16 : 0) };
        std::memcpy(info + h40, &trailer, sizeof trailer);
        for (size_t i = 0; i < icc; ++i)
            info[h40 + sizeof trailer + i] = static_cast<unsigned char>(i * 37 + 11);
        *pInfo = info;
        return rc;
    }
    if (m == "ok24")
        return give(header(4, 2, 24), h40, 24, pInfo, pBits, [=](unsigned char *p) {
            for (int x = 0; x < 4; ++x) {
                p[12 + 3 * x] = b;
                p[13 + 3 * x] = g;
                p[14 + 3 * x] = r;
            }
        });
    if (m == "ok32" || m == "ok32clear" || m == "ok32alpha") {
        const unsigned char a = m == "ok32" ? 255 : m == "ok32clear" ? 0 : 128;
        return give(header(4, 2, 32), h40, 32, pInfo, pBits, [=](unsigned char *p) {
            for (int x = 0; x < 4; ++x) {
                unsigned char *top = p + 16 + 4 * x;
                top[0] = b;
                top[1] = g;
                top[2] = r;
                top[3] = a;
                p[4 * x + 3] = a;
            }
        });
    }

    // Bad answers.
    if (m == "zero")
        return give(header(0, 2, 24), h40, 64, pInfo, pBits, nothing);
    if (m == "negw")
        return give(header(-4, 2, 24), h40, 64, pInfo, pBits, nothing);
    if (m == "negh")
        return give(header(4, -2, 24), h40, 64, pInfo, pBits, nothing);
    if (m == "huge") // 4 GB of pixels in a 64-byte block
        return give(header(65536, 16384, 32), h40, 64, pInfo, pBits, nothing);
    if (m == "vast") // both sides at their largest: the pixel count overflows 64 bits times 4
        return give(header(2147483647, 2147483647, 32), h40, 64, pInfo, pBits, nothing);
    if (m == "bits16")
        return give(header(4, 2, 16), h40, 64, pInfo, pBits, nothing);
    if (m == "short") // the rows need 12,288 bytes
        return give(header(64, 64, 24), h40, 6000, pInfo, pBits, nothing);
    if (m == "shortsize") {
        LunettaBitmapInfoHeader hd = header(4, 2, 24);
        hd.biSizeImage = 12;
        return give(hd, h40, 24, pInfo, pBits, nothing);
    }
    if (m == "palette") // more entries than 8 bits can index
        return give(header(4, 2, 8, 300), h40 + 1200, 8, pInfo, pBits, nothing);
    if (m == "nopalette") // 256 entries promised, none given
        return give(header(4, 2, 8), h40, 8, pInfo, pBits, nothing);
    if (m == "shortpalette") // 256 entries promised, 16 given
        return give(header(4, 2, 8), h40 + 64, 8, pInfo, pBits, nothing);
    if (m == "compressed") {
        LunettaBitmapInfoHeader hd = header(4, 2, 24);
        hd.biCompression = 1;
        return give(hd, h40, 24, pInfo, pBits, nothing);
    }
    if (m == "nullbits") {
        const LunettaBitmapInfoHeader hd = header(4, 2, 24);
        *pInfo = block(h40);
        std::memcpy(*pInfo, &hd, h40);
        *pBits = nullptr;
        return LUNETTA_SPI_OK;
    }
    return LUNETTA_SPI_BROKEN_DATA;
}
#endif

} // namespace

extern "C" {

LUNETTA_PLUGIN_EXPORT int GetPluginInfo(int infono, char *buf, int buflen)
{
    return spi::copyInfo(info, infono, buf, buflen);
}

LUNETTA_PLUGIN_EXPORT int IsSupported(const char *, const void *head)
{
    return std::memcmp(head, "LTST", 4) == 0;
}

#ifndef TEST_SPI_NO_GETPICTURE
LUNETTA_PLUGIN_EXPORT int GetPicture(const char *buf, long, unsigned int, void **pHBInfo,
                                     void **pHBm, LunettaProgressCallback, intptr_t)
{
    *pHBInfo = nullptr;
    *pHBm = nullptr;
    return picture(mode(buf), pHBInfo, pHBm);
}
#endif

#ifdef TEST_SPI_SETTINGS
LUNETTA_PLUGIN_EXPORT int ConfigurationDlg(uintptr_t, int fnc)
{
    return fnc == 0 ? 0 : LUNETTA_SPI_NOT_IMPLEMENTED;
}
#endif

} // extern "C"
