#pragma once

#include "viewer/window/ViewerGeometry.h"
#include "viewer/window/ViewerParts.h"

#include <QMargins>
#include <QRect>
#include <QSize>

#include <functional>

class ContentSurface;
class Options;
class SettingsStore;
class Slideshow;

// Sizes and places the viewer window for the file on screen, within the work area and the size
// options, and lays out its display area: the scroll bars, the content's place in it and the
// status bar. It also keeps what it measured of the window and the screen (twips per pixel,
// display area, frame, work area) and the window's outer rectangle in the settings (twips).
class ViewerLayout
{
public:
    // `content` is the surface of the file on screen, null while none is shown.
    ViewerLayout(const ViewerParts &parts, Options &options, Slideshow &slideshow,
                 std::function<ContentSurface *()> content);

    // The outer rectangle from section "Viewer" and back; saving happens only in the normal
    // window state.
    void loadWindowRect(const SettingsStore &store);
    void saveWindowRect(SettingsStore &store) const;

    // Twips per pixel, display area, frame overhead and work area, read afresh.
    void measureViewer();
    const ViewerGeometry::ViewerMetrics &metrics() const { return m_metrics; }
    // True once, when the window manager has framed the window with another frame than the one
    // measured: the file on screen must then be sized again.
    bool frameNowKnownAndChanged();

    // Sizes and places the window for the file just loaded, and lays out its content.
    void sizeViewerForFile();
    // The layout steps for the content on screen; none of them acts while nothing is shown.
    // Outer size (pixels) for the content within the limits; stretches the content when needed.
    QSize fitWindowToContent(int maxWidth, int maxHeight);
    void applyFixedPosition();
    void layoutScrollBars();
    void fitContentToArea(int areaWidth, int areaHeight);
    void centreContent();
    void placeContent();
    // Lays the display area out again for the window's new size.
    void handleResize();
    void placeStatusBar();
    // The scroll bars count as hidden from now on. The next file's layout mostly shows them
    // again in the same turn of the event loop, so they are taken off the screen only at the
    // end of that turn, when no layout has placed them by then: hidden and shown again, both
    // would be painted anew at every step.
    void hideScrollBars();

    // The outer size in pixels, frame included.
    void setOuterSize(int width, int height);
    int statusBarHeight() const;
    bool isCursorOverViewer() const;
    // The most the window shows of a picture at its natural size; invalid when it is zoomed,
    // which draws the whole picture at another scale.
    QSize visiblePart() const;
    // The largest size a stretched picture is drawn at before the options change: the window
    // never outgrows the work area or the size limits. Invalid when pictures may be drawn at
    // full size.
    QSize largestStretchedSize() const;
    // What the layout of the next file will draw a stretched picture of a given natural size
    // at, as far as the options and the window's present place tell: for the decode ahead to
    // scale it in the background. Empty when pictures are drawn at natural size or zoomed.
    std::function<QSize(QSize)> stretchedSizeForecast() const;

private:
    ViewerGeometry::SizeLimitOptions sizeLimitOptions() const;
    int shownStatusBarHeight() const;
    int hBarHeight() const;
    int vBarWidth() const;
    QMargins currentFrameMargins() const;
    QRect outerTwips() const;

    ViewerParts m_parts;
    Options &m_options;
    Slideshow &m_slideshow;
    std::function<ContentSurface *()> m_content;
    ViewerGeometry::ViewerMetrics m_metrics;
    // Until the window manager has framed the window, its frame is unknown and measures as
    // nothing; the first real frame is measured again.
    bool m_frameUnknown = true;
    QMargins m_measuredMargins;
    // Hidden for the layout, still on screen until the end of the turn.
    bool m_barsHiddenLater = false;
};
