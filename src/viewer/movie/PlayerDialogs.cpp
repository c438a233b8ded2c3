#include "viewer/movie/PlayerDialogs.h"

#include "core/MessageService.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "viewer/movie/PlayerOptionsDialog.h"
#include "viewer/movie/mpView.h"
#include "viewer/movie/raView.h"
#include "viewer/window/frmView.h"

#include <QLibrary>

namespace {

const QString mediaPlayerName = QStringLiteral("メディアプレイヤー");
const QString realPlayerName = QStringLiteral("RealPlayer");

// The version of the GStreamer library the media backend has loaded, if it can be read.
QString gstreamerVersion()
{
    QLibrary library(QStringLiteral("gstreamer-1.0"), 0);
    using Version = void (*)(unsigned *, unsigned *, unsigned *, unsigned *);
    auto version = reinterpret_cast<Version>(library.resolve("gst_version"));
    if (!version)
        return QString();
    unsigned major = 0, minor = 0, micro = 0, nano = 0;
    version(&major, &minor, &micro, &nano);
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(micro);
}

} // namespace

PlayerDialogs::PlayerDialogs(frmView &viewer, SettingsStore &store, MessageService &messages,
                             QWidget *dialogParent)
    : QObject(dialogParent)
    , m_viewer(viewer)
    , m_store(store)
    , m_messages(messages)
    , m_parent(dialogParent)
{ }

QString PlayerDialogs::aboutText(const QString &player)
{
    QString backend = qEnvironmentVariable("QT_MEDIA_BACKEND");
    if (backend.isEmpty())
        backend = QStringLiteral("gstreamer");
    QString engine = backend == u"gstreamer" ? QStringLiteral("GStreamer") : backend;
    const QString version = backend == u"gstreamer" ? gstreamerVersion() : QString();
    if (!version.isEmpty())
        engine += u' ' + version;
    return player + QStringLiteral("\r\n\r\n再生エンジン: ") + engine
        + QStringLiteral("\r\nQt Multimedia ") + QString::fromLatin1(qVersion());
}

void PlayerDialogs::mediaPlayerAbout()
{
    m_messages.show({ aboutText(mediaPlayerName), MsgIcon::Information, MsgButtons::Ok,
                      MsgResult::Ok, mediaPlayerName + QStringLiteral("について") });
}

void PlayerDialogs::realPlayerAbout()
{
    m_messages.show({ aboutText(realPlayerName), MsgIcon::Information, MsgButtons::Ok,
                      MsgResult::Ok, realPlayerName + QStringLiteral("について") });
}

void PlayerDialogs::mediaPlayerOptions()
{
    showOptions(mediaPlayerName + QStringLiteral("のオプション"), false);
}

void PlayerDialogs::realPlayerOptions()
{
    showOptions(realPlayerName + QStringLiteral("のオプション"), true);
}

void PlayerDialogs::showOptions(const QString &title, bool realPlayer)
{
    // One dialog at a time; it stays open beside the show (modeless).
    if (m_dialog)
        m_dialog->close();
    using namespace SettingKeys;
    const int volume
        = m_store.GetSetting(Section::Player, Player::Volume, QStringLiteral("100")).toInt();
    const bool muted
        = m_store.GetSetting(Section::Player, Player::Mute, QStringLiteral("0")) == u"1";
    std::function<PlaybackInfo()> info;
    if (realPlayer)
        info = [this] {
            return m_viewer.raView->playbackInfo();
        };
    else
        info = [this] {
            return m_viewer.mpView->playbackInfo();
        };
    m_dialog = new PlayerOptionsDialog(title, info, volume, muted, m_parent);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_dialog, &PlayerOptionsDialog::volumeChanged, this, &PlayerDialogs::storeVolume);
    m_dialog->show();
}

void PlayerDialogs::storeVolume(int volume, bool muted)
{
    using namespace SettingKeys;
    SettingsStore::Batch batch(m_store);
    m_store.SaveSetting(Section::Player, Player::Volume, QString::number(volume));
    m_store.SaveSetting(Section::Player, Player::Mute,
                        muted ? QStringLiteral("1") : QStringLiteral("0"));
    m_viewer.mpView->setVolume(volume, muted);
    m_viewer.raView->setVolume(volume, muted);
}

void PlayerDialogs::applyStoredVolume()
{
    using namespace SettingKeys;
    const int volume
        = m_store.GetSetting(Section::Player, Player::Volume, QStringLiteral("100")).toInt();
    const bool muted
        = m_store.GetSetting(Section::Player, Player::Mute, QStringLiteral("0")) == u"1";
    m_viewer.mpView->setVolume(volume, muted);
    m_viewer.raView->setVolume(volume, muted);
}
