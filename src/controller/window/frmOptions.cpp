#include "controller/window/frmOptions.h"

#include "controller/hotkeys/HotKeyPage.h"
#include "controller/lists/ListPage.h"
#include "controller/lists/ProfileManager.h"
#include "controller/music/BgmControl.h"
#include "controller/music/MusicPlayer.h"
#include "controller/music/MusicPlayerStrip.h"
#include "controller/music/MusicTrackPlayer.h"
#include "controller/pages/OptionHelpTexts.h"
#include "controller/pages/OptionPages.h"
#include "controller/pages/SusiePage.h"
#include "controller/window/ControllerCommands.h"
#include "controller/window/ControllerGeometry.h"
#include "controller/window/ControllerMenus.h"
#include "controller/window/ControllerParts.h"
#include "controller/window/ControllerStateDisplay.h"
#include "controller/window/ControllerToolBars.h"
#include "controller/window/ControllerTray.h"
#include "controller/window/CornerPlacement.h"
#include "controller/window/MenuMnemonics.h"
#include "controller/window/MovieBar.h"
#include "controller/window/ShutdownSettings.h"
#include "core/AppContext.h"
#include "core/FileDropFilter.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "core/ToolIcons.h"
#include "core/Twips.h"
#include "engine/Slideshow.h"
#include "imagelist/frmFileList.h"
#include "viewer/movie/PlayerDialogs.h"
#include "viewer/movie/raView.h"
#include "viewer/plugins/cSusie.h"
#include "viewer/window/frmView.h"
#include "winsvc/clsHotKey.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QWindow>

namespace {

const QStringList tabCaptions { QStringLiteral("ﾘｽﾄの編集"),   QStringLiteral("表示する順序"),
                                QStringLiteral("ﾋﾞｭｰｱの設定"), QStringLiteral("ﾋﾞｭｰｱの大きさ"),
                                QStringLiteral("BGM"),         QStringLiteral("ﾎｯﾄｷｰ"),
                                QStringLiteral("動画"),        QStringLiteral("Susie") };

// Width of the window at every view level, and height of the option tabs.
constexpr int designWidth = 600;
constexpr int tabsHeight = 400;
constexpr int playerHeight = 44;

bool storedBool(const SettingsStore &store, const QString &key, bool defaultValue)
{
    const QString v
        = store.GetSetting(SettingKeys::Section::Main, key,
                           defaultValue ? QStringLiteral("True") : QStringLiteral("False"));
    return v.compare(u"True", Qt::CaseInsensitive) == 0;
}

} // namespace

frmOptions::frmOptions(AppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_ctx(context)
    , m_profiles(
          std::make_unique<ProfileManager>(context.store, context.profiles, *context.messages))
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Lunetta"));
    setWindowIcon(ToolIcons::icon(QStringLiteral("Lunetta")));
    m_menus = new ControllerMenus(menuBar(), this);
    new MenuMnemonics(*this, *menuBar());
    m_toolBars = std::make_unique<ControllerToolBars>(this, twipsPerPixel());
    m_movieBar = new MovieBar(*m_toolBars, *m_menus, this);
    buildBody();
    connectCommands();
    m_tray = new ControllerTray(*this, m_ctx, *m_menus);
    m_tray->setShowController([this] { showController(); });
}

frmOptions::~frmOptions()
{
    m_mclsHotKey.reset();
    // The slideshow outlives this window; it must not reach the bridge once it is gone.
    if (m_slideshow) {
        m_slideshow->setPluginBridge(nullptr);
        m_slideshow->setMusicPlayer(nullptr);
    }
}

void frmOptions::attach(Slideshow &slideshow, frmView &viewer)
{
    attach(slideshow, viewer, nullptr);
}

