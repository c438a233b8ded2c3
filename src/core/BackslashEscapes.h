#pragma once

#include <QString>
#include <QStringView>

// Backslash escapes that keep a text on one line of a text file. The settings file, the message
// log and Wine's registry files all write them; each adds escapes of its own.
namespace BackslashEscapes {

// The escape of a backslash, carriage return, line feed or tab: a backslash, then the
// backslash or the letter r, n or t; null for any other character.
QStringView lineEscape(QChar c);
// The character such an escape stands for, by the letter after its backslash; null for any
// other letter.
QChar lineUnescape(QChar letter);

// `text` with those four characters escaped and nothing else.
QString escapeLines(QStringView text);

// Undoes the escapes of `text`. Each backslash followed by a character is handed to
// `decode(letter, at, out)` with `at` on that character; it appends what the escape stands for
// to `out`, moves `at` to the last character it took, and returns false where the text ends
// early. A backslash at the very end stays as it is.
template<typename Decode> QString unescape(QStringView text, Decode decode)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        ++i;
        if (!decode(text[i], i, out))
            break;
    }
    return out;
}

} // namespace BackslashEscapes
