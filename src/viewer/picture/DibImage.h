#pragma once

#include <QImage>

#include <cstddef>

// Turns the two blocks a picture plug-in returns (a 40-byte BITMAPINFOHEADER with its palette,
// and bottom-up rows padded to 4 bytes) into a picture. Every field and both block sizes are
// checked first: a header that does not describe a picture Lunetta can show, or blocks shorter
// than the header says, give a null image, never a read outside the blocks. A colour trailer
// after the palette gives the picture its colour space.
class DibImage
{
public:
    // Pictures whose 32-bit form would exceed `limitBytes` are refused.
    static QImage fromBlocks(const void *info, size_t infoSize, const void *bits, size_t bitsSize,
                             qint64 limitBytes);
};