void frmOptions::attach(Slideshow &slideshow, frmView &viewer, std::unique_ptr<cSusie> bridge)
{
    m_slideshow = &slideshow;
    m_viewer = &viewer;
    m_tray->setSlideshow(&slideshow);
    m_playerDialogs = std::make_unique<PlayerDialogs>(viewer, m_ctx.store, *m_ctx.messages, this);
    m_playerDialogs->applyStoredVolume();
    const ControllerParts parts { *this,       *m_menus,    *m_toolBars, *m_movieBar,      *m_tray,
                                  *m_profiles, *m_listPage, *m_bgm,      *m_playerDialogs, viewer };
    m_stateDisplay = std::make_unique<ControllerStateDisplay>(parts, m_ctx.options);
    slideshow.setController(m_stateDisplay.get());
    slideshow.setMusicPlayer(m_bgm.get());
    // Opening and stopping a RealMedia clip waits with both windows disabled.
    viewer.raView->addGuardedWindow(this);
    m_movieBar->attach(slideshow);
    m_commands = new ControllerCommands(parts, *m_stateDisplay, m_ctx, slideshow);
    // Where no page takes a drop (the list and the music list do), the window takes it.
    setAcceptDrops(true);
    auto *drops = new FileDropFilter(this);
    installEventFilter(drops);
    connect(drops, &FileDropFilter::pathsDropped, m_commands, &ControllerCommands::openDropped);
    connect(&viewer, &frmView::filesDropped, m_commands, &ControllerCommands::openDropped);
    viewer.setPopupMenu(m_menus->mnuPopup(), m_menus->action(QStringLiteral("mnuPopup_Hide")),
                        [this] { return m_ctx.closing; });
    // Plug-ins decode into the viewer's holding buffer; the display step tries them first.
    m_susie = bridge
        ? std::move(bridge)
        : std::make_unique<cSusie>(m_ctx.options, &viewer.picBack, *m_ctx.messages, m_ctx.store);
    m_susie->setCaptionSink([&viewer](const QString &text) { viewer.setViewerCaption(text); });
    slideshow.setPluginBridge(m_susie.get());
    m_susiePage->setBridge(m_susie.get());
    m_profiles->setRunningQuery([&slideshow] { return slideshow.isRunning(); });
    if (auto *pages = findChild<OptionPages *>(QStringLiteral("OptionPages"))) {
        OptionPageHooks &hooks = pages->hooks();
        hooks.showViewerTitleBar = [&viewer](bool show) {
            viewer.showViewerTitleBar(show);
        };
        hooks.showViewerStatusBar = [&viewer](bool show) {
            viewer.showViewerStatusBar(show);
        };
        hooks.applyViewerTopmost = [this] {
            m_stateDisplay->applyViewerTopmost();
        };
        hooks.viewerFrame = [&viewer] {
            return viewer.frameGeometry();
        };
        hooks.testPlayMusic = [this](const QString &source) {
            m_bgm->testPlay(source);
        };
        PlayerDialogs *dialogs = m_playerDialogs.get();
        hooks.mediaPlayerOptions = [dialogs] {
            dialogs->mediaPlayerOptions();
        };
        hooks.mediaPlayerAbout = [dialogs] {
            dialogs->mediaPlayerAbout();
        };
        hooks.realPlayerOptions = [dialogs] {
            dialogs->realPlayerOptions();
        };
        hooks.realPlayerAbout = [dialogs] {
            dialogs->realPlayerAbout();
        };
    }
}

bool frmOptions::isTrayIconShown() const
{
    return m_tray->isIconShown();
}

TrayIcon *frmOptions::trayIcon() const
{
    return m_tray->icon();
}

