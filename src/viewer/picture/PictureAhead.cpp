#include "viewer/picture/PictureAhead.h"

#include "viewer/picture/ApngFrameSource.h"
#include "viewer/picture/ColourConversion.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/picture/PlainJpegReader.h"
#include "viewer/picture/ReaderFrameSource.h"

#include "lunetta_plugin.h"

#include <QFile>
#include <QImageReader>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <future>

namespace {

// Qt refuses pictures above 128 MB by default; a 48-megapixel photo needs about 190 MB. The
// plug-ins and the Windows host are held to the same limit.
constexpr int decodeLimitMegabytes = int(LUNETTA_PICTURE_BYTES_LIMIT >> 20);

// The size to decode a picture of `stored` size at so that it still covers `bound`: a JPEG
// decodes at 1/2, 1/4 or 1/8 of its size for a fraction of the work. Invalid for full size.
QSize reducedSize(QSize stored, QSize bound)
{
    if (!bound.isValid() || bound.isEmpty() || stored.isEmpty())
        return QSize();
    const auto part = [](int length, int divisor) {
        return (length + divisor - 1) / divisor;
    };
    int divisor = 1;
    while (divisor < 8 && part(stored.width(), divisor * 2) >= bound.width()
           && part(stored.height(), divisor * 2) >= bound.height())
        divisor *= 2;
    if (divisor == 1)
        return QSize();
    return QSize(part(stored.width(), divisor), part(stored.height(), divisor));
}

// The frames of a picture file whose format may hold more than one, as the reader that read the
// first one tells (the format as it told before reading): Qt animates WebP (and GIF, MNG); an
// animated PNG it shows still.
FrameSourceOpener framesOf(QImageReader &reader, const QByteArray &format, const QString &path)
{
    if (ReaderFrameSource::mayAnimate(reader))
        return ReaderFrameSource::opener(path);
    if (format == "png" && ApngFrameSource::isAnimated(path))
        return ApngFrameSource::opener(path);
    return {};
}

} // namespace

PictureAhead::PictureAhead()
{
    // Set here, on the user-interface thread, before any decode of ours can read it.
    if (QImageReader::allocationLimit() < decodeLimitMegabytes)
        QImageReader::setAllocationLimit(decodeLimitMegabytes);
    // One worker: a dropped decode finishes before the next begins, so no more than one
    // picture beside the one on screen is ever being built.
    m_pool.setMaxThreadCount(1);
}

PictureAhead::~PictureAhead()
{
    drop();
    dropRest();
    // What has not begun is of use to no one: only the decode under way is waited for.
    m_pool.clear();
    m_pool.waitForDone();
}

PictureAhead::Header PictureAhead::Header::of(QImageReader &reader)
{
    Header header;
    header.jpeg = reader.format() == "jpeg";
    header.stored = reader.size();
    header.turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    header.upright = reader.transformation() == QImageIOHandler::TransformationNone;
    return header;
}

PictureAhead::Header PictureAhead::Header::of(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return of(reader);
}

QSize PictureAhead::reducedSizeFor(const Header &header, QSize bound)
{
    // Only JPEG scales while decoding; other formats would decode whole and scale twice. The
    // reduced size applies to the picture as stored, before it is turned upright.
    if (!bound.isValid() || !header.jpeg)
        return QSize();
    return reducedSize(header.stored, header.turned ? bound.transposed() : bound);
}

bool PictureAhead::isPartWorthDecoding(const Header &header, QSize part)
{
    // Worth it only where the part is a small share of the picture.
    constexpr qint64 minimumShare = 3;
    return !part.isEmpty() && header.jpeg && header.upright
        && qint64(header.stored.width()) * header.stored.height()
        >= minimumShare * qint64(part.width()) * part.height();
}

PictureAhead::Outcome PictureAhead::firstOutcome(const Header &header, QSize bound, QSize firstPart)
{
    if (firstPart.isValid() && isPartWorthDecoding(header, firstPart))
        return { firstPart.boundedTo(header.stored), true };
    const QSize reduced = reducedSizeFor(header, bound);
    return { reduced.isValid() ? reduced : header.stored, false };
}

PictureAhead::Picture PictureAhead::decode(const QString &path, QSize bound)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize natural;
    if (bound.isValid()) {
        const Header header = Header::of(reader);
        const QSize reduced = reducedSizeFor(header, bound);
        if (reduced.isValid()) {
            reader.setScaledSize(reduced);
            natural = header.turned ? header.stored.transposed() : header.stored;
        }
    }
    const QByteArray format = reader.format();
    QImage read;
    if (format == "jpeg" && !reader.scaledSize().isValid()
        && reader.transformation() == QImageIOHandler::TransformationNone)
        read = PlainJpegReader::read(path);
    if (read.isNull())
        read = reader.read();
    Picture picture;
    picture.image = PictureBuffer::drawingForm(ColourConversion::toDisplay(std::move(read)));
    picture.natural = natural.isValid() ? natural : picture.image.size();
    if (!picture.image.isNull())
        picture.frames = framesOf(reader, format, path);
    return picture;
}

QImage PictureAhead::forDrawing(QImage frame)
{
    return PictureBuffer::drawingForm(ColourConversion::toDisplay(std::move(frame)));
}

