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
#include "viewer/movie/MediaSetup.h"
#include "viewer/movie/mpView.h"
#include "viewer/movie/raView.h"
#include "viewer/picture/PictureAhead.h"
#include "viewer/picture/PictureView.h"
#include "viewer/picture/cImage.h"
#include "viewer/plugins/PluginDefaults.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/cSusie.h"
#include "viewer/window/frmView.h"
#include "winsvc/ScreenAwake.h"

#include <QApplication>
#include <QImageReader>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

void prepareEnvironment()
{
    MediaSetup::chooseBackend();
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

// What the first decode of a picture file named on the command line depends on.
struct FirstDecode
{
    QString path;
    bool zoomed = false;
    bool stretched = false;
    QSize workArea;

    bool sameDecodeAs(const FirstDecode &other) const
    {
        // A zoomed picture is decoded whole whatever the screen.
        return path == other.path && zoomed == other.zoomed && stretched == other.stretched
            && (zoomed || workArea == other.workArea);
    }
};

std::optional<FirstDecode> firstDecodeOf(const QString &raw, SettingsStore &store, QSize workArea)
{
    const auto path = DirectStart::existingArgumentPath(raw);
    if (!path || IsFolder(*path))
        return std::nullopt;
    return FirstDecode { *path, storedOption(store, QStringLiteral("chkZoomImage")) == u'1',
                         storedOption(store, QStringLiteral("chkStretchImage")) == u'1', workArea };
}

// The picture is decoded while the windows are built, so that the first step finds it ready:
// reduced when it will be stretched, whole when zoomed, else what the work area can show of it
// first and the whole after.
std::unique_ptr<PictureAhead> startFirstDecode(const FirstDecode &first)
{
    auto ahead = std::make_unique<PictureAhead>();
    if (first.zoomed)
        ahead->start(first.path);
    else if (first.stretched)
        ahead->start(first.path, first.workArea);
    else
        ahead->start(first.path, QSize(), first.workArea);
    return ahead;
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
    // the last start, and is kept only when the real work area and arguments make the same.
    const QString settingsFolder = AppPaths::settingsFolder();
    std::optional<FirstDecode> earlyDecode;
    std::unique_ptr<PictureAhead> earlyPicture;
    {
        SettingsStore store(settingsFolder);
        earlyDecode = firstDecodeOf(CommandLine::rawText(argumentsOf(argc, argv)), store,
                                    Startup::lastWorkArea(settingsFolder));
        if (earlyDecode && (earlyDecode->zoomed || earlyDecode->workArea.isValid())) {
            // The list of image plug-ins is made here, on this thread, by finding the file's:
            // made by the decode's thread, it would read the library paths while the
            // application resets them.
            QImageReader(earlyDecode->path).format();
            earlyPicture = startFirstDecode(*earlyDecode);
        }
    }
    QApplication app(argc, argv);
    warmup.connectSessionBus();
    QApplication::setApplicationName(QStringLiteral("Lunetta"));
    QApplication::setApplicationVersion(QStringLiteral(LUNETTA_VERSION));
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("lunetta"));
    QtTranslations::install(app);

    auto messages = makeMessageService();
    SingleInstance instance(AppPaths::instanceLockPath(settingsFolder));
    if (!instance.tryAcquire()) {
        messages->error(Startup::secondInstanceMessage);
        return 0;
    }
    SettingsStore::removeSaveLeftovers(settingsFolder);

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
    if (const auto first = firstDecodeOf(raw, context.store, workArea)) {
        firstPicture = earlyPicture && earlyDecode->sameDecodeAs(*first) ? std::move(earlyPicture)
                                                                         : startFirstDecode(*first);
        if (!earlyDecode || earlyDecode->workArea != workArea)
            Startup::keepWorkArea(settingsFolder, workArea);
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
    QuitSignals quitSignals([&controller] {
        if (controller)
            controller->close();
        else
            QCoreApplication::quit();
    });
    const auto buildController = [&] {
        controller = std::make_unique<frmOptions>(context);
        controller->attach(slideshow, viewer, std::move(bridge));
        controller->stateDisplay()->onShowStateChanged = [&screenAwake, &slideshow] {
            screenAwake.setShowActive(slideshow.isRunning() && !slideshow.isPaused());
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
        directCaption = DirectStart::prepare(slideshow, *target, context.options, *context.random);
        if (directCaption) {
            viewer.loadWindowRect(context.store);
            // Into the always-on-top band before it is first shown, as the controller puts it
            // at every start: changing the band later re-creates the visible window.
            ControllerStateDisplay::setTopmost(&viewer,
                                               context.options.isChecked(Opt::chkAlwaysOnTop));
            slideshow.startSlideshow();
        }
    }
    if (directCaption) {
        const auto finishStartup = [&] {
            if (controller)
                return;
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
        // After the first picture is painted (not inside its paint event), or soon when the
        // show begins with a movie or has already ended.
        QObject::connect(viewer.picView, &PictureView::painted, &viewer, finishStartup,
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