void frmOptions::buildBody()
{
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBars->mainBar());
    layout->addWidget(m_toolBars->movieBar());

    // The music player strip sits right below the two tool bars, the full client width.
    m_musicTrack = new MusicTrackPlayer(this);
    m_music = new MusicPlayer(*m_musicTrack, this);
    m_music->setCdTracks([] { return MusicTrackPlayer::cdTracks(); });
    m_bgm = std::make_unique<BgmControl>(*m_music, m_ctx.options);
    m_mediaPlayer = new MusicPlayerStrip(*m_music, *m_bgm, *m_musicTrack, body);
    m_mediaPlayer->setFixedHeight(playerHeight);
    layout->addWidget(m_mediaPlayer);

    m_tbsOptions = new QTabWidget(body);
    m_tbsOptions->setObjectName(QStringLiteral("tbsOptions"));
    m_tbsOptions->setFixedHeight(tabsHeight);
    for (int i = 0; i < tabCaptions.size(); ++i) {
        auto *frame = new QFrame(m_tbsOptions);
        frame->setObjectName(QStringLiteral("fraTab") + QString::number(i));
        m_tbsOptions->addTab(frame, tabCaptions[i]);
    }
    m_listPage = new ListPage(fraTab(0), m_ctx);
    OptionPages::populate(*m_tbsOptions, m_ctx);
    m_susiePage = new SusiePage(m_ctx, fraTab(7));
    auto *susieLayout = new QVBoxLayout(fraTab(7));
    susieLayout->setContentsMargins(4, 4, 4, 4);
    susieLayout->addWidget(m_susiePage);
    OptionHelpTexts::apply(m_tbsOptions);
    auto *tabsBox = new QWidget(body);
    auto *tabsLayout = new QVBoxLayout(tabsBox);
    tabsLayout->setContentsMargins(8, 8, 8, 8);
    tabsLayout->addWidget(m_tbsOptions);
    tabsBox->setObjectName(QStringLiteral("tabsBox"));
    layout->addWidget(tabsBox);
    layout->addStretch(1);
    setCentralWidget(body);
    resize(designWidth, height());

    // Ctrl+Tab anywhere in the window turns to the next page, after the last the first.
    auto *nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this,
            [this] { selectTab((m_tbsOptions->currentIndex() + 1) % m_tbsOptions->count() + 1); });
}

QFrame *frmOptions::fraTab(int index) const
{
    return qobject_cast<QFrame *>(m_tbsOptions->widget(index));
}

QAction *frmOptions::toolButton(QToolBar *bar, const QString &key) const
{
    return ControllerToolBars::button(bar, key);
}

QToolBar *frmOptions::mainToolBar() const
{
    return m_toolBars->mainBar();
}

QToolBar *frmOptions::movieToolBar() const
{
    return m_toolBars->movieBar();
}

QSlider *frmOptions::movieSlider() const
{
    return m_toolBars->movieSlider();
}

double frmOptions::twipsPerPixel() const
{
    return Twips::perPixel(screen());
}

void frmOptions::connectCommands()
{
    auto on = [this](const QString &name, auto handler) {
        if (QAction *a = m_menus->action(name))
            connect(a, &QAction::triggered, this, handler);
    };
    on(QStringLiteral("mnuView_Moviebar"), [this] { mnuView_Moviebar_Click(); });
    on(QStringLiteral("mnuView_Player"), [this] { mnuView_Player_Click(); });
    on(QStringLiteral("mnuView_Option"), [this] { mnuView_Option_Click(); });
    on(QStringLiteral("mnuView_AlwaysOnTop"), [this] { mnuView_AlwaysOnTop_Click(); });
    on(QStringLiteral("mnuView_FileList"), [this] { mnuView_FileList_Click(); });
    m_listPage->dialogs().showFileListEditor = [this] {
        mnuView_FileList_Click();
    };
    on(QStringLiteral("mnuFile_SettingNew"), [this] { m_profiles->mnuFile_SettingNew_Click(); });
    on(QStringLiteral("mnuFile_SettingSave"), [this] { m_profiles->mnuFile_SettingSave_Click(); });
    on(QStringLiteral("mnuFile_SettingDelete"),
       [this] { m_profiles->mnuFile_SettingDelete_Click(); });
    for (const QString &quit : { QStringLiteral("mnuFile_Exit"), QStringLiteral("mnuPopup_Quit"),
                                 QStringLiteral("mnuTasktray_Quit") })
        on(quit, [this] { close(); });
    for (const QString &show :
         { QStringLiteral("mnuPopup_ResizeWindow"), QStringLiteral("mnuTasktray_ResizeWindow") })
        on(show, [this] { showController(); });
    on(QStringLiteral("mnuHelp_Index"), [this] { openHelp(); });
    on(QStringLiteral("mnuHelp_WhatsThis"), [] { QWhatsThis::enterWhatsThisMode(); });
    // Lunetta has no web site of its own; its installed help is its home page.
    on(QStringLiteral("mnuHelp_WebPage"), [this] { openHelp(); });
    on(QStringLiteral("mnuHelp_About"), [this] { showAbout(); });
    connect(m_toolBars->mainButton(QStringLiteral("pophint")), &QAction::triggered, this,
            [] { QWhatsThis::enterWhatsThisMode(); });
    connect(m_toolBars->mainButton(QStringLiteral("option")), &QAction::triggered, this,
            [this] { mnuView_Option_Click(); });

    // The profile box shows the profile list; picking an item loads that profile.
    QComboBox *box = m_toolBars->profileBox();
    connect(m_profiles.get(), &ProfileManager::namesChanged, this, [this, box] {
        const QSignalBlocker block(box);
        box->clear();
        box->addItems(m_profiles->names());
        box->setCurrentIndex(m_profiles->currentIndex());
    });
    connect(m_profiles.get(), &ProfileManager::currentChanged, this, [box](int index) {
        const QSignalBlocker block(box);
        box->setCurrentIndex(index);
    });
    connect(box, &QComboBox::activated, this,
            [this](int index) { m_profiles->cmbSetting_Click(index); });
}

