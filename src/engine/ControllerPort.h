#pragma once

#include <QString>

// What the engine needs of the controller window.
class ControllerPort
{
public:
    virtual ~ControllerPort() = default;

    // Enables or disables the movie tool bar and its menus.
    virtual void MoviebarEnable(bool enabled) = 0;
    virtual bool isMoviebarEnabled() const = 0;
    virtual bool isTrayIconShown() const = 0;
    virtual void setTrayTip(const QString &tip) = 0;
    // Check marks of the three "hide" menu items.
    virtual void setHideItemsChecked(bool checked) = 0;
};
