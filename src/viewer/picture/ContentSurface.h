#pragma once

#include <QRect>

#include <optional>

// What the viewer's layout needs of the surface that shows the current file: its place and
// size inside the display area (negative offsets when scrolled), and a way to make it scale
// to whatever size it is given.
class ContentSurface
{
public:
    virtual ~ContentSurface() = default;
    // Where a surface waits while it is not in use: far outside the display area.
    static constexpr int parkedLeft = -10000;

    virtual int left() const = 0;
    virtual int top() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void setLeft(int left) = 0;
    virtual void setTop(int top) = 0;
    virtual void Move(std::optional<int> left, std::optional<int> top = std::nullopt,
                      std::optional<int> width = std::nullopt,
                      std::optional<int> height = std::nullopt)
        = 0;
    // Scale the content to its width and height from now on instead of showing it one to one.
    virtual void setFitToSize() = 0;

    QRect contentRect() const { return QRect(left(), top(), width(), height()); }
};
