#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

struct AppContext;
class BgmControl;
class MusicPlayer;
class MusicPlayerStrip;
class MusicTrackPlayer;
class ControllerCommands;
class ControllerMenus;
class ControllerStateDisplay;
class ControllerToolBars;
class ControllerTray;
class MovieBar;
class ListPage;
class PlayerDialogs;
class ProfileManager;
class QAction;
class QComboBox;
class QFrame;
class QSlider;
class QTabWidget;
class QToolBar;
class QToolButton;
class Slideshow;
class SusiePage;
class cSusie;
class clsHotKey;
class TrayIcon;
class frmFileList;
class frmView;

// The controller window: the menus, the two tool bars, the music player strip and the option
// tabs. Every command of the program reaches the slideshow through it.
class frmOptions : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmOptions(AppContext &context, QWidget *parent = nullptr);
    ~frmOptions() override;

    // Reads layout, profiles and view settings; called once, before the window is shown.
    void Form_Load();
    // Connects the window to the slideshow and the viewer; called once, before Form_Load.
    void attach(Slideshow &slideshow, frmView &viewer);
    // The same with the picture plug-in bridge that the show already uses, when it started
    // before this window was built.
    void attach(Slideshow &slideshow, frmView &viewer, std::unique_ptr<cSusie> bridge);
    Slideshow *slideshow() const { return m_slideshow; }
    frmView *viewer() const { return m_viewer; }
    ControllerStateDisplay *stateDisplay() const { return m_stateDisplay.get(); }
    ControllerCommands *commands() const { return m_commands; }

    // The tray icon that stands in for the minimised window.
    ControllerTray &tray() { return *m_tray; }
    bool isTrayIconShown() const;
    TrayIcon *trayIcon() const;

    // The system-wide hot keys, from the window's load until it closes.
    clsHotKey *hotKey() const { return m_mclsHotKey.get(); }

    ProfileManager &profiles() { return *m_profiles; }
    ControllerMenus &menus() { return *m_menus; }
    int viewLevel() const { return m_viewLevel; }
    QToolBar *mainToolBar() const;
    QToolBar *movieToolBar() const;
    QTabWidget *optionTabs() const { return m_tbsOptions; }
    ListPage *listPage() const { return m_listPage; }
    SusiePage *susiePage() const { return m_susiePage; }
    // The picture plug-in bridge, made by attach() and kept for the run.
    cSusie *susie() const { return m_susie.get(); }
    // The frame of option page i (from 0), which the page classes fill.
    QFrame *fraTab(int index) const;
    QAction *toolButton(QToolBar *bar, const QString &key) const;

    // The movie tool bar and the movie menus, usable while a clip is shown.
    MovieBar &movieBar() { return *m_movieBar; }
    // The music player and the BGM commands (menus, tray, pop-up, hot keys, the strip).
    MusicPlayer *musicPlayer() const { return m_music; }
    BgmControl *bgm() const { return m_bgm.get(); }
    MusicPlayerStrip *musicStrip() const { return m_mediaPlayer; }
    PlayerDialogs *playerDialogs() const { return m_playerDialogs.get(); }
    QSlider *movieSlider() const;

    void mnuView_Moviebar_Click();
    void mnuView_Player_Click();
    void mnuView_Option_Click();
    void mnuView_AlwaysOnTop_Click();
    // Shows the file-list editor, the one already open if there is one.
    void mnuView_FileList_Click();
    frmFileList *fileListEditor() const;

    // Stops with the window's bottom edge in place when "底辺を固定して伸縮" is checked.
    void setViewLevel(int level);
    bool applyControllerTopmost();
    double twipsPerPixel() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildBody();
    void connectCommands();
    void selectTab(int index);
    void showAbout();
    // Opens the help's home page in the desktop's browser, or says where it was looked for.
    void openHelp();
    void showController();
    void shutdown();

    AppContext &m_ctx;
    std::unique_ptr<ProfileManager> m_profiles;
    std::unique_ptr<ControllerStateDisplay> m_stateDisplay;
    Slideshow *m_slideshow = nullptr;
    frmView *m_viewer = nullptr;
    ControllerTray *m_tray = nullptr;
    ControllerCommands *m_commands = nullptr;
    ControllerMenus *m_menus = nullptr;
    std::unique_ptr<ControllerToolBars> m_toolBars;
    MovieBar *m_movieBar = nullptr;
    MusicTrackPlayer *m_musicTrack = nullptr;
    MusicPlayer *m_music = nullptr;
    std::unique_ptr<BgmControl> m_bgm;
    MusicPlayerStrip *m_mediaPlayer = nullptr;
    QTabWidget *m_tbsOptions = nullptr;
    ListPage *m_listPage = nullptr;
    SusiePage *m_susiePage = nullptr;
    std::unique_ptr<cSusie> m_susie;
    std::unique_ptr<clsHotKey> m_mclsHotKey;
    QPointer<frmFileList> m_fileList;
    int m_viewLevel = 4;
    bool m_resizing = false;
    std::unique_ptr<PlayerDialogs> m_playerDialogs;
};
