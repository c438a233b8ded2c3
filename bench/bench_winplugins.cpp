// Figures for users' own Windows plug-ins: how long a plug-in's host takes to answer its first
// call (Wine's start and LoadLibrary), and what the host adds to each picture,
// against the same Kumo plug-in built as one of Lunetta's own decoding the same 1920 x 1080
// picture.
//
// The hosts run in a Wine prefix of the benchmark's own, "wineprefix" in LUNETTA_BENCH_FIXTURES
// (default: "bench-fixtures" under the working folder), made on the first run; the time that
// took is printed too. Without Wine or the MinGW builds the benchmark says so and ends.
#include "BenchPictures.h"
#include "KumoFormat.h"

#include "core/LoggingMessageService.h"
#include "core/Options.h"
#include "core/SettingsStore.h"
#include "lunetta_plugin.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/plugins/PluginFileKind.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/cSusie.h"
#include "viewer/plugins/windows/WindowsPluginHost.h"
#include "viewer/plugins/windows/WineHostLauncher.h"
#include "viewer/plugins/windows/WinePrefix.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString wine()
{
    return QStandardPaths::findExecutable(QStringLiteral("wine"));
}

// Runs a Wine tool in the benchmark's prefix and waits for it; false when it failed.
bool runWine(const QString &program, const QStringList &args, int timeoutMs = 300000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    return p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit
        && p.exitCode() == 0;
}

void endWineServer()
{
    runWine(QStringLiteral("wineserver"), { QStringLiteral("-k") });
    runWine(QStringLiteral("wineserver"), { QStringLiteral("-w") });
}

void startWineServer()
{
    // A persistent server, as the tests keep one; it forks and stays in the background.
    QProcess::execute(QStringLiteral("wineserver"), { QStringLiteral("-p") });
}

