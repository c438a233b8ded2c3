#pragma once

#include <QByteArray>

// The screen's colour profile as a colour manager publishes it on X11: the ICC profile in the
// root window's _ICC_PROFILE property. Empty where there is none, or the session is not X11.
class DisplayProfile
{
public:
    static QByteArray read();
};
