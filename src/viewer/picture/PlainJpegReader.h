#pragma once

#include <QImage>
#include <QString>

// Decodes the usual JPEG (three colour components, no colour profile, nothing amiss in its data)
// straight into the form pictures are drawn from, RGB32. Qt's reader decodes into 24-bit rows and
// copies each into the picture: a tenth of the decode's time, which at start-up the first picture
// waits for. Anything else it leaves to Qt's reader by answering a null image: grey and CMYK
// pictures, a colour profile, a warning about the data (a truncated file, a damaged segment), a
// picture larger than the reader's allocation limit, a file that cannot be read.
class PlainJpegReader
{
public:
    // The caller knows the file is a JPEG that needs no turning.
    static QImage read(const QString &path);
};
