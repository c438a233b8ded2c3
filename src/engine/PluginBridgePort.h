#pragma once

#include <QString>

// The picture plug-in bridge; it exists only while plug-ins are enabled.
class PluginBridgePort
{
public:
    virtual ~PluginBridgePort() = default;
    // Decodes the file into the image surface's holding buffer; true on success.
    virtual bool LoadPicture(const QString &path) = 0;
};
