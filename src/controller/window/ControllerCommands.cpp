#include "controller/window/ControllerCommands.h"

#include "controller/hotkeys/HotKeyPage.h"
#include "core/Startup.h"

#include "controller/functions/ExternalFunctions.h"
#include "controller/lists/DirectStart.h"
#include "controller/lists/ListPage.h"
#include "controller/lists/ProfileManager.h"
#include "controller/music/BgmControl.h"
#include "controller/window/ControllerMenus.h"
#include "controller/window/ControllerRemote.h"
#include "controller/window/ControllerStateDisplay.h"
#include "controller/window/ControllerToolBars.h"
#include "controller/window/ControllerTray.h"
#include "controller/window/MovieBar.h"
#include "core/AppContext.h"
#include "core/DialogParent.h"
#include "engine/Slideshow.h"
#include "viewer/jump/frmJump.h"
#include "viewer/movie/PlayerDialogs.h"
#include "viewer/window/frmView.h"

#include <QAction>
#include <QMainWindow>
#include <QToolBar>

ControllerCommands::ControllerCommands(const ControllerParts &parts,
                                       ControllerStateDisplay &display, AppContext &context,
                                       Slideshow &slideshow)
    : QObject(&parts.window)
    , m_parts(parts)
    , m_display(display)
    , m_ctx(context)
    , m_slideshow(slideshow)
{
    m_bookmarks = std::make_unique<Bookmarks>(slideshow, context.options, context.store,
                                              *context.messages, *context.fileDialogs, *this);
    ListStart::Window hooks;
    hooks.buildList = [this](PlayList &list) {
        const bool built = m_parts.listPage.ShowProgressDialog(
            list, [this] { m_bookmarks->ConfirmSaveShiori(false); });
        // The old position means nothing in the new list, also when the build was cancelled.
        m_slideshow.forgetCurrentIndex();
        return built;
    };
    hooks.releasePlayButton = [this] {
        toolButton(QStringLiteral("play"))->setChecked(false);
    };
    hooks.setCaption = [this](const QString &caption) {
        setControllerCaption(caption);
    };
    hooks.minimise = [this] {
        minimiseController();
    };
    m_listStart = std::make_unique<ListStart>(*this, context.options, *context.messages, hooks);
    m_remote = std::make_unique<ControllerRemote>(parts, context, slideshow);
    connectAll();
}

ControllerCommands::~ControllerCommands() = default;

RemoteControlTarget &ControllerCommands::remote()
{
    return *m_remote;
}

QAction *ControllerCommands::toolButton(const QString &key) const
{
    return m_parts.toolBars.mainButton(key);
}

void ControllerCommands::on(const QString &action, void (ControllerCommands::*handler)())
{
    on(action, [this, handler] { (this->*handler)(); });
}

void ControllerCommands::on(const QString &action, std::function<void()> handler)
{
    if (QAction *a = m_parts.menus.action(action))
        connect(a, &QAction::triggered, this, [this, handler] {
            handler();
            syncChecks();
        });
}

