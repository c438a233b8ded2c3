// A JPEG of any content: the program's own reader either declines it or gives a picture of the
// size the file declares, within the allocation limit, and never reads outside what it holds.
#include "FuzzSupport.h"

#include "viewer/picture/PlainJpegReader.h"

#include <QFile>
#include <QImageReader>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = FuzzSupport::scratchFolder() + QStringLiteral("/input.jpg");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // Small pictures only: a header may claim any size, and the picture is allocated whole.
    constexpr int limitMiB = 4;
    QImageReader::setAllocationLimit(limitMiB);
    const QImage picture = PlainJpegReader::read(path);
    FUZZ_CHECK(picture.isNull()
               || (picture.format() == QImage::Format_RGB32 && !picture.size().isEmpty()
                   && picture.sizeInBytes() <= qsizetype(limitMiB) * 1024 * 1024));
    return 0;
}
