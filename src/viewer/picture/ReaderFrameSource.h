#pragma once

#include "viewer/picture/FrameSource.h"

#include <QImageReader>
#include <QString>

// The frames of a picture that Qt's own reader animates (WebP, MNG and, where no plug-in takes
// it, GIF), oriented as the still picture is.
class ReaderFrameSource : public FrameSource
{
public:
    explicit ReaderFrameSource(const QString &path);
    bool next(QImage &frame, int &delayMs) override;

    // Opens the file's frames for every loop of an animation.
    static FrameSourceOpener opener(const QString &path);
    // Whether a reader that has read the first picture of a file may read more: the formats Qt
    // animates, unless the file says it holds one picture.
    static bool mayAnimate(QImageReader &reader);

private:
    QImageReader m_reader;
    // Pictures the file says it holds; 0 when it does not say.
    int m_count = 0;
    int m_read = 0;
};
