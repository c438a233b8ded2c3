#pragma once

#include <QColorSpace>
#include <QImage>

// Shows pictures in the colours their profile means: a picture that carries a colour space
// other than the display's is converted to the display's, on the thread that decodes it. The
// display's colour space is sRGB unless the X server publishes the screen's own profile.
class ColourConversion
{
public:
    // On unless the user turned it off.
    static void setEnabled(bool on);
    static bool isEnabled();
    // The colour space pictures are converted to; an invalid one means sRGB.
    static void setDisplay(const QColorSpace &space);
    static QColorSpace display();

    // `image` in the display's colours; unchanged when it carries no colour space, the
    // display's own, or conversion is off. A large picture is converted in strips on several
    // threads: alone, the conversion would add a third to the decode of a photo.
    static QImage toDisplay(QImage image);

    // The colour space of ITU-T H.273 code points (colour primaries, transfer characteristics),
    // as HEIF, AVIF and JPEG XL state them; invalid where Qt cannot describe it (PQ, HLG) or
    // where the file leaves it unspecified.
    static QColorSpace fromCodePoints(int primaries, int transfer);
};
