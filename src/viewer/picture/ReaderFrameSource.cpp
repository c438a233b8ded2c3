#include "viewer/picture/ReaderFrameSource.h"

ReaderFrameSource::ReaderFrameSource(const QString &path)
    : m_reader(path)
{
    m_reader.setAutoTransform(true);
    m_count = std::max(0, m_reader.imageCount());
}

bool ReaderFrameSource::next(QImage &frame, int &delayMs)
{
    if (m_count > 0 ? m_read >= m_count : m_read > 0 && !m_reader.canRead())
        return false;
    frame = m_reader.read();
    if (frame.isNull())
        return false;
    delayMs = m_reader.nextImageDelay();
    ++m_read;
    return true;
}

FrameSourceOpener ReaderFrameSource::opener(const QString &path)
{
    return [path]() -> std::unique_ptr<FrameSource> {
        return std::make_unique<ReaderFrameSource>(path);
    };
}

bool ReaderFrameSource::mayAnimate(QImageReader &reader)
{
    return reader.supportsAnimation() && reader.imageCount() != 1;
}