void ControllerCommands::connectAll()
{
    const QStringList prefixes { QStringLiteral("mnuOparation_"), QStringLiteral("mnuPopup_"),
                                 QStringLiteral("mnuTasktray_") };
    for (const QString &p : prefixes) {
        on(p + QStringLiteral("Stop"), &ControllerCommands::mnuOparation_Stop_Click);
        on(p + QStringLiteral("Pause"), &ControllerCommands::mnuOparation_Pause_Click);
        on(p + QStringLiteral("Nonestop"), [this] { m_slideshow.toggleFastForward(); });
        on(p + QStringLiteral("Reverse"), [this] { m_slideshow.toggleReverse(); });
        on(p + QStringLiteral("Hide"), &ControllerCommands::mnuOparation_Hide_Click);
    }
    // Menu bar and tray move at once; the viewer's pop-up may have to wait for the tick.
    for (const QString &p : { QStringLiteral("mnuOparation_"), QStringLiteral("mnuTasktray_") }) {
        const bool tray = p == u"mnuTasktray_";
        on(p + (tray ? QStringLiteral("FirstFile") : QStringLiteral("Firstfile")),
           [this] { m_slideshow.goFirst(); });
        on(p + (tray ? QStringLiteral("LastFile") : QStringLiteral("Lastfile")),
           [this] { m_slideshow.goLast(); });
        on(p + (tray ? QStringLiteral("NextFile") : QStringLiteral("Nextfile")),
           [this] { m_slideshow.goNext(); });
        on(p + (tray ? QStringLiteral("PreviousFile") : QStringLiteral("Previousfile")),
           [this] { m_slideshow.goPrevious(); });
    }
    on(QStringLiteral("mnuPopup_FirstFile"), [this] { popupMove(1); });
    on(QStringLiteral("mnuPopup_lastFile"), [this] { popupMove(2); });
    on(QStringLiteral("mnuPopup_PreviousFile"), [this] { popupMove(3); });
    on(QStringLiteral("mnuPopup_NextFile"), [this] { popupMove(4); });
    for (const QString &name :
         { QStringLiteral("mnuOparation_PageJump"), QStringLiteral("mnuPopup_Pagejump"),
           QStringLiteral("mnuTasktray_Pagejump") })
        on(name, [this] {
            frmJump::showPageJump(m_slideshow, m_ctx.store, *m_ctx.messages, &m_parts.viewer);
        });

    // Only a running show has a current file; a stopped one may still have its reverse bit.
    on(QStringLiteral("mnuFile_RemoveFromList"), [this] {
        if (m_slideshow.isRunning())
            m_slideshow.dropCurrentFile();
    });
    for (const QString &name :
         { QStringLiteral("mnuFile_LoadShiori"), QStringLiteral("mnuPopup_Shiori_Open"),
           QStringLiteral("mnuTasktray_Shiori_Open") })
        on(name, [this] { m_bookmarks->OpenShiori(); });
    for (const QString &name :
         { QStringLiteral("mnuFile_SaveShiori"), QStringLiteral("mnuPopup_Shiori_Save"),
           QStringLiteral("mnuTasktray_Shiori_Save") })
        on(name, [this] { m_bookmarks->mnuFile_SaveShiori_Click(); });
    for (const QString &name :
         { QStringLiteral("mnuFile_SaveasShiori"), QStringLiteral("mnuPopup_Shiori_Saveas"),
           QStringLiteral("mnuTasktray_Shiori_Saveas") })
        on(name, [this] { m_bookmarks->SaveShioriAs(); });

    const auto movieItems = [](const QString &menuBar, const QString &popup, const QString &tray) {
        return QStringList { menuBar, popup, tray };
    };
    for (const QString &name :
         movieItems(QStringLiteral("mnuMovie_Play"), QStringLiteral("mnuPopup_Movie_Play"),
                    QStringLiteral("mnuTasktray_Movie_Play")))
        on(name, [this] { m_slideshow.moviePlay(); });
    for (const QString &name :
         movieItems(QStringLiteral("mnuMovie_Pause"), QStringLiteral("mnuPopup_Movie_Pause"),
                    QStringLiteral("mnuTasktray_Movie_Pause")))
        on(name, [this] { m_slideshow.moviePause(); });
    for (const QString &name : movieItems(QStringLiteral("mnuMovie_FastForward"),
                                          QStringLiteral("mnuPopup_Movie_FastForward"),
                                          QStringLiteral("mnuTasktray_Movie_FastForward")))
        on(name, [this] { m_slideshow.movieFastForward(); });
    for (const QString &name : movieItems(QStringLiteral("mnuMovie_FastReverse"),
                                          QStringLiteral("mnuPopup_Movie_Reverse"),
                                          QStringLiteral("mnuTasktray_Movie_FastReverse")))
        on(name, [this] { m_slideshow.movieFastReverse(); });

    // The music commands of the menu bar, the tray menu and the viewer's pop-up menu.
    for (const QString &p : { QStringLiteral("mnuBGM_"), QStringLiteral("mnuTasktray_BGM_"),
                              QStringLiteral("mnuPopup_BGM_") }) {
        on(p + QStringLiteral("Play"), [this] { m_parts.bgm.mnuBGM_Play_Click(); });
        on(p + QStringLiteral("Stop"), [this] { m_parts.bgm.mnuBGM_Stop_Click(); });
        on(p + QStringLiteral("Back"), [this] { m_parts.bgm.mnuBGM_Back_Click(); });
        on(p + QStringLiteral("Forward"), [this] { m_parts.bgm.mnuBGM_Forward_Click(); });
    }

    // Tool bar.
    connect(toolButton(QStringLiteral("open")), &QAction::triggered, this,
            [this] { m_bookmarks->OpenShiori(); });
    connect(toolButton(QStringLiteral("save")), &QAction::triggered, this,
            [this] { m_bookmarks->mnuFile_SaveShiori_Click(); });
    connect(toolButton(QStringLiteral("play")), &QAction::triggered, this, [this] {
        // While a show runs the button stays pressed and nothing else happens.
        if (m_slideshow.isRunning()) {
            toolButton(QStringLiteral("play"))->setChecked(true);
            return;
        }
        toolButton(QStringLiteral("play"))->setChecked(false);
        mnuOparation_Stop_Click();
        syncChecks();
    });
    connect(toolButton(QStringLiteral("pause")), &QAction::triggered, this, [this] {
        toolButton(QStringLiteral("pause"))->setChecked(false);
        mnuOparation_Pause_Click();
        syncChecks();
    });
    connect(toolButton(QStringLiteral("stop")), &QAction::triggered, this, [this] {
        if (m_slideshow.isRunning())
            m_slideshow.stopSlideshow();
        syncChecks();
    });
    connect(toolButton(QStringLiteral("reverse")), &QAction::triggered, this,
            [this] { m_slideshow.goPrevious(); });
    connect(toolButton(QStringLiteral("forward")), &QAction::triggered, this,
            [this] { m_slideshow.goNext(); });
    // The movie bar's two check buttons show the clip's play state, not the click's toggle.
    const ControllerToolBars &bars = m_parts.toolBars;
    connect(bars.movieButton(QStringLiteral("play")), &QAction::triggered, this, [this] {
        m_slideshow.moviePlay();
        m_parts.movieBar.setClipPlayState(-1);
    });
    connect(bars.movieButton(QStringLiteral("pause")), &QAction::triggered, this, [this] {
        m_slideshow.moviePause();
        m_parts.movieBar.setClipPlayState(-1);
    });
    connect(bars.movieButton(QStringLiteral("forward")), &QAction::triggered, this,
            [this] { m_slideshow.movieFastForward(); });
    connect(bars.movieButton(QStringLiteral("reverse")), &QAction::triggered, this,
            [this] { m_slideshow.movieFastReverse(); });
    connect(bars.movieButton(QStringLiteral("menu")), &QAction::triggered, this, [this] {
        if (m_slideshow.mediaKind == MediaKind::MediaPlayer)
            m_parts.playerDialogs.mediaPlayerOptions();
        else
            m_parts.playerDialogs.realPlayerOptions();
    });
}

