#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// What the option pages need of the viewer and the players. A hook left empty does nothing.
struct OptionPageHooks
{
    // The viewer's caption becomes "Lunetta" (shown) or empty (no title bar), its top stays
    // where it was, and it is measured again.
    std::function<void(bool show)> showViewerTitleBar;
    // Sets the visibility of the viewer's status bar and measures the viewer again. When the
    // visibility changes, the window grows or shrinks by the bar's height so the picture area
    // keeps its size; called again with the same value it only measures.
    std::function<void(bool show)> showViewerStatusBar;
    // Puts the viewer into or out of the topmost band as chkAlwaysOnTop says; on failure it
    // sets chkAlwaysOnTop back to the window's real state.
    std::function<void()> applyViewerTopmost;
    // Background of the viewer's picture area and of its movie player.
    std::function<void(const QColor &color)> setViewerBackColor;
    // The viewer's outer rectangle in pixels.
    std::function<QRect()> viewerFrame;

    // The viewer's movie player and RealMedia player: options dialogs and about boxes.
    std::function<void()> mediaPlayerOptions;
    std::function<void()> mediaPlayerAbout;
    std::function<void()> realPlayerOptions;
    std::function<void()> realPlayerAbout;

    // Opens the music source in the music player and plays it at once.
    std::function<void(const QString &source)> testPlayMusic;
};

// The colour dialog of the pages, replaceable so that tests never block. Their file dialogs go
// through the file-dialog service.
struct OptionPageDialogs
{
    // Nothing when cancelled; `initial` is invalid when the current text is no colour.
    std::function<std::optional<QColor>(QWidget *parent, const QColor &initial)> chooseColor;
};
