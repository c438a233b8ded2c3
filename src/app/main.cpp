#include "core/AppContext.h"
#include "core/AppPaths.h"
#include "core/CommandLine.h"
#include "core/DialogMessageService.h"
#include "core/LoggingMessageService.h"
#include "core/QtFileDialogService.h"
#include "core/QtTranslations.h"
#include "core/SettingKeys.h"
#include "core/SettingProfiles.h"
#include "core/SingleInstance.h"
#include "core/Startup.h"

#include "StartupWarmup.h"

#include "controller/lists/DirectStart.h"
#include "controller/window/ControllerCommands.h"
#include "controller/window/ControllerStateDisplay.h"
#include "controller/window/frmOptions.h"
#include "core/PathFunctions.h"
#include "core/QuitSignals.h"
#include "engine/Slideshow.h"
#include "imagelist/DirectFolder.h"
#include "imagelist/FolderPrefetch.h"
#include "viewer/movie/mpView.h"
#include "viewer/movie/raView.h"
#include "viewer/picture/ColourConversion.h"
#include "viewer/picture/PictureAhead.h"
#include "viewer/picture/PictureView.h"
#include "viewer/picture/cImage.h"
#include "viewer/plugins/PluginDefaults.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/cSusie.h"
#include "viewer/window/frmView.h"
#include "winsvc/DisplayProfile.h"
#include "winsvc/MprisService.h"
#include "winsvc/ScreenAwake.h"
#include "winsvc/X11WorkArea.h"

#include <QApplication>
#include <QColorSpace>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <optional>
#include <string_view>

