#pragma once

#include "viewer/picture/FrameSource.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

// The frames of an animated PNG, which Qt's PNG reader shows as its still default picture only.
// Each frame is read from the file as it is needed, made into a PNG of its own for Qt to decode,
// and composed onto the picture as the frame says (replacing or over it, then cleared or put
// back for the next).
class ApngFrameSource : public FrameSource
{
public:
    // A picture of more than `maxPixels` is not read (at 4 bytes a pixel, Lunetta's limit).
    explicit ApngFrameSource(const QString &path, qint64 maxPixels = defaultMaxPixels);
    static constexpr qint64 defaultMaxPixels = qint64(1) << 28;
    bool next(QImage &frame, int &delayMs) override;

    // Whether the file is a PNG that announces an animation before its picture data; reads the
    // chunk headers up to there.
    static bool isAnimated(const QString &path);
    static FrameSourceOpener opener(const QString &path);

private:
    struct Chunk
    {
        QByteArray type;
        QByteArray data;
    };
    bool readChunk(Chunk &chunk);
    // The frame control chunk's fields.
    struct Control
    {
        int width = 0, height = 0, x = 0, y = 0, delayMs = 0;
        int dispose = 0, blend = 0;
    };
    static bool parseControl(const QByteArray &data, QSize canvas, Control &control);
    QImage decodeFrame(const Control &control, const QList<QByteArray> &data) const;

    QFile m_file;
    bool m_ok = false;
    QSize m_size;
    QByteArray m_ihdr;
    // Chunks every frame's PNG needs: palette, transparency, colour profile and the like.
    QByteArray m_shared;
    int m_frames = 0;
    int m_read = 0;
    // A frame control read ahead of the data of the frame it belongs to.
    QByteArray m_pendingControl;
    QImage m_canvas;
    QImage m_saved;
    Control m_last;
    bool m_haveLast = false;
};
