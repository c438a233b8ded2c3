#pragma once

#include "viewer/movie/PlaybackInfo.h"
#include "viewer/picture/ContentSurface.h"
#include "viewer/picture/MouseReportingWidget.h"

#include <QColor>
#include <QSize>

class MediaPlayer;

// The picture of a player inside the viewer's display area: placed and sized by the viewer's
// layout like the image surface, showing the frames its sink receives, and reporting the mouse
// in its own coordinates (buttons 1 left, 2 right, 4 middle; shift 1, ctrl 2, alt 4).
//
// It paints the frames itself rather than using QVideoWidget: that one shows them in a native
// child window, which stays black where no OpenGL is available (a virtual display) and covers
// the viewer's status bar; painting here also lets grab() and screenshots see the picture.
class VideoSurface : public MouseReportingWidget, public ContentSurface
{
    Q_OBJECT
public:
    explicit VideoSurface(QWidget *parent = nullptr);

    // Shows `player`'s frames here and keeps the codec names its sources report.
    void showFramesOf(MediaPlayer &player);
    int left() const override { return x(); }
    int top() const override { return y(); }
    int width() const override { return QWidget::width(); }
    int height() const override { return QWidget::height(); }
    void setLeft(int left) override { move(left, y()); }
    void setTop(int top) override { move(x(), top); }
    void Move(std::optional<int> left, std::optional<int> top = std::nullopt,
              std::optional<int> width = std::nullopt,
              std::optional<int> height = std::nullopt) override;
    // The viewer sizes the surface from now on: automatic sizing off, fitted to its size.
    void setFitToSize() override;

    // Automatic sizing makes the surface take the size of the frames it shows.
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    // 0: the frames at their own size; 4: scaled to the surface.
    int DisplaySize() const { return m_displaySize; }
    void setDisplaySize(int size);
    // Whether scaling keeps the frames' shape (the rest is background).
    void setKeepAspectRatio(bool keep);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &color);

    // Size of the frames shown last; empty before the first frame.
    QSize videoFrameSize() const { return m_frameSize; }
    // Forgets the frame size and the codec names, before a new file opens.
    void forgetFrames();
    // What the options dialog tells of the clip that the surface itself knows: the codec names
    // and the frame size.
    PlaybackInfo surfaceInfo() const;

signals:
    // A frame of a new size arrived.
    void frameSizeChanged(const QSize &size);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void onFrame();

    bool m_autoSize = true;
    int m_displaySize = 0;
    bool m_keepAspect = false;
    QColor m_backColor = Qt::black;
    QSize m_frameSize;
    // The player whose frames are shown; none before it is made.
    MediaPlayer *m_player = nullptr;
    // The codec names of the source, as first reported.
    PlaybackInfo m_codecs;
};
