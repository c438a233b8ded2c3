#pragma once

#include <QString>

#include <functional>
#include <optional>

// The picture plug-in bridge; it exists only while plug-ins are enabled.
class PluginBridgePort
{
public:
    virtual ~PluginBridgePort() = default;
    // Decodes the file into the image surface's holding buffer; true on success.
    virtual bool LoadPicture(const QString &path) = 0;
    // The same without waiting for a slow plug-in: the result when it is known within the call;
    // otherwise nothing, and `done` runs later on this thread, from the event loop, with the
    // result (the picture then in the holding buffer), unless the load is cancelled or another
    // begun first.
    virtual std::optional<bool> beginLoadPicture(const QString &path,
                                                 std::function<void(bool)> done)
    {
        Q_UNUSED(done);
        return LoadPicture(path);
    }
    // Forgets a load begun: its `done` never runs, and its picture never reaches the buffer.
    virtual void cancelLoadPicture() { }
};
