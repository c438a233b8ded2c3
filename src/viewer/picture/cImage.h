#pragma once

#include "viewer/picture/ContentSurface.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class PictureAhead;
class PictureAnimation;
class PictureBuffer;
class PictureTarget;

// The drawing surface for pictures. A picture is decoded once into the holding buffer
// `picBack`; every change of place, size or stretching draws it again from there into
// `picTarget`, scaled smoothly when stretched and copied one to one otherwise.
class cImage : public QObject, public ContentSurface
{
    Q_OBJECT
public:
    cImage(PictureTarget *target, PictureBuffer *back, QObject *parent = nullptr);
    ~cImage() override;

    PictureTarget *picTarget() const { return m_target; }
    void setPicTarget(PictureTarget *target) { m_target = target; }
    PictureBuffer *picBack() const { return m_back; }

    bool Visible() const { return m_visible; }
    // On draws at once; off clears the target to its background colour.
    void setVisible(bool visible);
    bool Stretch() const { return m_stretch; }
    void setStretch(bool stretch);
    int left() const override { return m_left; }
    void setLeft(int left) override;
    int top() const override { return m_top; }
    void setTop(int top) override;
    int width() const override { return m_width; }
    void setWidth(int width);
    int height() const override { return m_height; }
    void setHeight(int height);

    // Empties the holding buffer.
    void Cls();
    // Stores the values given and draws once.
    void Move(std::optional<int> left, std::optional<int> top = std::nullopt,
              std::optional<int> width = std::nullopt,
              std::optional<int> height = std::nullopt) override;
    // Decodes the file into the holding buffer (orientation from its EXIF data applied) and
    // takes its size; does not draw. On failure the previous picture and size stay. An empty
    // name empties the buffer. A picture decoded ahead for the same, unchanged file is taken
    // instead of decoding again. A picture never drawn larger than `bound` may be decoded
    // reduced. `visible` is the most a window shows of a picture drawn at its natural size (the
    // work area): a much larger JPEG is decoded first in that part, drawn, and completed when
    // its whole has been decoded.
    bool LoadPic(const QString &fileName, QSize bound = QSize(), QSize visible = QSize());
    // Decodes the file in the background for a later LoadPic; replaces what was decoded ahead.
    // A picture that is never drawn larger than `bound` may be decoded reduced; of a large one
    // shown at natural size only the `visible` part is, its whole following the step. One that
    // `drawnSize` says will be drawn smaller is scaled down to that size in the background too.
    void decodeAhead(const QString &fileName, QSize bound = QSize(), QSize visible = QSize(),
                     std::function<QSize(QSize)> drawnSize = {});
    void dropDecodeAhead();
    // Lets a decode begun before the surface existed (the file named at start-up) be taken.
    void setPictureAhead(std::unique_ptr<PictureAhead> ahead);
    // Draws the picture as the properties say; false when drawing failed.
    bool RefreshImage();

    void setFitToSize() override { setStretch(true); }

    // The picture in the holding buffer may be an animation (its frames come with it, from the
    // decode or a plug-in): playing puts its frames up in turn, looping; pausing holds the one
    // on screen. Any LoadPic ends it.
    void playAnimation(bool play);
    bool animationMoves() const;
    // It has shown its last frame to the end at least once; true for a still picture.
    bool animationPlayedThrough() const;

signals:
    // Drawing failed; the picture on screen cannot be shown.
    void drawingFailed();

private:
    bool draw();
    // Where the picture lands on the canvas.
    QRect drawnRect(const QImage &source) const;
    QImage coveringView(const QImage &source, QSize size) const;
    // Replaces a reduced or partial picture by the whole one, decoded again.
    bool restoreFullSize();
    void adoptAhead();
    // Puts the whole picture in place of its part once it has been decoded.
    void completePicture();
    void clearTarget();
    void showFrame(QImage frame);

    PictureTarget *m_target;
    PictureBuffer *m_back;
    std::unique_ptr<PictureAhead> m_ahead;
    PictureAnimation *m_animation;
    // The animation holds the frames of the picture in the buffer.
    bool m_animationLoaded = false;
    bool m_visible = false;
    bool m_stretch = false;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
};
