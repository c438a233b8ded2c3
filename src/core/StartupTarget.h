#pragma once

#include <QString>

// What the start-up argument can ask of the windows: select a profile and start from its list,
// resume a bookmark, or open a folder or a file's folder directly.
class StartupTarget
{
public:
    virtual ~StartupTarget() = default;
    // Selects the profile named exactly `name`; when there is none, selects the first profile
    // unless `onlyExist`. True when a profile was selected.
    virtual bool SetSetting(const QString &name, bool onlyExist) = 0;
    // The start/stop command: builds the list of the current profile and starts the show.
    virtual void startFromList() = 0;
    virtual bool ReadShiori(const QString &path) = 0;
    virtual bool OpenFolderDirect(const QString &folder, const QString &file) = 0;
};
