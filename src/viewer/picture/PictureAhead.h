#pragma once

#include "viewer/picture/FrameSource.h"

#include <QImage>
#include <QImageReader>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <future>
#include <memory>
#include <mutex>

// Decodes the picture the next display step will show on a worker thread while the current one
// is on screen, and hands it over when that step asks for the same file, unchanged on disk.
// At most one picture is held or in work; starting another or dropping it lets the old one go.
class PictureAhead
{
public:
    PictureAhead();
    ~PictureAhead();
    PictureAhead(const PictureAhead &) = delete;
    PictureAhead &operator=(const PictureAhead &) = delete;

    // A decoded picture and the size it has at full scale, which is larger than the image when
    // it was decoded reduced.
    struct Picture
    {
        QImage image;
        QSize natural;
        // Only the top left part of the picture, at full scale; the rest follows.
        bool partial = false;
        // The frames of the file from its first, when it may hold more than this first one.
        FrameSourceOpener frames;
        // The image already scaled down to the size its step will draw it at, when that size
        // was foreseen; the step then draws it without scaling.
        QImage downscaled;
        bool isReduced() const { return !partial && !image.isNull() && image.size() != natural; }
    };

    // What a decode needs to know of a picture file before reading it, from its header.
    struct Header
    {
        QSize stored;
        bool jpeg = false;
        // Turned a quarter by its EXIF orientation, or not turned or mirrored at all.
        bool turned = false;
        bool upright = true;
        static Header of(QImageReader &reader);
        static Header of(const QString &path);
    };
    // What a start with these arguments hands over first: the size the picture is decoded at
    // (as stored) and whether it is only a part. Starts with the same outcome hand over the
    // same picture, which lets a decode begun on a guess be kept.
    struct Outcome
    {
        QSize size;
        bool partial = false;
        bool operator==(const Outcome &) const = default;
    };
    static Outcome firstOutcome(const Header &header, QSize bound, QSize firstPart);

    // The built-in loader, as every decode of a picture file uses it: orientation from its
    // EXIF data applied, converted to the form the holding buffer draws from. With a `bound`,
    // a format that decodes at a fraction of its size (JPEG) is decoded at the smallest such
    // fraction that still covers the bound. A null image on failure.
    static Picture decode(const QString &path, QSize bound = QSize());

    // A frame of an animation in the form the first frame was decoded to: colours converted to
    // the screen's as the still picture's are, ready to draw.
    static QImage forDrawing(QImage frame);

    // The top left `part` of a JPEG much larger than that, at full scale, for a picture shown at
    // its natural size: what a window can show of it decodes in a fraction of the time of the
    // whole. A null image when the file is no such picture.
    static Picture decodePart(const QString &path, QSize part);

    // The size a picture of the given natural size will be drawn at, as its step will lay it
    // out; invalid when that cannot be foreseen. Called on the worker.
    using DrawnSize = std::function<QSize(QSize natural)>;

    // Begins decoding `path` in the background, in place of whatever was held. With a
    // `firstPart`, a large JPEG is decoded first in that part (see decodePart), which is what
    // take() hands over, and then whole, as for decodeRest(). With `drawnSize`, a picture that
    // will be drawn smaller than it is decoded is also scaled down on the worker.
    void start(const QString &path, QSize bound = QSize(), QSize firstPart = QSize(),
               DrawnSize drawnSize = {});
    // Begins decoding only the top left `part` of `path` when it is a large JPEG (else the
    // whole): the rest waits for decodeRest() after the step has let the picture before go, so
    // that two whole pictures are never held at once.
    void startPart(const QString &path, QSize part);
    void drop();
    // The picture decoded ahead for `path` (waiting for it when still in work) when the file's
    // size and times are still those it was decoded from; null otherwise. Either way nothing is
    // held afterwards.
    Picture take(const QString &path);
    // Decodes the whole of `path` after a part of it was taken, unless that is in work already;
    // `ready` runs on the worker once it is done. Replaces the rest of any other picture, but
    // not what is decoded ahead.
    void decodeRest(const QString &path);
    void setRestReady(std::function<void()> ready);
    // The whole picture of `path` (waiting for it when still in work), when the file is
    // unchanged since; null otherwise. Either way nothing of the rest is held afterwards.
    Picture takeRest(const QString &path);
    bool isRestReady() const;

    // Frees `image` on the worker, before any decode started later: the memory stays bounded
    // by the picture on screen and the one ahead.
    void release(QImage image);
    // The file whose picture is held or in work; empty when none.
    QString pendingPath() const { return m_path; }
    // A picture is held and its decode has finished.
    bool isReady() const;

private:
    // What identifies the content of a file without reading it: the file itself (a file put in
    // its place by a rename is another one), its size, and its modification and change times to
    // the nanosecond (the change time moves also when an older file is copied over with its
    // times kept).
    struct Stamp
    {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const Stamp &) const = default;
        static Stamp of(const QString &path);
    };
    struct Decoded
    {
        Picture picture;
        Stamp before;
    };

    // The size a JPEG of that header decodes at to cover `bound`; invalid for full size.
    static QSize reducedSizeFor(const Header &header, QSize bound);
    static bool isPartWorthDecoding(const Header &header, QSize part);
    // Shared with the work queued: a decode begun before the owner set it still reaches it.
    struct Notice
    {
        std::mutex lock;
        std::function<void()> ready;
        void send();
    };
    static Decoded decodeStamped(const QString &path, QSize bound, QSize part,
                                 const DrawnSize &drawnSize = {});
    std::shared_future<Decoded> queueRest(const QString &path,
                                          std::shared_future<Decoded> first = {});
    // Begins the decode that take() hands over, in place of whatever was held.
    void queue(const QString &path, QSize bound, QSize part, DrawnSize drawnSize = {});
    void dropRest();
    static Picture checked(const std::shared_future<Decoded> &result, const QString &path);

    QThreadPool m_pool;
    QString m_path;
    std::shared_future<Decoded> m_result;
    QString m_restPath;
    std::shared_future<Decoded> m_rest;
    std::shared_ptr<Notice> m_restReady = std::make_shared<Notice>();
};
