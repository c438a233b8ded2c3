#pragma once

#include <QByteArray>
#include <QImage>

// Writes a picture in the test plug-in's "Kumo" format (see kumo_spi.c): runs of equal
// pixels as repeat packets, everything else as literal packets.
inline QByteArray encodeKumo(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QByteArray out("KUMO");
    const auto u16 = [&out](int v) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    };
    u16(image.width());
    u16(image.height());
    out.append(char(24));
    out.append(7, '\0');
    QList<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        pixels.append(QList<QRgb>(line, line + image.width()));
    }
    const auto put = [&out](QRgb p) {
        out.append(char(qBlue(p)));
        out.append(char(qGreen(p)));
        out.append(char(qRed(p)));
    };
    qsizetype i = 0;
    while (i < pixels.size()) {
        qsizetype run = 1;
        while (i + run < pixels.size() && run < 128 && pixels[i + run] == pixels[i])
            ++run;
        if (run >= 2) {
            out.append(char(127 + run));
            put(pixels[i]);
            i += run;
            continue;
        }
        qsizetype literal = 1;
        while (
            i + literal < pixels.size() && literal < 128
            && !(i + literal + 1 < pixels.size() && pixels[i + literal] == pixels[i + literal + 1]))
            ++literal;
        out.append(char(literal - 1));
        for (qsizetype k = 0; k < literal; ++k)
            put(pixels[i + k]);
        i += literal;
    }
    return out;
}
