#include "viewer/picture/ColourConversion.h"

#include <QMutex>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <future>
#include <vector>

namespace {

std::atomic<bool> enabled { true };
// Read by the decode threads, set at start and when the screen's profile changes.
QMutex displayLock;
QColorSpace displaySpace;

} // namespace

void ColourConversion::setEnabled(bool on)
{
    enabled = on;
}

bool ColourConversion::isEnabled()
{
    return enabled;
}

void ColourConversion::setDisplay(const QColorSpace &space)
{
    QMutexLocker lock(&displayLock);
    displaySpace = space.isValid() ? space : QColorSpace();
}

QColorSpace ColourConversion::display()
{
    QMutexLocker lock(&displayLock);
    return displaySpace.isValid() ? displaySpace : QColorSpace(QColorSpace::SRgb);
}

QImage ColourConversion::toDisplay(QImage image)
{
    const QColorSpace profile = image.colorSpace();
    if (!enabled || image.isNull() || !profile.isValid())
        return image;
    const QColorSpace target = display();
    if (profile == target)
        return image;
    const QImage::Format format = image.format();
    const bool strips = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
        || format == QImage::Format_ARGB32_Premultiplied;
    const int parts = std::clamp(QThread::idealThreadCount(), 1, 4);
    if (!strips || parts == 1 || qint64(image.width()) * image.height() < 1000000) {
        image.convertToColorSpace(target);
        return image;
    }
    uchar *bits = image.bits();
    const qsizetype line = image.bytesPerLine();
    const int rows = (image.height() + parts - 1) / parts;
    std::vector<std::future<void>> work;
    for (int top = 0; top < image.height(); top += rows) {
        work.push_back(std::async(std::launch::async, [=, &image, &target] {
            // A view of the strip: converted in the picture's own memory.
            QImage strip(bits + top * line, image.width(), std::min(rows, image.height() - top),
                         line, format);
            strip.setColorSpace(profile);
            strip.convertToColorSpace(target);
        }));
    }
    for (auto &done : work)
        done.get();
    image.setColorSpace(target);
    return image;
}

QColorSpace ColourConversion::fromCodePoints(int primaries, int transfer)
{
    QColorSpace::TransferFunction curve;
    switch (transfer) {
    case 13: // sRGB
    // BT.709, BT.601 and BT.2020 (10 and 12 bits) share a curve close to sRGB's on screen.
    case 1:
    case 6:
    case 14:
    case 15:
        curve = QColorSpace::TransferFunction::SRgb;
        break;
    case 8:
        curve = QColorSpace::TransferFunction::Linear;
        break;
    default: // unspecified, PQ, HLG and the rest: not described here
        return {};
    }
    const QPointF d65(0.3127, 0.3290);
    switch (primaries) {
    case 1: // BT.709, the primaries of sRGB
        return QColorSpace(QColorSpace::Primaries::SRgb, curve);
    case 12: // Display P3
        return QColorSpace(QColorSpace::Primaries::DciP3D65, curve);
    case 9: // BT.2020
        return QColorSpace(d65, QPointF(0.708, 0.292), QPointF(0.170, 0.797), QPointF(0.131, 0.046),
                           curve);
    default:
        return {};
    }
}
