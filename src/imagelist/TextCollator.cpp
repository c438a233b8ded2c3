#include "imagelist/TextCollator.h"

#include <unicode/ucol.h>

TextCollator::TextCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open("ja", &status);
    if (U_FAILURE(status) || !m_collator) {
        // Without the Japanese tailoring the root collation still ignores case and width.
        status = U_ZERO_ERROR;
        m_collator = ucol_open("", &status);
    }
    if (m_collator)
        ucol_setStrength(m_collator, UCOL_SECONDARY);
}

TextCollator::~TextCollator()
{
    if (m_collator)
        ucol_close(m_collator);
}

const TextCollator &TextCollator::japanese()
{
    static const TextCollator collator;
    return collator;
}

std::unique_ptr<TextCollator> TextCollator::clone() const
{
    if (!m_collator)
        return nullptr;
    UErrorCode status = U_ZERO_ERROR;
#if U_ICU_VERSION_MAJOR_NUM >= 71
    UCollator *copy = ucol_clone(m_collator, &status);
#else
    UCollator *copy = ucol_safeClone(m_collator, nullptr, nullptr, &status);
#endif
    if (U_FAILURE(status) || !copy)
        return nullptr;
    return std::unique_ptr<TextCollator>(new TextCollator(copy));
}

int TextCollator::compare(QStringView a, QStringView b) const
{
    if (!m_collator) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const UCollationResult r
        = ucol_strcoll(m_collator, reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
                       reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size()));
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

size_t TextCollator::appendSortKey(QStringView text, std::vector<char> &arena) const
{
    const size_t start = arena.size();
    if (!m_collator) {
        const QByteArray folded = text.toString().toCaseFolded().toUtf8();
        arena.insert(arena.end(), folded.constData(), folded.constData() + folded.size() + 1);
        return start;
    }
    const auto *chars = reinterpret_cast<const UChar *>(text.utf16());
    const auto length = int32_t(text.size());
    // Most keys are a little longer than the text; grow once if this one is not.
    size_t room = size_t(length) * 3 + 16;
    for (;;) {
        arena.resize(start + room);
        const int32_t needed
            = ucol_getSortKey(m_collator, chars, length,
                              reinterpret_cast<uint8_t *>(arena.data() + start), int32_t(room));
        if (needed > 0 && size_t(needed) <= room) {
            arena.resize(start + size_t(needed));
            return start;
        }
        if (needed <= 0) { // cannot happen with a valid collator; keep the key well-formed
            arena.resize(start + 1);
            arena[start] = 0;
            return start;
        }
        room = size_t(needed);
    }
}
