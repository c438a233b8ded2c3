// Helpers the plug-ins shipped with Lunetta share: the info texts and the bitmap blocks.
#pragma once

#include "lunetta_plugin.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

// Turns a library's version macro into text for the info strings.
#define SPI_STR2(x) #x
#define SPI_STR(x) SPI_STR2(x)
// "major.minor.patch" of a library that gives its version as three numbers.
#define SPI_VERSION(major, minor, patch) SPI_STR(major) "." SPI_STR(minor) "." SPI_STR(patch)
// The second info text: which of the shipped plug-ins this is and the library it decodes with.
#define SPI_ABOUT(format, library) "Lunetta " format " plug-in 1.0 (" library ")"

namespace spi {

// Copies info text `infono` of a NULL-terminated table; 0 past its end.
inline int copyInfo(const char *const *table, int infono, char *buf, int buflen)
{
    if (!buf || buflen <= 0 || infono < 0)
        return 0;
    for (int i = 0; i < infono; ++i) {
        if (!table[i])
            return 0;
    }
    const char *text = table[infono];
    if (!text)
        return 0;
    const size_t length = std::strlen(text);
    const size_t n = length < size_t(buflen - 1) ? length : size_t(buflen - 1);
    std::memcpy(buf, text, n);
    buf[n] = '\0';
    return int(n);
}

// Whether a picture of this size is within Lunetta's limit (LUNETTA_PICTURE_BYTES_LIMIT at 32
// bits a pixel). Every decoder asks this from the header, before its library allocates the
// pixels: a file of a few bytes may claim a picture of gigabytes.
inline bool pictureFits(unsigned long long width, unsigned long long height)
{
    return width > 0 && height > 0
        && width <= (unsigned long long)LUNETTA_PICTURE_BYTES_LIMIT / 4 / height;
}

// The two blocks of a picture, freed unless handed to the host.
struct Dib
{
    void *info = nullptr;
    unsigned char *bits = nullptr;
    size_t infoSize = 0;
    size_t stride = 0;
    int width = 0;
    int height = 0;

    ~Dib()
    {
        std::free(info);
        std::free(bits);
    }
    // Bottom-up storage: the row for top-down row y.
    unsigned char *row(int y) const { return bits + size_t(height - 1 - y) * stride; }

    void swapChannels(unsigned char *line) const
    {
        for (int x = 0; x < width; ++x, line += 4)
            std::swap(line[0], line[2]);
    }

    bool allocate(int w, int h, int bitCount, const uint32_t *palette = nullptr, int colours = 0)
    {
        if (w <= 0 || h <= 0 || !pictureFits((unsigned long long)w, (unsigned long long)h))
            return false;
        width = w;
        height = h;
        stride = (size_t(w) * size_t(bitCount) + 31) / 32 * 4;
        const size_t paletteBytes = size_t(colours) * 4;
        infoSize = sizeof(LunettaBitmapInfoHeader) + paletteBytes;
        info = std::calloc(1, infoSize);
        bits = static_cast<unsigned char *>(std::calloc(size_t(h), stride));
        if (!info || !bits)
            return false;
        LunettaBitmapInfoHeader header {};
        header.biSize = sizeof header;
        header.biWidth = w;
        header.biHeight = h;
        header.biPlanes = 1;
        header.biBitCount = uint16_t(bitCount);
        header.biSizeImage = uint32_t(stride * size_t(h));
        header.biClrUsed = uint32_t(colours);
        std::memcpy(info, &header, sizeof header);
        if (paletteBytes)
            std::memcpy(static_cast<unsigned char *>(info) + sizeof header, palette, paletteBytes);
        return true;
    }

    // Stores top-down rows of 8-bit red, green, blue and, with 4 `channels`, alpha as blue,
    // green, red (and alpha): 24 or 32 bits a pixel, as allocated.
    void putRgbRows(const unsigned char *source, size_t sourceStride, int channels)
    {
        for (int y = 0; y < height; ++y) {
            const unsigned char *src = source + size_t(y) * sourceStride;
            unsigned char *dst = row(y);
            for (int x = 0; x < width; ++x, src += channels, dst += channels) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
                if (channels == 4)
                    dst[3] = src[3];
            }
        }
    }

