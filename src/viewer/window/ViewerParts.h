#pragma once

class PictureView;
class QScrollBar;
class QStatusBar;
class QWidget;
class cImage;

// The pieces of the viewer window that its layout and its input work on. The window builds
// them and hands out these alone, so that neither part needs the window's own class.
struct ViewerParts
{
    QWidget &window;
    PictureView &area;
    QScrollBar &hBar;
    QScrollBar &vBar;
    QStatusBar &statusBar;
    cImage &picture;
};