void frmOptions::Form_Load()
{
    using namespace SettingKeys;
    const double tpp = twipsPerPixel();
    const SettingsStore &store = m_ctx.store;

    // Position, corrected when it would lie wholly off the screen.
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize screenTw = s
        ? QSize(int(s->geometry().width() * tpp), int(s->geometry().height() * tpp))
        : QSize(0, 0);
    const QSize windowTw(int(frameGeometry().width() * tpp), int(frameGeometry().height() * tpp));
    const QString storedLeft = store.GetSetting(Section::Main, Left, QString());
    // A first start: the top right corner of the work area, clear of the viewer, which opens at
    // its top left; placed below, once the window has its size.
    const bool firstStart = storedLeft.isEmpty() && s;
    if (!firstStart) {
        const QPoint stored(storedLeft.toInt(),
                            store.GetSetting(Section::Main, Top, QStringLiteral("0")).toInt());
        const QPoint topLeft = ControllerGeometry::correctOffScreen(stored, windowTw, screenTw);
        move(int(topLeft.x() / tpp), int(topLeft.y() / tpp));
    }

    m_profiles->loadFromStore();
    m_movieBar->setEnabled(false);

    int tab = store.GetSetting(Section::Main, Main::Tab, QStringLiteral("1")).toInt();
    if (tab < 1 || tab > m_tbsOptions->count())
        tab = 1;
    selectTab(tab);

    setViewLevel(ControllerGeometry::initialViewLevel(storedBool(store, Main::ShowMoviebar, true),
                                                      storedBool(store, Main::ShowPlayer, true),
                                                      storedBool(store, Main::ShowSetting, true)));
    m_menus->action(QStringLiteral("mnuView_FixBottom"))
        ->setChecked(storedBool(store, Main::FixBottom, false));
    m_menus->action(QStringLiteral("mnuView_AlwaysOnTop"))
        ->setChecked(storedBool(store, Main::AlwaysOnTop, false));
    applyControllerTopmost();

    m_mclsHotKey = std::make_unique<clsHotKey>(HotKeyBackend::create());
    m_mclsHotKey->setPTarget(this);
    connect(m_mclsHotKey.get(), &clsHotKey::HotKey, this,
            [this](const QString &key, int mask, int virtualKey) {
                if (m_commands)
                    m_commands->mclsHotKey_HotKey(key, mask, virtualKey);
            });
    if (auto *page = findChild<HotKeyPage *>()) {
        page->initHotKeyPage(*m_mclsHotKey, m_ctx.store, *m_ctx.messages);
        page->initFunctionPage(m_ctx.options, m_ctx.store, *m_ctx.messages, *m_ctx.fileDialogs);
    }
    if (firstStart)
        (new CornerPlacement(*this))->place();
}

