// What a picture plug-in hands back: a header block and a bits block, sizes and fields of any
// value. The picture must never be read from outside the blocks.
#include "FuzzSupport.h"

#include "viewer/picture/DibImage.h"

#include <QImage>

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    // Each block is copied to a heap block of exactly its size, so that ASan sees any overrun.
    const std::vector<uint8_t> info
        = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 40 + 256 * 4 + 16));
    const std::vector<uint8_t> bits = in.ConsumeRemainingBytes<uint8_t>();
    const auto infoCopy = std::make_unique<uint8_t[]>(info.size());
    const auto bitsCopy = std::make_unique<uint8_t[]>(bits.size());
    std::copy(info.begin(), info.end(), infoCopy.get());
    std::copy(bits.begin(), bits.end(), bitsCopy.get());
    const QImage image = DibImage::fromBlocks(infoCopy.get(), info.size(), bitsCopy.get(),
                                              bits.size(), qint64(64) << 20);
    if (!image.isNull())
        FUZZ_CHECK(image.width() > 0 && image.height() > 0);
    return 0;
}