void ControllerCommands::syncChecks()
{
    const int s = m_slideshow.stateFlags;
    ControllerStateDisplay *d = &m_display;
    d->setPausedDisplay(s & StateBit::Paused);
    d->setFastForwardChecked(s & StateBit::FastForward);
    d->setReverseChecked(s & StateBit::Reverse);
    d->setHideItemsChecked(s & StateBit::Hidden);
    toolButton(QStringLiteral("play"))->setChecked(s & StateBit::Running);
}

void ControllerCommands::mnuOparation_Stop_Click()
{
    m_listStart->mnuOparation_Stop_Click();
}

void ControllerCommands::mnuOparation_Pause_Click()
{
    if (m_slideshow.isPaused())
        m_slideshow.resumeSlideshow();
    else
        m_slideshow.pauseSlideshow();
}

void ControllerCommands::mnuOparation_Hide_Click()
{
    if (m_slideshow.isHidden())
        m_slideshow.unhideViewer();
    else
        m_slideshow.hideViewer(false);
}

void ControllerCommands::mclsHotKey_HotKey(const QString &key, int, int)
{
    const auto trigger = [this](const QString &action) {
        if (QAction *a = m_parts.menus.action(action))
            a->trigger();
    };
    switch (HotKeyPage::functionNames().indexOf(key)) {
    case 0:
        m_slideshow.goNext();
        break;
    case 1:
        m_slideshow.goPrevious();
        break;
    case 2:
        m_slideshow.goFirst();
        break;
    case 3:
        m_slideshow.goLast();
        break;
    case 4:
        mnuOparation_Pause_Click();
        break;
    case 5:
        mnuOparation_Stop_Click();
        break;
    case 6:
        if (m_slideshow.isRunning())
            m_slideshow.stopSlideshow();
        break;
    case 7:
        m_slideshow.toggleFastForward();
        break;
    case 8:
        m_slideshow.toggleReverse();
        break;
    case 9:
        mnuOparation_Hide_Click();
        break;
    case 10:
        trigger(QStringLiteral("mnuOparation_PageJump"));
        break;
    case 11:
        trigger(QStringLiteral("mnuMovie_Play"));
        break;
    case 12:
        trigger(QStringLiteral("mnuMovie_Pause"));
        break;
    case 13:
        trigger(QStringLiteral("mnuMovie_FastForward"));
        break;
    case 14:
        trigger(QStringLiteral("mnuMovie_FastReverse"));
        break;
    case 15:
        trigger(QStringLiteral("mnuBGM_Play"));
        break;
    case 16:
        trigger(QStringLiteral("mnuBGM_Stop"));
        break;
    case 17:
        // Not from inside the key event: closing ends the hot keys and the filter that
        // delivers it.
        QMetaObject::invokeMethod(
            &m_parts.window, [w = &m_parts.window] { w->close(); }, Qt::QueuedConnection);
        break;
    default:
        // "機能0" … "機能9": the external function on the file shown, if there is one.
        if (key.startsWith(QStringLiteral("機能"))) {
            const PlayList &list = m_slideshow.playList;
            const int current = m_slideshow.currentIndex;
            auto *page = m_parts.window.findChild<HotKeyPage *>();
            if (page && page->externalFunctions() && current >= 1 && current <= list.count())
                page->externalFunctions()->runFunction(key.right(1).toInt(), list.path(current));
        }
        break;
    }
    syncChecks();
}

