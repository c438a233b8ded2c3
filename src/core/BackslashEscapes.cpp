#include "core/BackslashEscapes.h"

namespace BackslashEscapes {

namespace {

struct LineEscape
{
    char16_t character;
    const char16_t *escape;
};

constexpr LineEscape lineEscapes[]
    = { { u'\\', u"\\\\" }, { u'\r', u"\\r" }, { u'\n', u"\\n" }, { u'\t', u"\\t" } };

} // namespace

QStringView lineEscape(QChar c)
{
    for (const LineEscape &e : lineEscapes) {
        if (c == e.character)
            return e.escape;
    }
    return {};
}

QChar lineUnescape(QChar letter)
{
    for (const LineEscape &e : lineEscapes) {
        if (letter == e.escape[1])
            return e.character;
    }
    return {};
}

QString escapeLines(QStringView text)
{
    QString out;
    for (const QChar c : text) {
        const QStringView escape = lineEscape(c);
        if (escape.isNull())
            out += c;
        else
            out += escape;
    }
    return out;
}

} // namespace BackslashEscapes