namespace {

// How long the rest of a direct start waits after the first picture is painted: about three
// frames of a 60 Hz screen.
constexpr int restOfStartAfterPictureMs = 50;

void prepareEnvironment()
{
    // Windows are placed by the program and keys grabbed system-wide, which Wayland forbids.
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

std::unique_ptr<MessageService> makeMessageService()
{
    const QString log = qEnvironmentVariable("LUNETTA_MESSAGE_LOG");
    if (!log.isEmpty())
        return std::make_unique<LoggingMessageService>(log);
    return std::make_unique<DialogMessageService>();
}

// An option of the profile the controller will load, read from the store before it does.
QString storedOption(SettingsStore &store, const QString &name)
{
    return store.GetSetting(SettingKeys::optionsSection(SettingProfiles::storedSelection(store)),
                            name);
}

// The first decode of a picture file named on the command line: what the picture shows first
// depends on how it is fitted and on the work area.
struct FirstDecode
{
    enum class Fit { Zoomed, Stretched, Natural };
    QString path;
    PictureAhead::Header header;
    Fit fit = Fit::Natural;
    QSize workArea;

    // Reduced when it will be stretched, whole when zoomed, else what the work area can show of
    // it first and the whole after. Without a work area, whole.
    QSize bound() const { return fit == Fit::Stretched ? workArea : QSize(); }
    QSize firstPart() const { return fit == Fit::Natural ? workArea : QSize(); }
    PictureAhead::Outcome outcome() const
    {
        return PictureAhead::firstOutcome(header, bound(), firstPart());
    }
    bool sameDecodeAs(const FirstDecode &other) const
    {
        return path == other.path && outcome() == other.outcome();
    }
    // A decode begun before the work area is known (at a first start) is worth it when the
    // picture would be decoded alike on a small screen, and so on any usual one.
    bool alikeOnAnyScreen() const
    {
        FirstDecode small = *this;
        small.workArea = QSize(1280, 720);
        return header.stored.isValid() && outcome() == small.outcome();
    }
    // Begun on a worker while the windows are built, so that the first step finds it ready.
    std::unique_ptr<PictureAhead> start() const
    {
        auto ahead = std::make_unique<PictureAhead>();
        ahead->start(path, bound(), firstPart());
        return ahead;
    }
    // At a first start no work area is kept: a worker asks the X server for it and begins the
    // decode into `ahead` while the application is made. False when the server did not answer
    // and nothing was begun; this waits until then.
    std::future<bool> startOnServersWorkArea(PictureAhead &ahead)
    {
        return std::async(std::launch::async, [this, &ahead] {
            workArea = X11WorkArea::read();
            if (!workArea.isValid())
                return false;
            ahead.start(path, bound(), firstPart());
            return true;
        });
    }
};

// The file the command-line text names, when it names an existing one that is no folder.
std::optional<QString> argumentFile(const QString &raw)
{
    const auto path = DirectStart::existingArgumentPath(raw);
    if (!path || IsFolder(*path))
        return std::nullopt;
    return path;
}

// `early` lends its header when it names the same file, which saves reading it twice.
FirstDecode firstDecodeOf(const QString &path, SettingsStore &store, QSize workArea,
                          const FirstDecode *early = nullptr)
{
    FirstDecode first;
    first.path = path;
    first.header = early && early->path == path ? early->header : PictureAhead::Header::of(path);
    first.workArea = workArea;
    if (storedOption(store, QStringLiteral("chkZoomImage")) == u'1')
        first.fit = FirstDecode::Fit::Zoomed;
    else if (storedOption(store, QStringLiteral("chkStretchImage")) == u'1')
        first.fit = FirstDecode::Fit::Stretched;
    return first;
}

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// The plug-ins the show will ask first are loaded on a worker while the windows are built.
void preloadPlugins(SettingsStore &store, const SettingProfiles &profiles)
{
    if (storedOption(store, QStringLiteral("chkUseSusiePlugin")) != u'1')
        return;
    SplayLibrary::preload(profiles.storedPlugins(SettingProfiles::storedSelection(store)));
}

// For the start-up benchmark: prints the steady clock when the first picture has been painted
// in the viewer and ends the program at once, saving nothing but leaving no lock behind, as a
// closed program does not.
void reportFirstPictureAndQuit(frmView &viewer, const Slideshow &slideshow,
                               SingleInstance &instance)
{
    QObject::connect(viewer.picView, &PictureView::painted, &viewer,
                     [&viewer, &slideshow, &instance] {
                         if (slideshow.mediaKind != MediaKind::Picture
                             || !viewer.g_clsImage->Visible() || !viewer.isVisible())
                             return;
                         const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                             std::chrono::steady_clock::now().time_since_epoch())
                                             .count();
                         std::printf("first-picture %lld\n", static_cast<long long>(ns));
                         std::fflush(stdout);
                         instance.release();
                         std::_Exit(0);
                     });
}

// "--help" and "--version", the one argument of each that Linux programs answer on standard
// output without starting; every other argument is the program's own (a folder, a picture, a
// bookmark, a profile, /uninstall). True when it answered.
bool answeredInformationSwitch(int argc, char *argv[])
{
    if (argc != 2)
        return false;
    const std::string_view argument(argv[1]);
    if (argument == "--version") {
        std::printf("Lunetta %s\n", LUNETTA_VERSION);
        return true;
    }
    if (argument == "--help") {
        std::printf(
            "%s",
            "使い方: lunetta [フォルダ | 画像ファイル | しおりファイル(*.kvs) | 設定名]\n"
            "       lunetta /uninstall   Lunettaの設定をすべて削除します\n"
            "       lunetta --help       この説明を表示します\n"
            "       lunetta --version    版を表示します\n"
            "\n"
            "フォルダや画像ファイルを指定すると、そのフォルダのファイルをすぐに表示します。\n"
            "しおりファイルはその位置から、設定名はその設定のリストから表示を始めます。\n"
            "設定は $XDG_CONFIG_HOME/Lunetta/Lunetta.ini に保存されます"
            "(LUNETTA_CONFIG_DIR で変更できます)。\n");
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answeredInformationSwitch(argc, argv))
        return 0;
    prepareEnvironment();
    StartupWarmup warmup;
    // The first picture's decode starts before the application is made, with the work area of
    // the last start (or none, for a picture decoded alike on any screen), and is kept only when
    // the real work area and arguments make the same.
    const QString settingsFolder = AppPaths::settingsFolder();
    std::optional<FirstDecode> earlyDecode;
    QSize lastWorkArea;
    std::unique_ptr<PictureAhead> earlyPicture;
    // Declared after what it fills in, so that it is waited for before they go.
    std::future<bool> earlyOnServersWorkArea;
    std::unique_ptr<FolderPrefetch> folderPrefetch;
    {
        SettingsStore store(settingsFolder);
        // The header is read here, on this thread, which also makes the list of image plug-ins:
        // made by the decode's thread, it would read the library paths while the application
        // resets them.
        lastWorkArea = Startup::lastWorkArea(settingsFolder);
        // An option absent from the settings is on.
        ColourConversion::setEnabled(storedOption(store, QStringLiteral("chkColorProfile"))
                                     != u'0');
        const QString raw = CommandLine::rawText(argumentsOf(argc, argv));
        if (const auto file = argumentFile(raw))
            earlyDecode = firstDecodeOf(*file, store, lastWorkArea);
        if (earlyDecode && (lastWorkArea.isValid() || earlyDecode->alikeOnAnyScreen())) {
            earlyPicture = earlyDecode->start();
        } else if (earlyDecode && qgetenv("QT_QPA_PLATFORM") == "xcb") {
            earlyPicture = std::make_unique<PictureAhead>();
            earlyOnServersWorkArea = earlyDecode->startOnServersWorkArea(*earlyPicture);
        }
        // A folder's show lists the folder first: that, too, is begun here.
        if (const auto path = DirectStart::existingArgumentPath(raw); path && IsFolder(*path))
            folderPrefetch
                = std::make_unique<FolderPrefetch>(DirectFolder::folderOf(*path, QString()));
    }
    QApplication app(argc, argv);
    warmup.connectSessionBus();
    QApplication::setApplicationName(QStringLiteral("Lunetta"));
    QApplication::setApplicationVersion(QStringLiteral(LUNETTA_VERSION));
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("lunetta"));
    QtTranslations::install(app);
    if (earlyOnServersWorkArea.valid() && !earlyOnServersWorkArea.get())
        earlyPicture.reset();
    // Pictures are shown in the screen's own colours where a colour manager published its
    // profile; the early decode took sRGB, the usual case.
    if (const QByteArray screenProfile = DisplayProfile::read(); !screenProfile.isEmpty())
        ColourConversion::setDisplay(QColorSpace::fromIccProfile(screenProfile));
    if (ColourConversion::display() != QColorSpace(QColorSpace::SRgb))
        earlyPicture.reset();

