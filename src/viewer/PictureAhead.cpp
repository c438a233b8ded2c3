#include "viewer/PictureAhead.h"

#include "viewer/PictureBuffer.h"

#include <QFile>
#include <QImageReader>

#include <sys/stat.h>

#include <chrono>

namespace {

// Qt refuses pictures above 128 MB by default; a 48-megapixel photo needs about 190 MB.
constexpr int decodeLimitMegabytes = 1024;

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
    m_pool.waitForDone();
}

PictureAhead::Picture PictureAhead::decode(const QString &path, QSize bound)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize natural;
    // Only JPEG scales while decoding; other formats would decode whole and scale twice.
    if (bound.isValid() && reader.format() == "jpeg") {
        // The reduced size applies to the picture as stored, before it is turned upright.
        const QSize stored = reader.size();
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize reduced = reducedSize(stored, turned ? bound.transposed() : bound);
        if (reduced.isValid()) {
            reader.setScaledSize(reduced);
            natural = turned ? stored.transposed() : stored;
        }
    }
    Picture picture;
    picture.image = PictureBuffer::drawingForm(reader.read());
    picture.natural = natural.isValid() ? natural : picture.image.size();
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

void PictureAhead::start(const QString &path, QSize bound)
{
    drop();
    if (path.isEmpty())
        return;
    auto promise = std::make_shared<std::promise<Decoded>>();
    m_result = promise->get_future().share();
    m_path = path;
    m_pool.start([promise, path, bound] {
        Decoded decoded;
        try {
            // Stamped before reading: a file replaced while it is read no longer matches.
            decoded.before = Stamp::of(path);
            if (decoded.before.exists)
                decoded.picture = decode(path, bound);
        } catch (...) {
            // Out of memory for this picture: the step decodes it itself, or reports it.
            decoded.picture = Picture();
        }
        promise->set_value(std::move(decoded));
    });
}

void PictureAhead::drop()
{
    m_path.clear();
    m_result = {};
}

PictureAhead::Picture PictureAhead::take(const QString &path)
{
    if (m_path.isEmpty() || path != m_path) {
        drop();
        return {};
    }
    const std::shared_future<Decoded> result = std::move(m_result);
    drop();
    Decoded decoded = result.get();
    if (decoded.picture.image.isNull() || !(Stamp::of(path) == decoded.before))
        return {};
    return decoded.picture;
}
