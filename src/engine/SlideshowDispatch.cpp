// The display step's part that classifies a file and dispatches it to the surface that shows
// it: picture plug-ins first, then the built-in loader, the RealMedia and the movie player.
#include "engine/Slideshow.h"

#include "core/Options.h"
#include "engine/MoviePlayerPort.h"
#include "engine/PluginBridgePort.h"
#include "engine/RealPlayerPort.h"
#include "engine/ViewerPort.h"

#include <QFileInfo>

namespace {

// Extensions handed to the RealAudio player; a file's extension is looked for as a substring.
const QString realMediaExtensions = QStringLiteral("ra|rm|ram|rmj|rmm|rmx|rp");
const QString gifExtension = QStringLiteral("gif");

} // namespace

QString Slideshow::extensionOf(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return (dot < 0 ? path : path.mid(dot + 1)).toLower();
}

bool Slideshow::loadMediaFile(const QString &path)
{
    // Only regular files: opening a named pipe would wait for a writer forever.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;

    if (m_options.check(Opt::chkUseSusiePlugin) == 1 && m_pluginBridge) {
        if (m_pluginBridge->LoadPicture(path)) {
            if (m_viewer)
                m_viewer->adoptDecodedPicture();
            mediaKind = MediaKind::Picture;
            return true;
        }
    }
    return loadWithoutPlugins(path);
}

std::optional<bool> Slideshow::beginLoadMediaFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    if (m_options.check(Opt::chkUseSusiePlugin) == 1 && m_pluginBridge) {
        const quint64 step = m_step;
        const std::optional<bool> decoded = m_pluginBridge->beginLoadPicture(
            path, [this, step, path](bool ok) { pluginAnswered(step, path, ok); });
        if (!decoded) {
            m_stepPending = true;
            m_pendingPath = path;
            return std::nullopt;
        }
        if (*decoded) {
            if (m_viewer)
                m_viewer->adoptDecodedPicture();
            mediaKind = MediaKind::Picture;
            return true;
        }
    }
    return loadWithoutPlugins(path);
}

bool Slideshow::loadWithoutPlugins(const QString &path)
{
    const QString ext = extensionOf(path);

    // A GIF is shown only when a plug-in has decoded it.
    if (ext == gifExtension)
        return false;

    if (m_viewer && m_viewer->LoadPic(path)) {
        mediaKind = MediaKind::Picture;
        return true;
    }

    if (m_options.check(Opt::chkMp_PlayRealAudio) == 1 && realMediaExtensions.contains(ext)
        && m_realPlayer) {
        mediaError = false;
        realClipReady = false;
        const bool keepAspect = m_options.isChecked(Opt::chkFixHeightWidthRate)
            || !m_options.isChecked(Opt::chkStretchImage);
        switch (m_realPlayer->openRealClip(path, keepAspect)) {
        case RealPlayerPort::OpenResult::Shown:
            mediaKind = MediaKind::RealAudio;
            return true;
        case RealPlayerPort::OpenResult::NoPicture:
            return false;
        case RealPlayerPort::OpenResult::NotReported:
            break;
        }
    }

    if (m_options.isChecked(Opt::chkMp_PlayMovie) && m_moviePlayer) {
        mediaError = false;
        const bool opened = m_moviePlayer->openMovie(path);
        if (opened && !mediaError) {
            mediaKind = MediaKind::MediaPlayer;
            return true;
        }
        if (opened)
            m_moviePlayer->closeFile();
        mediaError = false;
        // The length the player may have reported belongs to no file on screen.
        setMovieDuration(0);
    }
    return false;
}