void frmOptions::selectTab(int index)
{
    m_tbsOptions->setCurrentIndex(index - 1);
}

void frmOptions::setViewLevel(int level)
{
    m_resizing = true;
    const double tpp = twipsPerPixel();
    ControllerGeometry::Parts parts;
    QToolBar *movieBar = m_toolBars->movieBar();
    parts.mainBar = m_toolBars->mainBar()->sizeHint().height() * tpp;
    parts.movieBar = movieBar->sizeHint().height() * tpp;
    parts.player = m_mediaPlayer->height() * tpp;
    parts.tabs = (m_tbsOptions->height() + 16) * tpp;
    parts.frame = menuBar()->sizeHint().height() * tpp;
    const int newHeight = int(ControllerGeometry::windowHeightForLevel(level, parts) / tpp);
    const int oldHeight = height();

    movieBar->setVisible(level >= 2);
    movieBar->setEnabled(level >= 2);
    m_movieBar->setViewLevel(level);
    m_mediaPlayer->setVisible(level >= 3);
    m_mediaPlayer->setEnabled(level >= 3);
    QWidget *tabsBox = findChild<QWidget *>(QStringLiteral("tabsBox"));
    tabsBox->setVisible(level == 4);
    m_tbsOptions->setEnabled(level == 4);

    if (m_menus->action(QStringLiteral("mnuView_FixBottom"))->isChecked() && isVisible())
        move(x(), ControllerGeometry::topKeepingBottom(y(), oldHeight, newHeight));
    setFixedHeight(newHeight);
    m_resizing = false;
    m_viewLevel = level;

    m_menus->action(QStringLiteral("mnuView_Moviebar"))->setChecked(level >= 2);
    m_menus->action(QStringLiteral("mnuView_Player"))->setChecked(level >= 3);
    m_menus->action(QStringLiteral("mnuView_Option"))->setChecked(level == 4);
    m_toolBars->mainButton(QStringLiteral("option"))->setChecked(level == 4);
}

void frmOptions::mnuView_Moviebar_Click()
{
    // The item's check mark has already toggled.
    setViewLevel(m_menus->action(QStringLiteral("mnuView_Moviebar"))->isChecked() ? 2 : 1);
}

void frmOptions::mnuView_Player_Click()
{
    setViewLevel(m_menus->action(QStringLiteral("mnuView_Player"))->isChecked() ? 3 : 2);
}

void frmOptions::mnuView_Option_Click()
{
    // Also reached from the tool bar's "option" button, whose own state follows the level.
    setViewLevel(m_viewLevel == 4 ? 3 : 4);
}

void frmOptions::mnuView_AlwaysOnTop_Click()
{
    applyControllerTopmost();
}

bool frmOptions::applyControllerTopmost()
{
    return ControllerStateDisplay::applyControllerTopmost(
        *this, *m_menus->action(QStringLiteral("mnuView_AlwaysOnTop")));
}

frmFileList *frmOptions::fileListEditor() const
{
    return m_fileList;
}

void frmOptions::mnuView_FileList_Click()
{
    if (!m_fileList)
        m_fileList = new frmFileList(m_ctx.store, *m_ctx.messages, *m_ctx.fileDialogs, this);
    m_fileList->show();
    m_fileList->setWindowState(m_fileList->windowState() & ~Qt::WindowMinimized);
    m_fileList->raise();
    m_fileList->activateWindow();
}

void frmOptions::showController()
{
    if (m_tray->isInTray())
        m_tray->restoreFromTray();
    show();
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    raise();
    activateWindow();
}

void frmOptions::openHelp()
{
    if (!QFileInfo::exists(m_ctx.helpFile)) {
        m_ctx.messages->warning(QStringLiteral("ヘルプが見つかりません。\r\n") + m_ctx.helpFile);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(m_ctx.helpFile)))
        m_ctx.messages->warning(QStringLiteral("ヘルプを開けませんでした。\r\n") + m_ctx.helpFile);
}

