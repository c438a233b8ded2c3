#pragma once

#include <QString>

#include <functional>

class MessageService;
class Options;
class PlayList;

// What starting from the configured list needs of the slideshow engine.
class ListStartEngine
{
public:
    virtual ~ListStartEngine() = default;
    virtual bool isRunning() const = 0;
    virtual void stopSlideshow() = 0;
    // The runtime list the build replaces.
    virtual PlayList &playList() = 0;
    // Forgets the bookmark file the list came from, so that saving asks for a new name.
    virtual void clearBookmarkPath() = 0;
    // Shows the entry at `nextIndex` and runs the show from there.
    virtual void startSlideshow(int nextIndex) = 0;
};

// The start/stop command of the controller: stops a running show, or builds the runtime list
// from the checked entries of the list page and starts the show over it.
class ListStart
{
public:
    // What it needs of the controller window.
    struct Window
    {
        // Builds the runtime list under the progress dialog; false when the user cancelled.
        std::function<bool(PlayList &)> buildList;
        // Releases the tool bar's "play" button, pressed by the click that started this.
        std::function<void()> releasePlayButton;
        std::function<void(const QString &)> setCaption;
        std::function<void()> minimise;
    };

    ListStart(ListStartEngine &engine, const Options &options, MessageService &messages,
              Window window);

    void mnuOparation_Stop_Click();

    static const QString cancelledMessage; // "ユーザーにより作業がキャンセルされました。"
    static const QString emptyListMessage; // "画像ファイルがありません。"

private:
    ListStartEngine &m_engine;
    const Options &m_options;
    MessageService &m_messages;
    Window m_window;
};
