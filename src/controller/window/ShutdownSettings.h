#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class SettingsStore;
class SettingProfiles;

// What the windows look like at exit, as it is written back to the settings store.
struct ShutdownSettings
{
    std::optional<QString> lastFile; // the file on screen; none when the list is empty
    QString profileName; // the profile box's text
    QString profileList; // every profile name joined by "|"
    QList<int> columnWidths; // list page columns, twips
    bool showMoviebar = true;
    bool showPlayer = true;
    bool showSetting = true;
    bool fixBottom = false;
    bool alwaysOnTop = false;
    std::optional<QPoint> controllerTopLeft; // twips; none unless the window is in normal state
    int tab = 1; // from 1
    std::optional<QRect> viewerRect; // twips; none unless the viewer is in normal state

    // Writes everything in one batch, in a fixed order. A write that fails does not stop the
    // ones after it. Returns false when anything could not be written.
    bool write(SettingsStore &store, SettingProfiles &profiles) const;
};