void frmOptions::showAbout()
{
    m_ctx.messages->show(
        { QStringLiteral("Lunetta ") + QApplication::applicationVersion()
              + QStringLiteral("\r\nスライドショービューア\r\n\r\nQt ")
              + QString::fromLatin1(qVersion()) + QStringLiteral(" を使用しています。"),
          MsgIcon::Information, MsgButtons::Ok, MsgResult::Ok, QStringLiteral("Lunettaについて") });
}

void frmOptions::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (m_resizing || !m_tray->followWindowState())
        return;
    const bool minimised = windowState() & Qt::WindowMinimized;
    // Looking at the controller pauses a running show; putting it away resumes it.
    if (m_slideshow && m_slideshow->isRunning()) {
        if (minimised)
            m_slideshow->resumeSlideshow();
        else if (windowState() == Qt::WindowNoState)
            m_slideshow->pauseSlideshow();
    }
    if (windowState() == Qt::WindowNoState
        && m_menus->action(QStringLiteral("mnuView_AlwaysOnTop"))->isChecked())
        applyControllerTopmost();
}

void frmOptions::closeEvent(QCloseEvent *event)
{
    // While the list is being built the window is disabled, and a disabled window cannot be
    // closed: the build would otherwise go on and report to a program that has ended.
    if (!isEnabled() && !m_ctx.closing) {
        event->ignore();
        return;
    }
    if (!m_ctx.closing) {
        // No hot key acts while the settings are being saved.
        m_mclsHotKey.reset();
        shutdown();
    }
    event->accept();
}

void frmOptions::shutdown()
{
    if (m_commands)
        m_commands->bookmarks().ConfirmSaveShiori(true);
    // The entry now playing goes into the profile saved below.
    m_bgm->rememberBgmEntry();
    m_tray->removeIcon();
    const double tpp = twipsPerPixel();
    ShutdownSettings s;
    s.profileName = m_profiles->currentName();
    s.profileList = m_profiles->joinedNames();
    s.showMoviebar = m_menus->action(QStringLiteral("mnuView_Moviebar"))->isChecked();
    s.showPlayer = m_menus->action(QStringLiteral("mnuView_Player"))->isChecked();
    s.showSetting = m_menus->action(QStringLiteral("mnuView_Option"))->isChecked();
    s.fixBottom = m_menus->action(QStringLiteral("mnuView_FixBottom"))->isChecked();
    s.alwaysOnTop = m_menus->action(QStringLiteral("mnuView_AlwaysOnTop"))->isChecked();
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        s.controllerTopLeft = QPoint(int(std::lround(x() * tpp)), int(std::lround(y() * tpp)));
    s.tab = m_tbsOptions->currentIndex() + 1;
    s.columnWidths = m_listPage->columnWidthsTwips();
    if (m_slideshow && m_slideshow->currentIndex >= 1
        && m_slideshow->currentIndex <= m_slideshow->playList.count())
        s.lastFile = m_slideshow->playList.path(m_slideshow->currentIndex);
    bool saved = true;
    {
        SettingsStore::Batch batch(m_ctx.store);
        s.write(m_ctx.store, m_ctx.profiles);
        if (m_viewer)
            m_viewer->saveWindowRect(m_ctx.store);
        saved = batch.commit();
    }
    // Told, since what was changed in this run is lost with it.
    if (!saved)
        m_ctx.messages->warning(QStringLiteral("設定を保存できませんでした。\r\n\"")
                                + QDir::toNativeSeparators(m_ctx.store.filePath())
                                + QStringLiteral("\"\r\nに書き込めるか確かめてください。"));
    m_ctx.closing = true;
    // A show skipping files that do not open steps in a loop of its own, which would go on
    // through the rest of the list after the windows have closed.
    if (m_slideshow && m_slideshow->isRunning())
        m_slideshow->stopSlideshow();
    QApplication::closeAllWindows();
    // The program ends by itself only when its last visible window closes; with the controller
    // in the tray no window was visible, and the program would go on without a window or an
    // icon, refusing every later start.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}
