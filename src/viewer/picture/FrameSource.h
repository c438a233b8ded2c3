#pragma once

#include <QImage>

#include <functional>
#include <memory>

// The frames of an animated picture, read one after the other from its first. Each frame is
// the whole picture as it shows at that point, all of one size. Used on a worker thread.
class FrameSource
{
public:
    virtual ~FrameSource() = default;
    // The next frame and how long it shows as the file states it (0 when it states none);
    // false after the last frame or when the rest cannot be read.
    virtual bool next(QImage &frame, int &delayMs) = 0;
};

// Opens the animation afresh at its first frame; null when it cannot be read. Called on the
// worker for every loop.
using FrameSourceOpener = std::function<std::unique_ptr<FrameSource>()>;