// Milliseconds from starting a host to the answer of its first call, median of `runs`.
double hostStart(const QString &plugin, PluginFileKind::Kind kind, const QString &file, int runs,
                 bool serverRunning)
{
    std::vector<double> times;
    const std::optional<QByteArray> head = SplayLibrary::readHead(file);
    if (!head)
        return -1;
    for (int i = 0; i < runs; ++i) {
        if (!serverRunning)
            endWineServer();
        WindowsPluginHost host(WineHostLauncher::command(kind, plugin), WineHostLauncher::limits());
        QElapsedTimer t;
        t.start();
        if (!host.start() || host.isSupported(file, *head) == 0)
            return -1;
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(times);
}

struct Decode
{
    double loadMs = -1; // the whole LoadPicture: IsSupported, GetPicture, the checked picture
    double callMs = -1; // the GetPicture call alone
    // Windows builds: the plug-in's own GetPicture under Wine without host, timed in turns with
    // the calls through the host, and the median of the differences between the two.
    double ownMs = -1;
    double addedMs = 0;
    bool sharedFile = false; // the pixels came through the shared file, not the pipe
};

// The Windows plug-in's own GetPicture under Wine, without host or pipe: a timer process that
// makes one call each time it is asked. Not started when the timer is missing or fails.
bool startTimer(QProcess &timer, const QString &plugin, PluginFileKind::Kind kind,
                const QString &file)
{
    const QString program = QStringLiteral(PLUGIN_TIMER_DIR "/plugin_timer%1.exe")
                                .arg(kind == PluginFileKind::Windows32 ? 32 : 64);
    if (!QFileInfo::exists(program))
        return false;
    timer.start(wine(), { program, WinePrefix::toWinePath(plugin), WinePrefix::toWinePath(file) });
    return timer.waitForStarted() && timer.waitForReadyRead(120000)
        && timer.readLine().trimmed() == "ready";
}

// Milliseconds of one call in the timer process; -1 when it failed.
double timerCall(QProcess &timer)
{
    timer.write("\n");
    if (!timer.waitForReadyRead(30000))
        return -1;
    while (!timer.canReadLine() && timer.waitForReadyRead(30000)) { }
    bool ok = false;
    const double ms = QString::fromLatin1(timer.readLine()).trimmed().toDouble(&ok);
    return ok ? ms : -1;
}

Decode decode(cSusie &susie, Options &options, const QString &plugin, PluginFileKind::Kind kind,
              const QString &file, int runs)
{
    Decode d;
    options.setSusiePlugins({ plugin });
    // The first call loads the plug-in (starts its host); it is not counted.
    if (!susie.LoadPicture(file))
        return d;
    std::vector<double> load, call, own, added;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.start();
        if (!susie.LoadPicture(file))
            return d;
        load.push_back(t.nsecsElapsed() / 1e6);
    }
    if (kind == PluginFileKind::Native) {
        SplayLibrary &library = susie.library();
        int32_t handle = library.VBLoadPlugin(plugin);
        for (int i = 0; i < runs; ++i) {
            PluginBlock info, bits;
            t.start();
            if (library.VBGetPictureOrg(handle, file, 0, LUNETTA_SPI_INPUT_FILE, info, bits)
                != LUNETTA_SPI_OK)
                return d;
            call.push_back(t.nsecsElapsed() / 1e6);
        }
        library.VBFreePlugin(handle);
    } else {
        // A host of its own, to be asked which way the pixels came; its first call not counted.
        WindowsPluginHost host(WineHostLauncher::command(kind, plugin), WineHostLauncher::limits());
        PluginBlock info, bits;
        if (host.getPicture(file, info, bits) != 0)
            return d;
        QProcess timer;
        const bool timed = startTimer(timer, plugin, kind, file);
        for (int i = 0; i < runs; ++i) {
            t.start();
            if (host.getPicture(file, info, bits) != 0)
                return d;
            call.push_back(t.nsecsElapsed() / 1e6);
            const double ms = timed ? timerCall(timer) : -1;
            if (ms >= 0) {
                own.push_back(ms);
                added.push_back(call.back() - ms);
            }
        }
        d.sharedFile = host.bitsInSharedFile();
        if (own.size() == call.size()) {
            d.ownMs = median(own);
            d.addedMs = median(added);
        }
        timer.closeWriteChannel();
        timer.waitForFinished();
    }
    d.loadMs = median(load);
    d.callMs = median(call);
    return d;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int runs = std::max(1, qEnvironmentVariableIntValue("LUNETTA_BENCH_RUNS") ?: 5);
    const int pictureRuns = std::max(20, runs);
    std::printf("Windows plug-ins through the Wine host\n");
    const QString winDir = QStringLiteral(WIN_SPI_DIR "/");
    const QString spi = winDir + QStringLiteral("kumo.spi");
    const QString sph = winDir + QStringLiteral("kumo.sph");
    if (wine().isEmpty() || !QFileInfo::exists(spi) || !QFileInfo::exists(sph)) {
        std::printf("  skipped: Wine or the MinGW builds of the host and the test plug-in are "
                    "missing (scripts/deps --windows-plugins)\n");
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("LUNETTA_SPIHOST_DIR"))
        qputenv("LUNETTA_SPIHOST_DIR", LUNETTA_WINHOST_BUILD_DIR);

    QString folder = qEnvironmentVariable("LUNETTA_BENCH_FIXTURES");
    if (folder.isEmpty())
        folder = QDir::current().filePath(QStringLiteral("bench-fixtures"));
    QDir().mkpath(folder);
    // Wine takes only an absolute prefix.
    const QDir dir(QDir(folder).absolutePath());
    const QString prefix = dir.filePath(QStringLiteral("wineprefix"));
    qputenv("WINEPREFIX", QFile::encodeName(prefix));
    qputenv("WINEDEBUG", "-all");
    qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d");

    QElapsedTimer t;
    if (!QFileInfo::exists(prefix + QStringLiteral("/system.reg"))) {
        endWineServer();
        t.start();
        if (!runWine(wine(), { QStringLiteral("wineboot"), QStringLiteral("-i") })) {
            std::printf("  ** wineboot failed in %s **\n", qPrintable(prefix));
            return 1;
        }
        runWine(QStringLiteral("wineserver"), { QStringLiteral("-w") });
        std::printf("  Wine prefix made in %.1f s (the first wineboot, a fresh prefix)\n",
                    t.nsecsElapsed() / 1e9);
    } else {
        std::printf("  Wine prefix already made (%s)\n", qPrintable(prefix));
    }

    const QString file = dir.filePath(QStringLiteral("photo1080.kmo"));
    if (!QFileInfo::exists(file)) {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(encodeKumo(photo(QSize(1920, 1080)))) < 0)
            return 1;
    }

    std::printf("  host start to the first answer (Wine start + LoadLibrary), %d runs, "
                "medians:\n",
                runs);
    for (bool server : { false, true }) {
        if (server)
            startWineServer();
        const double s32 = hostStart(spi, PluginFileKind::Windows32, file, runs, server);
        const double s64 = hostStart(sph, PluginFileKind::Windows64, file, runs, server);
        std::printf("    %-32s 32-bit .spi %7.1f ms   64-bit .sph %7.1f ms\n",
                    server ? "a Wine server already running:" : "no Wine server running:", s32,
                    s64);
    }

    QTemporaryDir config;
    SettingsStore store(config.path());
    Options options;
    LoggingMessageService messages(config.filePath(QStringLiteral("messages.log")));
    PictureBuffer back;
    cSusie susie(options, &back, messages, store);

    std::printf("  a 1920 x 1080 Kumo picture (%.1f MB file, %.1f MB of pixels), %d runs, "
                "medians:\n",
                QFileInfo(file).size() / 1e6, 1920.0 * 3 * 1080 / 1e6, pictureRuns);
    struct Row
    {
        const char *name;
        QString plugin;
        PluginFileKind::Kind kind;
    };
    const Row rows[]
        = { { "Lunetta's own build (ELF)", QStringLiteral(NATIVE_KUMO), PluginFileKind::Native },
            { "Windows 32-bit .spi via host", spi, PluginFileKind::Windows32 },
            { "Windows 64-bit .sph via host", sph, PluginFileKind::Windows64 } };
    double native = -1;
    for (const Row &r : rows) {
        const Decode d = decode(susie, options, r.plugin, r.kind, file, pictureRuns);
        if (d.loadMs < 0) {
            std::printf("    %-30s ** FAILED **\n", r.name);
            continue;
        }
        std::printf("    %-30s decode into the holding buffer %6.1f ms (GetPicture call %6.1f ms)",
                    r.name, d.loadMs, d.callMs);
        // The Windows builds against Lunetta's own, the first row.
        if (&r == rows)
            native = d.loadMs;
        else if (native >= 0)
            std::printf("  overhead %+.1f ms", d.loadMs - native);
        std::printf("%s\n", back.size() == QSize(1920, 1080) ? "" : "  ** wrong size **");
        // How much of that is the plug-in's own code running slower under Wine, and how much
        // the host and the way the pixels come back add to the call.
        if (d.ownMs >= 0)
            std::printf("      its own GetPicture under Wine, no host, in turns with those calls: "
                        "%.1f ms; the host and the %s add %+.1f ms to the call\n",
                        d.ownMs, d.sharedFile ? "shared file" : "pipe", d.addedMs);
    }
    endWineServer();
    return 0;
}
