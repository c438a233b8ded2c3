#pragma once

#include "viewer/picture/FrameSource.h"

#include <QString>

// The frames of an animated picture as a plug-in's optional animation functions hand them out.
class PluginFrameSource : public FrameSource
{
public:
    // The plug-in's three functions; a plug-in stays loaded for the run, so they stay valid.
    struct Functions
    {
        void *(*open)(const char *) = nullptr;
        int (*frame)(void *, void **, void **, int *) = nullptr;
        void (*close)(void *) = nullptr;
        bool isComplete() const { return open && frame && close; }
    };

    PluginFrameSource(const Functions &functions, void *animation);
    ~PluginFrameSource() override;
    PluginFrameSource(const PluginFrameSource &) = delete;
    PluginFrameSource &operator=(const PluginFrameSource &) = delete;
    bool next(QImage &frame, int &delayMs) override;

    // Opens the file's frames with the plug-in for every loop; empty when it has no animation
    // functions.
    static FrameSourceOpener opener(const Functions &functions, const QString &path);

private:
    Functions m_functions;
    void *m_animation;
};
