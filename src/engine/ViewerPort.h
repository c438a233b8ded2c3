#pragma once

#include <QSize>
#include <QString>

// What the display step needs of the viewer window.
class ViewerPort
{
public:
    virtual ~ViewerPort() = default;

    // Before a show starts: the picture area, the image surface and both players go to left 0,
    // top 0.
    virtual void moveContentToOrigin() = 0;
    // Reads afresh what sizing depends on: twips per pixel, display area, frame, work area.
    virtual void measureViewer() = 0;

    virtual void hideScrollBars() = 0;
    // The viewer's tick (tmrView) and its cursor watch (tmrCursorPos).
    virtual void startTickTimer() = 0;
    virtual void stopTickTimer() = 0;
    virtual void startCursorWatch() = 0;
    virtual void stopCursorWatch() = 0;

    // The image surface becomes invisible, unstretched, parked out of sight and emptied.
    virtual void clearPicture() = 0;
    // The built-in loader: decodes the file into the image surface at its natural size.
    virtual bool LoadPic(const QString &path) = 0;
    // A plug-in has decoded a picture into the holding buffer: the surface takes its size.
    virtual void adoptDecodedPicture() = 0;
    virtual QSize pictureSize() const = 0;
    // The file the next step is expected to show may be decoded in the background meanwhile;
    // a later LoadPic of the same unchanged file then takes that picture. Dropping lets it go.
    virtual void decodeAhead(const QString &path) { Q_UNUSED(path); }
    virtual void dropDecodeAhead() { }

    // Sizes and places the window for the file just loaded, and lays out its content.
    virtual void sizeViewerForFile() = 0;
    virtual void setViewerCaption(const QString &caption) = 0;
    // The status bar panels "FileName" (text and tool tip) and "Page".
    virtual void setStatusTexts(const QString &fileName, const QString &page) = 0;
    // The image surface becomes visible, which draws it.
    virtual void showPicture() = 0;
    // An animated picture on the surface: whether it has more than one frame (as far as is
    // known yet), whether it has played to its last frame's end at least once, and playing or
    // holding it. A still picture neither moves nor waits.
    virtual bool pictureMoves() const { return false; }
    virtual bool animationPlayedThrough() const { return true; }
    virtual void playAnimation(bool play) { Q_UNUSED(play); }

    virtual void showViewerWindow() = 0;
    virtual void hideViewerWindow() = 0;
};
