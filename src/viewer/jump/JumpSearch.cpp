#include "viewer/jump/JumpSearch.h"

#include "core/PlayList.h"

#include <unicode/unorm2.h>

#include <QStringMatcher>

#include <vector>

namespace JumpSearch {

namespace {

// Far outside any list, yet far from overflowing when the display step counts on from it.
constexpr qint64 positionBound = 1'000'000'000;

const UNormalizer2 *caseWidthFolder()
{
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2 *folder = unorm2_getNFKCCasefoldInstance(&status);
    return U_SUCCESS(status) ? folder : nullptr;
}

// Folds `text` into `out`, reusing its buffer; false when ICU could not fold it.
bool foldInto(const UNormalizer2 *folder, QStringView text, std::vector<char16_t> &out)
{
    // Folding rarely grows a text by more than a few characters; retry with the size ICU asks.
    int capacity = int(text.size()) * 2 + 16;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (out.size() < size_t(capacity))
            out.resize(size_t(capacity));
        UErrorCode status = U_ZERO_ERROR;
        const int length = unorm2_normalize(folder, reinterpret_cast<const UChar *>(text.utf16()),
                                            int(text.size()), reinterpret_cast<UChar *>(out.data()),
                                            int(out.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            capacity = length + 1;
            continue;
        }
        if (U_FAILURE(status))
            return false;
        out.resize(size_t(length));
        return true;
    }
    return false;
}

} // namespace

std::optional<int> jumpTarget(const QString &text, int currentPosition)
{
    const QStringView t = QStringView(text).trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const bool relative = t.front() == u'+' || t.front() == u'-';
    const bool negative = t.front() == u'-';
    const QStringView digits = relative ? t.mid(1) : t;
    if (digits.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        // Saturates: a 30-digit number is just very far away.
        value = std::min(value * 10 + (c.unicode() - u'0'), positionBound);
    }
    if (negative)
        value = -value;
    if (relative)
        value += currentPosition;
    return int(std::clamp(value, -positionBound, positionBound));
}

QString foldText(const QString &text)
{
    const UNormalizer2 *folder = caseWidthFolder();
    std::vector<char16_t> out;
    if (!folder || !foldInto(folder, text, out))
        return text.toCaseFolded();
    return QString(reinterpret_cast<const QChar *>(out.data()), qsizetype(out.size()));
}

QList<int> findInPlayList(const PlayList &list, const QString &text, bool exact)
{
    QList<int> found;
    const int count = list.count();
    if (exact) {
        const QStringMatcher matcher(text, Qt::CaseSensitive);
        for (int i = 1; i <= count; ++i) {
            if (matcher.indexIn(list.path(i)) >= 0)
                found.append(i);
        }
        return found;
    }
    const UNormalizer2 *folder = caseWidthFolder();
    const QString needle = foldText(text);
    const QStringMatcher matcher(needle, Qt::CaseSensitive);
    std::vector<char16_t> buffer;
    for (int i = 1; i <= count; ++i) {
        const QString &path = list.path(i);
        QStringView haystack;
        // Most paths fold to themselves only after the folder has looked at them; the buffer
        // is reused so that a million paths cost no million allocations.
        if (folder && foldInto(folder, path, buffer))
            haystack = QStringView(buffer.data(), qsizetype(buffer.size()));
        else
            haystack = path;
        if (matcher.indexIn(haystack) >= 0)
            found.append(i);
    }
    return found;
}

} // namespace JumpSearch
