// Wildcard masks typed by the user against file names found on disk.
#include "FuzzSupport.h"

#include "imagelist/WildcardPattern.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString mask = QString::fromUtf8(in.ConsumeRandomLengthString(256));
    const QString name = QString::fromUtf8(in.ConsumeRemainingBytesAsString());
    for (const WildcardPattern &pattern : WildcardPattern::splitMask(mask))
        (void)pattern.matches(name);
    // "*" takes every name, whatever characters it holds.
    if (!mask.isEmpty() && !mask.contains(u';'))
        FUZZ_CHECK(WildcardPattern(QStringLiteral("*")).matches(mask));
    return 0;
}