    auto messages = makeMessageService();
    SingleInstance instance(AppPaths::instanceLockPath(settingsFolder));
    if (!instance.tryAcquire()) {
        messages->error(Startup::secondInstanceMessage);
        return 0;
    }
    Startup::removeSaveLeftovers(settingsFolder);

    const QString raw = CommandLine::rawText(QApplication::arguments());
    if (CommandLine::isUninstallSwitch(raw)) {
        Startup::uninstall(settingsFolder, SettingsStore::filePathIn(settingsFolder), *messages);
        return 0;
    }

    // The random generator is seeded from the clock when the context is made.
    AppContext context(settingsFolder, std::move(messages),
                       std::make_unique<QtFileDialogService>());
    context.helpFile = Startup::helpFilePath(QApplication::applicationDirPath());
    std::unique_ptr<PictureAhead> firstPicture;
    const QSize workArea = QGuiApplication::primaryScreen()
        ? QGuiApplication::primaryScreen()->availableGeometry().size()
        : QSize();
    if (const auto file = argumentFile(raw)) {
        const FirstDecode first
            = firstDecodeOf(*file, context.store, workArea, earlyDecode ? &*earlyDecode : nullptr);
        firstPicture = earlyPicture && earlyDecode->sameDecodeAs(first) ? std::move(earlyPicture)
                                                                        : first.start();
        if (lastWorkArea != workArea)
            Startup::keepWorkArea(settingsFolder, workArea);
    } else if (folderPrefetch) {
        // A show in name order begins with the folder's first file: decoded while the rest of
        // the folder is listed. The step takes it only when it shows that file first.
        if (const QString file = folderPrefetch->firstFile(); !file.isEmpty())
            firstPicture = firstDecodeOf(file, context.store, workArea).start();
    }
    earlyPicture.reset();
    preloadPlugins(context.store, context.profiles);

    // The viewer and the engine first; the viewer stays hidden until a show starts.
    Slideshow slideshow(context.options, *context.messages, *context.clock, *context.random,
                        *context.events);
    warmup.waitForFonts();
    frmView viewer(context.options, slideshow);
    viewer.g_clsImage->setPictureAhead(std::move(firstPicture));
    if (qEnvironmentVariableIsSet("LUNETTA_BENCH_FIRST_PICTURE"))
        reportFirstPictureAndQuit(viewer, slideshow, instance);
    slideshow.setViewer(&viewer);
    slideshow.setMoviePlayer(viewer.mpView);
    slideshow.setRealPlayer(viewer.raView);
    // Plug-ins decode into the viewer's holding buffer; the display step tries them first.
    auto bridge = std::make_unique<cSusie>(context.options, &viewer.picBack, *context.messages,
                                           context.store);
    bridge->setCaptionSink([&viewer](const QString &text) { viewer.setViewerCaption(text); });
    slideshow.setPluginBridge(bridge.get());
    // Nothing read from the settings: a new user, or a file so damaged that nothing of it could
    // be kept.
    if (context.store.sections().isEmpty()) {
        // A new user starts with Lunetta's own plug-ins on, so GIFs and the newer formats show.
        QStringList shipped;
        bridge->GetPluginFileName(cSusie::installedPluginFolder(), shipped);
        PluginDefaults::seedFirstRun(context.store, shipped);
    }

