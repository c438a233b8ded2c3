#include "FakeEnginePorts.h"

#include "core/PathFunctions.h"
#include "engine/SlideshowError.h"

void FakeViewer::startTickTimer()
{
    calls << QStringLiteral("startTickTimer");
    tickRunning = true;
}

void FakeViewer::stopTickTimer()
{
    calls << QStringLiteral("stopTickTimer");
    tickRunning = false;
}

void FakeViewer::startCursorWatch()
{
    calls << QStringLiteral("startCursorWatch");
    cursorWatch = true;
}

void FakeViewer::stopCursorWatch()
{
    calls << QStringLiteral("stopCursorWatch");
    cursorWatch = false;
}

bool FakeViewer::LoadPic(const QString &path)
{
    calls << QStringLiteral("LoadPic");
    loaded << path;
    loadedAhead << (!heldAhead.isEmpty() && path == heldAhead);
    heldAhead.clear();
    return !unreadable.contains(GetFileName(path));
}

bool FakeViewer::pictureMoves() const
{
    return !loaded.isEmpty() && animated.contains(GetFileName(loaded.last()));
}

void FakeViewer::sizeViewerForFile()
{
    calls << QStringLiteral("sizeViewerForFile");
    if (onSize)
        onSize();
}

void FakeViewer::setViewerCaption(const QString &text)
{
    calls << QStringLiteral("setViewerCaption");
    caption = text;
}

void FakeViewer::setStatusTexts(const QString &fileName, const QString &page)
{
    calls << QStringLiteral("setStatusTexts");
    statusFileName = fileName;
    statusPage = page;
}

void FakeViewer::showPicture()
{
    calls << QStringLiteral("showPicture");
    shown << statusFileName;
}

void FakeViewer::showViewerWindow()
{
    calls << QStringLiteral("showViewerWindow");
    windowVisible = true;
}

void FakeViewer::hideViewerWindow()
{
    calls << QStringLiteral("hideViewerWindow");
    windowVisible = false;
}

void FakeController::MoviebarEnable(bool enabled)
{
    moviebarCalls << enabled;
    moviebar = enabled;
}

void FakeController::restoreController()
{
    ++restores;
    visible = true;
    if (minimised) {
        minimised = false;
        trayShown = false;
    }
}

double FakeMoviePlayer::currentPosition() const
{
    if (!positionError.isEmpty())
        throw SlideshowError(5, QStringLiteral("mpView"), positionError);
    return position;
}

bool FakeMoviePlayer::openMovie(const QString &path)
{
    opened << path;
    if (onOpen)
        onOpen();
    return accept;
}

RealPlayerPort::OpenResult FakeRealPlayer::openRealClip(const QString &path, bool keep)
{
    opened << path;
    keepAspect << keep;
    return result;
}

bool FakePluginBridge::LoadPicture(const QString &path)
{
    asked << path;
    return decodes.contains(GetFileName(path));
}

std::optional<bool> FakePluginBridge::beginLoadPicture(const QString &path,
                                                       std::function<void(bool)> done)
{
    if (!answerLater)
        return LoadPicture(path);
    asked << path;
    m_waiting.append({ path, std::move(done) });
    return std::nullopt;
}

void FakePluginBridge::answer(qsizetype index)
{
    // A copy: the answer may begin the next load, which adds to the list.
    const auto [path, done] = m_waiting.at(index < 0 ? m_waiting.size() - 1 : index);
    done(decodes.contains(GetFileName(path)));
}

void FakeMusicPlayer::startMusic(int playCount, const QString &file, int startingEntry)
{
    calls << QStringLiteral("start %1 %2 %3").arg(playCount).arg(file).arg(startingEntry);
}
