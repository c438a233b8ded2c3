#include "viewer/picture/ApngFrameSource.h"

#include <QColorSpace>
#include <QPainter>
#include <QtEndian>

#include <array>

namespace {

const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
// No chunk of a real picture comes near this; a larger length is a broken file.
constexpr quint32 largestChunk = 64 * 1024 * 1024;

quint32 crc32(const QByteArray &type, const QByteArray &data)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t {};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const QByteArray *part : { &type, &data }) {
        for (const char byte : *part)
            c = table[(c ^ quint8(byte)) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

QByteArray chunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray out(4, '\0');
    qToBigEndian(quint32(data.size()), out.data());
    out += type + data + QByteArray(4, '\0');
    qToBigEndian(crc32(type, data), out.data() + out.size() - 4);
    return out;
}

quint32 be32(const QByteArray &data, int at)
{
    return qFromBigEndian<quint32>(data.constData() + at);
}

quint16 be16(const QByteArray &data, int at)
{
    return qFromBigEndian<quint16>(data.constData() + at);
}

bool isShared(const QByteArray &type)
{
    for (const char *kept : { "PLTE", "tRNS", "gAMA", "cHRM", "sRGB", "iCCP", "sBIT" }) {
        if (type == kept)
            return true;
    }
    return false;
}

} // namespace

ApngFrameSource::ApngFrameSource(const QString &path, qint64 maxPixels)
    : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly) || m_file.read(8) != signature)
        return;
    Chunk c;
    // Everything before the picture data; the animation control must come there.
    while (readChunk(c) && c.type != "IDAT" && c.type != "IEND") {
        if (c.type == "IHDR" && c.data.size() == 13) {
            m_ihdr = c.data;
            m_size = QSize(int(be32(c.data, 0)), int(be32(c.data, 4)));
        } else if (c.type == "acTL" && c.data.size() == 8) {
            m_frames = int(std::min<quint32>(be32(c.data, 0), 1 << 20));
        } else if (c.type == "fcTL") {
            m_pendingControl = c.data;
        } else if (isShared(c.type)) {
            m_shared += chunk(c.type, c.data);
        }
    }
    if (c.type != "IDAT" || m_ihdr.isEmpty() || m_frames < 1 || m_size.isEmpty()
        || qint64(m_size.width()) * m_size.height() > maxPixels)
        return;
    // The picture data is the first frame only when a frame control comes before it.
    m_ok = true;
    m_file.seek(m_file.pos() - 12 - c.data.size());
    if (m_pendingControl.isEmpty()) {
        while (readChunk(c) && c.type != "fcTL" && c.type != "IEND") { }
        if (c.type == "fcTL")
            m_pendingControl = c.data;
    }
    m_canvas = QImage(m_size, QImage::Format_ARGB32_Premultiplied);
    if (m_canvas.isNull())
        m_ok = false;
    else
        m_canvas.fill(Qt::transparent);
}

bool ApngFrameSource::readChunk(Chunk &c)
{
    const QByteArray head = m_file.read(8);
    if (head.size() != 8)
        return false;
    const quint32 length = be32(head, 0);
    if (length > largestChunk)
        return false;
    c.type = head.mid(4, 4);
    c.data = m_file.read(length);
    // The CRC is checked by the PNG reader for what it decodes.
    return c.data.size() == qsizetype(length) && m_file.read(4).size() == 4;
}

bool ApngFrameSource::parseControl(const QByteArray &data, QSize canvas, Control &control)
{
    if (data.size() != 26)
        return false;
    control.width = int(be32(data, 4));
    control.height = int(be32(data, 8));
    control.x = int(be32(data, 12));
    control.y = int(be32(data, 16));
    const int numerator = be16(data, 20);
    const int denominator = be16(data, 22) == 0 ? 100 : be16(data, 22);
    control.delayMs = numerator * 1000 / denominator;
    control.dispose = quint8(data[24]);
    control.blend = quint8(data[25]);
    return control.width > 0 && control.height > 0 && control.x >= 0 && control.y >= 0
        && qint64(control.x) + control.width <= canvas.width()
        && qint64(control.y) + control.height <= canvas.height();
}

QImage ApngFrameSource::decodeFrame(const Control &control, const QList<QByteArray> &data) const
{
    QByteArray header = m_ihdr;
    qToBigEndian(quint32(control.width), header.data());
    qToBigEndian(quint32(control.height), header.data() + 4);
    QByteArray png = signature + chunk("IHDR", header) + m_shared;
    for (const QByteArray &part : data)
        png += chunk("IDAT", part);
    png += chunk("IEND", QByteArray());
    return QImage::fromData(png, "PNG");
}

bool ApngFrameSource::next(QImage &frame, int &delayMs)
{
    if (!m_ok || m_read >= m_frames || m_pendingControl.isEmpty())
        return false;
    Control control;
    if (!parseControl(m_pendingControl, m_size, control))
        return false;
    m_pendingControl.clear();
    // The frame's data: the picture data for the first, frame data chunks for the rest.
    QList<QByteArray> data;
    Chunk c;
    while (readChunk(c)) {
        if (c.type == "IDAT" && m_read == 0)
            data << c.data;
        else if (c.type == "fdAT" && c.data.size() > 4)
            data << c.data.mid(4);
        else if (c.type == "fcTL") {
            m_pendingControl = c.data;
            break;
        } else if (c.type == "IEND")
            break;
    }
    QImage part = decodeFrame(control, data);
    if (part.size() != QSize(control.width, control.height))
        return false;

    const QRect area(control.x, control.y, control.width, control.height);
    QPainter painter(&m_canvas);
    if (m_haveLast) {
        // What the frame before asked to leave behind it.
        const QRect last(m_last.x, m_last.y, m_last.width, m_last.height);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        if (m_last.dispose == 1)
            painter.fillRect(last, Qt::transparent);
        else if (m_last.dispose == 2 && !m_saved.isNull())
            painter.drawImage(last.topLeft(), m_saved);
    }
    // The first frame has nothing to go back to: it clears instead.
    if (control.dispose == 2 && m_read == 0)
        control.dispose = 1;
    m_saved = control.dispose == 2 ? m_canvas.copy(area) : QImage();
    painter.setCompositionMode(control.blend == 1 ? QPainter::CompositionMode_SourceOver
                                                  : QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), part);
    painter.end();
    m_last = control;
    m_haveLast = true;
    ++m_read;
    frame = m_canvas.copy();
    frame.setColorSpace(part.colorSpace());
    delayMs = control.delayMs;
    return true;
}

bool ApngFrameSource::isAnimated(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(8) != signature)
        return false;
    // The animation control comes before the picture data; only the headers are read.
    for (int chunks = 0; chunks < 64; ++chunks) {
        const QByteArray head = file.read(8);
        if (head.size() != 8)
            return false;
        const QByteArray type = head.mid(4, 4);
        if (type == "acTL")
            return true;
        if (type == "IDAT")
            return false;
        if (!file.seek(file.pos() + be32(head, 0) + 4))
            return false;
    }
    return false;
}

FrameSourceOpener ApngFrameSource::opener(const QString &path)
{
    return [path]() -> std::unique_ptr<FrameSource> {
        return std::make_unique<ApngFrameSource>(path);
    };
}
