// The folder-entry dialog's date and size boxes, whatever is typed into them.
#include "FuzzSupport.h"

#include "imagelist/AddFolderConditions.h"
#include "imagelist/DateText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto date = DateText::parse(text))
        FUZZ_CHECK(date->isValid(), text);
    if (const auto bytes = AddFolderConditions::readFileSize(text))
        FUZZ_CHECK(*bytes >= 0, text);
    AddFolderConditions conditions;
    conditions.sizeEnabled = true;
    conditions.timeEnabled = true;
    conditions.sizeMin = text;
    conditions.timeMax = text;
    (void)conditions.checkOk();
    return 0;
}
