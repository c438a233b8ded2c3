#include "BenchPictures.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

QImage photo(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(0.6, QColor(200, 170, 120));
    sky.setColorAt(1, QColor(60, 110, 40));
    p.fillRect(image.rect(), sky);
    QRadialGradient sun(size.width() * 0.7, size.height() * 0.3, size.height() * 0.25);
    sun.setColorAt(0, QColor(255, 240, 200, 230));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.fillRect(image.rect(), sun);
    p.end();
    QRandomGenerator rng(42);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = int(rng.bounded(25u)) - 12;
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                           std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    return image;
}

QString makeJpeg(const QString &path, QSize size)
{
    photo(size).save(path, "JPEG", 90);
    return path;
}

double statusMiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}
