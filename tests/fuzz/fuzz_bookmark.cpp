// Bookmark files: UTF-8 or CP932 bytes from anywhere.
#include "FuzzSupport.h"

#include "core/TextFileCodec.h"
#include "imagelist/BookmarkFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<BookmarkFile::Contents> read
        = BookmarkFile::parse(TextFileCodec::decode(bytes));
    if (!read)
        return 0;
    // A bookmark that was read is written and read again as the same bookmark.
    const QByteArray again
        = BookmarkFile::format(read->page, read->settingName.value_or(QString()), read->paths);
    const auto reread = BookmarkFile::parse(TextFileCodec::decode(again));
    FUZZ_CHECK(reread.has_value());
    FUZZ_CHECK(reread->page == read->page);
    return 0;
}