    // The rows were written top-down into `bits` (32 bits per pixel); puts them bottom-up and,
    // when `swapRedBlue`, turns red, green, blue, alpha into blue, green, red, alpha.
    void finishTopDown32(bool swapRedBlue)
    {
        std::vector<unsigned char> spare(stride);
        for (int top = 0, bottom = height - 1; top <= bottom; ++top, --bottom) {
            unsigned char *a = bits + size_t(top) * stride;
            unsigned char *b = bits + size_t(bottom) * stride;
            if (swapRedBlue) {
                swapChannels(a);
                if (a != b)
                    swapChannels(b);
            }
            if (a != b) {
                std::memcpy(spare.data(), a, stride);
                std::memcpy(a, b, stride);
                std::memcpy(b, spare.data(), stride);
            }
        }
    }

    // Appends the colour trailer to the info block: the H.273 code points, or an ICC profile.
    bool describeColours(uint16_t primaries, uint16_t transfer)
    {
        return appendTrailer(primaries, transfer, nullptr, 0);
    }
    bool describeColours(const void *icc, size_t iccSize)
    {
        return icc && iccSize > 0 && iccSize < (1u << 24) && appendTrailer(0, 0, icc, iccSize);
    }

    void handOver(void **pInfo, void **pBits)
    {
        *pInfo = info;
        *pBits = bits;
        info = nullptr;
        bits = nullptr;
    }

private:
    bool appendTrailer(uint16_t primaries, uint16_t transfer, const void *icc, size_t iccSize)
    {
        if (!info)
            return false;
        const size_t grown = infoSize + sizeof(LunettaColourTrailer) + iccSize;
        void *more = std::realloc(info, grown);
        if (!more)
            return false;
        info = more;
        LunettaColourTrailer trailer { LUNETTA_COLOUR_TRAILER_MAGIC, uint32_t(iccSize), primaries,
                                       transfer };
        unsigned char *at = static_cast<unsigned char *>(info) + infoSize;
        std::memcpy(at, &trailer, sizeof trailer);
        if (iccSize)
            std::memcpy(at + sizeof trailer, icc, iccSize);
        infoSize = grown;
        return true;
    }
};

// The whole file, or nothing when it cannot be read.
inline bool readFile(const char *path, long offset, std::vector<unsigned char> &data)
{
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= offset && offset >= 0 && std::fseek(f, offset, SEEK_SET) == 0;
    if (ok) {
        data.resize(size_t(size - offset));
        ok = data.empty() || std::fread(data.data(), 1, data.size(), f) == data.size();
    }
    std::fclose(f);
    return ok;
}

// The checks every GetPicture makes before `decode(path, offset, pInfo, pBits)` runs: output
// pointers cleared, a file input only, nothing thrown out of the plug-in. A decoder that reads
// the file itself at the offset takes one; the others only pictures at the file's start.
template<typename Decode>
int checkedGetPicture(const char *buf, long len, unsigned int flag, void **pHBInfo, void **pHBm,
                      bool offsetAllowed, Decode decode)
{
    if (!buf || !pHBInfo || !pHBm)
        return LUNETTA_SPI_INTERNAL_ERROR;
    *pHBInfo = nullptr;
    *pHBm = nullptr;
    if (flag != LUNETTA_SPI_INPUT_FILE || (len != 0 && !offsetAllowed))
        return LUNETTA_SPI_NOT_IMPLEMENTED;
    try {
        return decode(buf, len, pHBInfo, pHBm);
    } catch (...) {
        return LUNETTA_SPI_NO_MEMORY;
    }
}

// The same for a decoder of pictures at the file's start only: decode(path, pHBInfo, pHBm).
template<typename Decode>
int checkedGetPictureAtStart(const char *buf, long len, unsigned int flag, void **pHBInfo,
                             void **pHBm, Decode decode)
{
    return checkedGetPicture(buf, len, flag, pHBInfo, pHBm, false,
                             [&decode](const char *path, long, void **pInfo, void **pBits) {
                                 return decode(path, pInfo, pBits);
                             });
}

} // namespace spi