void ControllerCommands::popupMove(int command)
{
    if (m_slideshow.mediaKind == MediaKind::RealAudio) {
        m_slideshow.queueMove(command);
        return;
    }
    switch (command) {
    case 1:
        m_slideshow.goFirst();
        break;
    case 2:
        m_slideshow.goLast();
        break;
    case 3:
        m_slideshow.goPrevious();
        break;
    case 4:
        m_slideshow.goNext();
        break;
    }
}

bool ControllerCommands::isRunning() const
{
    return m_slideshow.isRunning();
}

void ControllerCommands::stopSlideshow()
{
    m_slideshow.stopSlideshow();
}

PlayList &ControllerCommands::playList()
{
    return m_slideshow.playList;
}

void ControllerCommands::clearBookmarkPath()
{
    m_bookmarks->clearBookmarkPath();
}

void ControllerCommands::startSlideshow(int nextIndex)
{
    m_slideshow.setStartIndex(nextIndex);
    m_slideshow.startSlideshow();
}

void ControllerCommands::setControllerCaption(const QString &caption)
{
    m_parts.window.setWindowTitle(caption);
}

void ControllerCommands::minimiseController()
{
    m_parts.tray.minimiseWindow();
}

QString ControllerCommands::currentProfileName() const
{
    return m_parts.profiles.currentName();
}

void ControllerCommands::selectProfile(const QString &name)
{
    m_parts.profiles.SetSetting(name, false);
}

QWidget *ControllerCommands::dialogOwner()
{
    return dialogParent(&m_parts.window);
}

bool ControllerCommands::SetSetting(const QString &name, bool onlyExist)
{
    return m_parts.profiles.SetSetting(name, onlyExist);
}

void ControllerCommands::startFromList()
{
    mnuOparation_Stop_Click();
    syncChecks();
}

void ControllerCommands::openDropped(const QStringList &paths)
{
    if (paths.isEmpty() || m_ctx.closing)
        return;
    if (m_slideshow.isRunning())
        m_slideshow.stopSlideshow();
    Startup::openExistingPath(paths.first(), paths.first(), *this, *m_ctx.messages);
    syncChecks();
}

bool ControllerCommands::ReadShiori(const QString &path)
{
    return m_bookmarks->ReadShiori(path);
}

bool ControllerCommands::OpenFolderDirect(const QString &folder, const QString &file)
{
    const auto caption
        = DirectStart::prepare(m_slideshow, { folder, file }, m_ctx.options, *m_ctx.random);
    if (!caption)
        return false;
    setControllerCaption(*caption);
    if (m_ctx.options.isChecked(Opt::chkMinWhenStart))
        minimiseController();
    m_slideshow.startSlideshow();
    return true;
}
