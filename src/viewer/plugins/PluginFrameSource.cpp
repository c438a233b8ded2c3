#include "viewer/plugins/PluginFrameSource.h"

#include "viewer/picture/DibImage.h"
#include "viewer/plugins/PluginBlock.h"

#include "lunetta_plugin.h"

#include <QFile>

PluginFrameSource::PluginFrameSource(const Functions &functions, void *animation)
    : m_functions(functions)
    , m_animation(animation)
{ }

PluginFrameSource::~PluginFrameSource()
{
    m_functions.close(m_animation);
}

bool PluginFrameSource::next(QImage &frame, int &delayMs)
{
    void *infoBlock = nullptr;
    void *bitsBlock = nullptr;
    int delay = 0;
    const int result = m_functions.frame(m_animation, &infoBlock, &bitsBlock, &delay);
    // Whatever the result, blocks handed out are ours to free.
    const PluginBlock info = adoptPluginBlock(infoBlock);
    const PluginBlock bits = adoptPluginBlock(bitsBlock);
    if (result != LUNETTA_SPI_OK)
        return false;
    // Checked as every picture of a plug-in is.
    frame = DibImage::fromBlocks(info.data.get(), info.size, bits.data.get(), bits.size,
                                 LUNETTA_PICTURE_BYTES_LIMIT);
    delayMs = delay;
    return !frame.isNull();
}

FrameSourceOpener PluginFrameSource::opener(const Functions &functions, const QString &path)
{
    if (!functions.isComplete())
        return {};
    return [functions, name = QFile::encodeName(path)]() -> std::unique_ptr<FrameSource> {
        void *animation = functions.open(name.constData());
        if (!animation)
            return nullptr;
        return std::make_unique<PluginFrameSource>(functions, animation);
    };
}
