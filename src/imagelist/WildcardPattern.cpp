#include "imagelist/WildcardPattern.h"

namespace {

inline char16_t fold(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
    return QChar(c).toCaseFolded().unicode();
}

// Length in code units of the character starting at `i`: a surrogate pair is one character.
inline qsizetype charLength(QStringView s, qsizetype i)
{
    return (i + 1 < s.size() && QChar::isHighSurrogate(s[i].unicode())
            && QChar::isLowSurrogate(s[i + 1].unicode()))
        ? 2
        : 1;
}

} // namespace

WildcardPattern::WildcardPattern(QStringView pattern)
{
    m_folded.reserve(size_t(pattern.size()));
    for (QChar c : pattern)
        m_folded.push_back(fold(c.unicode()));
}

bool WildcardPattern::matches(QStringView name) const
{
    if (m_folded.empty())
        return false;
    if (matchesFolded(m_folded, name))
        return true;
    // "*.*" means every file, also one whose name has no dot, as users of the mask expect:
    // a trailing ".*" may match nothing at all when the name has no dot.
    const size_t n = m_folded.size();
    return n >= 2 && m_folded[n - 2] == u'.' && m_folded[n - 1] == u'*' && !name.contains(u'.')
        && matchesFolded(m_folded.substr(0, n - 2), name);
}

bool WildcardPattern::matchesFolded(const std::u16string &p, QStringView name)
{
    const qsizetype pn = qsizetype(p.size());
    qsizetype pi = 0, ni = 0;
    // Where the last "*" was seen, and the name position it currently stands for.
    qsizetype starP = -1, starN = 0;
    while (ni < name.size()) {
        if (pi < pn && p[size_t(pi)] == u'*') {
            starP = pi++;
            starN = ni;
        } else if (pi < pn && p[size_t(pi)] == u'?') {
            ++pi;
            ni += charLength(name, ni);
        } else if (pi < pn && p[size_t(pi)] == fold(name[ni].unicode())) {
            ++pi;
            ++ni;
        } else if (starP >= 0) {
            // Let the last "*" take one more character and try again behind it.
            pi = starP + 1;
            starN += charLength(name, starN);
            ni = starN;
        } else {
            return false;
        }
    }
    while (pi < pn && p[size_t(pi)] == u'*')
        ++pi;
    return pi == pn;
}

QList<WildcardPattern> WildcardPattern::splitMask(const QString &mask)
{
    QList<WildcardPattern> patterns;
    for (QStringView part : QStringView(mask).split(u';'))
        patterns.append(WildcardPattern(part));
    return patterns;
}