    // Declared before the controller, so its hold is released after the controller is gone.
    ScreenAwake screenAwake(ScreenAwake::sessionInhibitor());
    std::unique_ptr<frmOptions> controller;
    // After the controller, so that it is gone from the bus before the commands it runs.
    std::unique_ptr<MprisService> remoteControl;
    QuitSignals quitSignals([&controller] {
        if (controller)
            controller->close();
        else
            QCoreApplication::quit();
    });
    const auto buildController = [&] {
        controller = std::make_unique<frmOptions>(context);
        controller->attach(slideshow, viewer, std::move(bridge));
        remoteControl = std::make_unique<MprisService>(controller->commands()->remote());
        remoteControl->publish();
        ControllerStateDisplay *display = controller->stateDisplay();
        display->onShowStateChanged = [&screenAwake, &slideshow, &remoteControl] {
            screenAwake.setShowActive(slideshow.isRunning() && !slideshow.isPaused());
            remoteControl->refresh();
        };
        display->onFileChanged = [&remoteControl] {
            remoteControl->refresh();
        };
        if (auto *dialogs = dynamic_cast<DialogMessageService *>(context.messages.get()))
            dialogs->setParentWindow(controller.get());
        controller->Form_Load();
    };

    // A folder or a picture file named on the command line starts its show before the
    // controller window is built, which takes longer than the picture; the window follows once
    // the picture is on screen.
    std::optional<QString> directCaption;
    if (const auto target = DirectStart::argumentTarget(raw)) {
        context.profiles.transferSettingProfile(true,
                                                SettingProfiles::storedSelection(context.store));
        directCaption = DirectStart::prepare(slideshow, *target, context.options, *context.random,
                                             folderPrefetch.get());
        if (directCaption) {
            viewer.loadWindowRect(context.store);
            // Into the always-on-top band before it is first shown, as the controller puts it
            // at every start: changing the band later re-creates the visible window.
            ControllerStateDisplay::setTopmost(&viewer,
                                               context.options.isChecked(Opt::chkAlwaysOnTop));
            // The next file's decode waits with the controller, below.
            viewer.holdDecodeAhead(true);
            slideshow.startSlideshow();
        }
    }
    if (directCaption) {
        const auto finishStartup = [&] {
            if (controller)
                return;
            viewer.holdDecodeAhead(false);
            buildController();
            slideshow.catchUpLateController();
            controller->commands()->setControllerCaption(*directCaption);
            // The controller comes after the show's viewer, which must stay on top and active:
            // shown without taking the focus, then the viewer raised above it. Mapped plainly,
            // the controller covered the picture and took the keys and the right button.
            const bool underShow = slideshow.isRunning() && !slideshow.isHidden();
            controller->setAttribute(Qt::WA_ShowWithoutActivating, underShow);
            controller->show();
            controller->setAttribute(Qt::WA_ShowWithoutActivating, false);
            if (slideshow.isRunning() && context.options.isChecked(Opt::chkMinWhenStart))
                controller->commands()->minimiseController();
            else if (underShow) {
                viewer.raise();
                viewer.activateWindow();
            }
        };
        // A moment after the first picture is painted, or soon when the show begins with a
        // movie or has already ended. Painted is not yet seen: the window manager still frames
        // and maps the window, the X server and the compositor still copy the picture, and
        // building the controller and decoding the next file at once would take the processors
        // they need.
        QObject::connect(
            viewer.picView, &PictureView::painted, &viewer,
            [&viewer, &finishStartup] {
                QTimer::singleShot(restOfStartAfterPictureMs, &viewer, finishStartup);
            },
            Qt::ConnectionType(Qt::SingleShotConnection | Qt::QueuedConnection));
        QTimer::singleShot(250, &viewer, finishStartup);
    } else {
        buildController();
        viewer.loadWindowRect(context.store);
        controller->show();
        Startup::dispatchArgument(raw, *controller->commands(), *context.messages);
    }
    return QApplication::exec();
}