PictureAhead::Picture PictureAhead::decodePart(const QString &path, QSize part)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const Header header = Header::of(reader);
    if (!isPartWorthDecoding(header, part))
        return {};
    reader.setClipRect(QRect(QPoint(0, 0), part.boundedTo(header.stored)));
    Picture picture;
    picture.image = PictureBuffer::drawingForm(ColourConversion::toDisplay(reader.read()));
    if (picture.image.isNull())
        return {};
    picture.natural = header.stored;
    picture.partial = true;
    return picture;
}

PictureAhead::Stamp PictureAhead::Stamp::of(const QString &path)
{
    Stamp stamp;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

bool PictureAhead::isReady() const
{
    return m_result.valid()
        && m_result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

PictureAhead::Decoded PictureAhead::decodeStamped(const QString &path, QSize bound, QSize part,
                                                  const DrawnSize &drawnSize)
{
    Decoded decoded;
    try {
        // Stamped before reading: a file replaced while it is read no longer matches.
        decoded.before = Stamp::of(path);
        if (decoded.before.exists && part.isValid())
            decoded.picture = decodePart(path, part);
        // A picture too small for a part, or not a JPEG, is decoded whole at once.
        if (decoded.before.exists && decoded.picture.image.isNull())
            decoded.picture = decode(path, bound);
        // Scaling a photo down to a window takes a few milliseconds that the step need not wait.
        Picture &p = decoded.picture;
        if (drawnSize && !p.partial && !p.image.isNull()) {
            const QSize drawn = drawnSize(p.natural);
            if (drawn.isValid() && drawn != p.image.size()
                && p.image.size().boundedTo(drawn) == drawn)
                p.downscaled = PictureBuffer::shrunk(p.image, drawn);
        }
    } catch (...) {
        // Out of memory for this picture: the step decodes it itself, or reports it.
        decoded.picture = Picture();
    }
    return decoded;
}

void PictureAhead::Notice::send()
{
    const std::lock_guard<std::mutex> hold(lock);
    if (ready)
        ready();
}

void PictureAhead::setRestReady(std::function<void()> ready)
{
    {
        const std::lock_guard<std::mutex> hold(m_restReady->lock);
        m_restReady->ready = ready;
    }
    // A rest that finished before anyone listened has told no one: the picture it completes
    // (decoded at start, before the viewer existed) would stay partial.
    if (ready && isRestReady())
        ready();
}

void PictureAhead::queue(const QString &path, QSize bound, QSize part, DrawnSize drawnSize)
{
    drop();
    if (path.isEmpty())
        return;
    m_path = path;
    auto promise = std::make_shared<std::promise<Decoded>>();
    m_result = promise->get_future().share();
    m_pool.start([promise, path, bound, part, drawnSize = std::move(drawnSize)] {
        promise->set_value(decodeStamped(path, bound, part, drawnSize));
    });
}

void PictureAhead::start(const QString &path, QSize bound, QSize firstPart, DrawnSize drawnSize)
{
    queue(path, bound, firstPart, std::move(drawnSize));
    // The whole picture follows its part on the same worker.
    if (m_result.valid() && firstPart.isValid())
        m_rest = queueRest(path, m_result);
}

void PictureAhead::startPart(const QString &path, QSize part)
{
    queue(path, QSize(), part);
}

std::shared_future<PictureAhead::Decoded> PictureAhead::queueRest(const QString &path,
                                                                  std::shared_future<Decoded> first)
{
    m_restPath = path;
    auto promise = std::make_shared<std::promise<Decoded>>();
    std::shared_future<Decoded> result = promise->get_future().share();
    m_pool.start([promise, path, first = std::move(first), done = m_restReady] {
        // The one worker has finished the first decode already: when that gave the whole
        // picture, there is no rest to decode.
        if (first.valid() && !first.get().picture.partial)
            promise->set_value(Decoded());
        else
            promise->set_value(decodeStamped(path, QSize(), QSize()));
        done->send();
    });
    return result;
}

void PictureAhead::decodeRest(const QString &path)
{
    if (m_restPath == path && m_rest.valid())
        return;
    m_rest = queueRest(path);
}

bool PictureAhead::isRestReady() const
{
    return m_rest.valid() && m_rest.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

PictureAhead::Picture PictureAhead::takeRest(const QString &path)
{
    const bool same = !m_restPath.isEmpty() && path == m_restPath;
    const std::shared_future<Decoded> rest = std::move(m_rest);
    dropRest();
    return same ? checked(rest, path) : Picture();
}

PictureAhead::Picture PictureAhead::checked(const std::shared_future<Decoded> &result,
                                            const QString &path)
{
    Decoded decoded = result.get();
    if (decoded.picture.image.isNull() || !(Stamp::of(path) == decoded.before))
        return {};
    return decoded.picture;
}

void PictureAhead::release(QImage image)
{
    // Only the last holder frees the pixels; a shared or empty image costs nothing here.
    if (image.isNull() || !image.isDetached())
        return;
    m_pool.start([image = std::move(image)]() mutable { image = QImage(); });
}

void PictureAhead::drop()
{
    m_path.clear();
    m_result = {};
}

PictureAhead::Picture PictureAhead::take(const QString &path)
{
    // The whole of another picture is of no use any more.
    if (m_restPath != path)
        dropRest();
    if (m_path.isEmpty() || path != m_path) {
        drop();
        return {};
    }
    const std::shared_future<Decoded> result = std::move(m_result);
    drop();
    Picture picture = checked(result, path);
    // Nor is the whole of a file changed since, or of one decoded whole already.
    if (picture.image.isNull() || !picture.partial)
        dropRest();
    return picture;
}

void PictureAhead::dropRest()
{
    m_restPath.clear();
    m_rest = {};
}
