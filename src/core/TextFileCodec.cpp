#include "core/TextFileCodec.h"

#include <QStringDecoder>
#include <QStringList>

#include <iconv.h>

namespace TextFileCodec {

namespace {

QString decodeCp932WithIconv(const QByteArray &bytes)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes);
    QByteArray out(bytes.size() * 2 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == size_t(-1)) {
            if (outLeft < 2)
                break;
            // An undecodable byte becomes U+FFFD and decoding goes on.
            *outPtr++ = char(0xFD);
            *outPtr++ = char(0xFF);
            outLeft -= 2;
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return QString(reinterpret_cast<const QChar *>(out.constData()),
                   (out.size() - qsizetype(outLeft)) / 2);
}

} // namespace

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    QStringDecoder cp932("CP932");
    if (cp932.isValid()) {
        text = cp932(bytes);
        return text;
    }
    return decodeCp932WithIconv(bytes);
}

QByteArray encode(const QString &text)
{
    return text.toUtf8();
}

int lineEndAt(const QString &text, qsizetype pos)
{
    if (pos >= text.size())
        return 0;
    if (text[pos] == u'\n')
        return 1;
    if (text[pos] != u'\r')
        return 0;
    return pos + 1 < text.size() && text[pos + 1] == u'\n' ? 2 : 1;
}

bool endsWithLineEnd(const QString &text)
{
    return text.endsWith(u'\n') || text.endsWith(u'\r');
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int end = lineEndAt(text, i);
        if (end == 0)
            continue;
        lines.append(text.mid(start, i - start));
        i += end - 1;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace TextFileCodec
