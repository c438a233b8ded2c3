// An animated PNG of any content: its chunks, frame controls and frame data are read and composed
// without reading outside what the file holds, and every frame has the picture's size.
#include "FuzzSupport.h"

#include "viewer/picture/ApngFrameSource.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.png"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // Small pictures only: a header may claim any size, and the frames are allocated whole.
    ApngFrameSource source(path, 1 << 20);
    QImage frame;
    QSize first;
    int delay = 0;
    for (int i = 0; i < 16 && source.next(frame, delay); ++i) {
        if (i == 0)
            first = frame.size();
        FUZZ_CHECK(!frame.isNull() && frame.size() == first && delay >= 0);
    }
    return 0;
}
