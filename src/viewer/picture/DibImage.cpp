#include "viewer/picture/DibImage.h"

#include "viewer/picture/ColourConversion.h"

#include "lunetta_plugin.h"

#include <QColorSpace>

#include <cstring>

namespace {

struct Layout
{
    int width = 0;
    int height = 0;
    int bitCount = 0;
    int colours = 0; // palette entries
    size_t stride = 0;
};

bool describe(const LunettaBitmapInfoHeader &h, size_t infoSize, size_t bitsSize, qint64 limitBytes,
              Layout &out)
{
    if (h.biSize != sizeof(LunettaBitmapInfoHeader) || h.biPlanes != 1 || h.biCompression != 0)
        return false;
    if (h.biWidth <= 0 || h.biHeight <= 0)
        return false;
    const int bitCount = h.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return false;
    // Everything is computed in 64 bits, and the pixel count is bounded by division first: two
    // dimensions near 2^31 would wrap even 64 bits once multiplied by the bytes per pixel.
    const qint64 width = h.biWidth;
    const qint64 height = h.biHeight;
    if (width > limitBytes / 4 / height)
        return false;
    const qint64 stride = (width * bitCount + 31) / 32 * 4;
    const qint64 need = stride * height;
    if (qint64(bitsSize) < need || (h.biSizeImage != 0 && qint64(h.biSizeImage) < need))
        return false;
    qint64 colours = 0;
    if (bitCount <= 8) {
        colours = h.biClrUsed ? qint64(h.biClrUsed) : (qint64(1) << bitCount);
        if (colours > (qint64(1) << bitCount))
            return false;
    }
    if (qint64(infoSize) < qint64(sizeof(LunettaBitmapInfoHeader)) + colours * 4)
        return false;
    out = { int(width), int(height), bitCount, int(colours), size_t(stride) };
    return true;
}

// The colour trailer a plug-in may append after the palette, at `offset`; an invalid colour
// space without one or where it says nothing Qt can describe.
QColorSpace coloursOf(const unsigned char *info, size_t infoSize, size_t offset)
{
    LunettaColourTrailer trailer;
    if (infoSize < offset || infoSize - offset < sizeof trailer)
        return {};
    std::memcpy(&trailer, info + offset, sizeof trailer);
    if (trailer.magic != LUNETTA_COLOUR_TRAILER_MAGIC)
        return {};
    if (trailer.iccSize == 0)
        return ColourConversion::fromCodePoints(trailer.primaries, trailer.transfer);
    if (infoSize - offset - sizeof trailer < trailer.iccSize)
        return {};
    return QColorSpace::fromIccProfile(
        QByteArray::fromRawData(reinterpret_cast<const char *>(info + offset + sizeof trailer),
                                qsizetype(trailer.iccSize)));
}

QList<QRgb> palette(const unsigned char *entries, int colours, int size)
{
    // Indexes beyond the palette show black rather than whatever follows in memory.
    QList<QRgb> table(size, qRgb(0, 0, 0));
    for (int i = 0; i < colours && i < size; ++i) {
        const unsigned char *e = entries + 4 * i;
        table[i] = qRgb(e[2], e[1], e[0]);
    }
    return table;
}

QImage fromRows(const Layout &l, const unsigned char *info, const unsigned char *bits)
{
    const auto row = [&](int y) {
        return bits + size_t(l.height - 1 - y) * l.stride;
    };
    const unsigned char *entries = info + sizeof(LunettaBitmapInfoHeader);

    switch (l.bitCount) {
    case 1: {
        QImage image(l.width, l.height, QImage::Format_Mono);
        if (image.isNull())
            return {};
        image.setColorTable(palette(entries, l.colours, 2));
        const size_t bytes = size_t((l.width + 7) / 8);
        for (int y = 0; y < l.height; ++y)
            std::memcpy(image.scanLine(y), row(y), bytes);
        return image;
    }
    case 4: {
        QImage image(l.width, l.height, QImage::Format_Indexed8);
        if (image.isNull())
            return {};
        image.setColorTable(palette(entries, l.colours, 16));
        for (int y = 0; y < l.height; ++y) {
            const unsigned char *src = row(y);
            uchar *dst = image.scanLine(y);
            for (int x = 0; x < l.width; ++x)
                dst[x] = (x & 1) ? (src[x / 2] & 0x0F) : (src[x / 2] >> 4);
        }
        return image;
    }
    case 8: {
        QImage image(l.width, l.height, QImage::Format_Indexed8);
        if (image.isNull())
            return {};
        image.setColorTable(palette(entries, l.colours, 256));
        for (int y = 0; y < l.height; ++y)
            std::memcpy(image.scanLine(y), row(y), size_t(l.width));
        return image;
    }
    case 24: {
        QImage image(l.width, l.height, QImage::Format_RGB32);
        if (image.isNull())
            return {};
        for (int y = 0; y < l.height; ++y) {
            const unsigned char *src = row(y);
            auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < l.width; ++x, src += 3)
                dst[x] = qRgb(src[2], src[1], src[0]);
        }
        return image;
    }
    default: {
        // Blue, green, red, alpha in memory is QImage's ARGB32 on a little-endian machine.
        QImage image(l.width, l.height, QImage::Format_ARGB32);
        if (image.isNull())
            return {};
        bool allClear = true;
        bool allOpaque = true;
        for (int y = 0; y < l.height; ++y) {
            const unsigned char *src = row(y);
            uchar *dst = image.scanLine(y);
            for (int x = 0; x < l.width; ++x) {
                const QRgb p = qRgba(src[4 * x + 2], src[4 * x + 1], src[4 * x], src[4 * x + 3]);
                reinterpret_cast<QRgb *>(dst)[x] = p;
                allClear &= qAlpha(p) == 0;
                allOpaque &= qAlpha(p) == 255;
            }
        }
        // Writers that leave the fourth byte unused fill it with 0: such a picture is opaque.
        if (allClear) {
            for (int y = 0; y < l.height; ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < l.width; ++x)
                    line[x] |= 0xFF000000u;
            }
            allOpaque = true;
        }
        if (allOpaque)
            image.reinterpretAsFormat(QImage::Format_RGB32);
        return image;
    }
    }
}

} // namespace

QImage DibImage::fromBlocks(const void *info, size_t infoSize, const void *bits, size_t bitsSize,
                            qint64 limitBytes)
{
    if (!info || !bits || infoSize < sizeof(LunettaBitmapInfoHeader))
        return {};
    LunettaBitmapInfoHeader header;
    std::memcpy(&header, info, sizeof header);
    Layout layout;
    if (!describe(header, infoSize, bitsSize, limitBytes, layout))
        return {};
    QImage image = fromRows(layout, static_cast<const unsigned char *>(info),
                            static_cast<const unsigned char *>(bits));
    if (!image.isNull())
        image.setColorSpace(
            coloursOf(static_cast<const unsigned char *>(info), infoSize,
                      sizeof(LunettaBitmapInfoHeader) + size_t(layout.colours) * 4));
    return image;
}
