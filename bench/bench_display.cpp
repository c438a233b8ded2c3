// Figures for the display step: from the start of a step to the picture painted in the viewer,
// for a 24-megapixel JPEG and a 1920 × 1080 one, against decoding the same file alone; once with
// every file decoded by the step itself, once at a 2-second interval with the next file decoded
// ahead; and the peak resident memory of a show of 24-megapixel pictures.
#include "BenchPictures.h"

#include "core/Clock.h"
#include "core/EventPump.h"
#include "core/LoggingMessageService.h"
#include "core/Options.h"
#include "core/PathFunctions.h"
#include "core/RandomSource.h"
#include "engine/Slideshow.h"
#include "viewer/picture/ColourConversion.h"
#include "viewer/picture/PictureAhead.h"
#include "viewer/picture/PictureView.h"
#include "viewer/window/frmView.h"

#include <QApplication>
#include <QColorSpace>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double decodeMs(const QString &path)
{
    QElapsedTimer t;
    t.start();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    return image.isNull() ? -1 : t.nsecsElapsed() / 1e6;
}

struct Viewer
{
    Viewer(const QString &logPath)
        : messages(logPath)
        , show(options, messages, clock, random, events)
        , view(options, show)
    {
        QObject::connect(view.picView, &PictureView::painted, &view, [this] { painted = true; });
        view.move(0, 0);
        view.show();
        show.stateFlags = StateBit::Running;
        view.measureViewer();
    }

    // One display step of `path` with nothing decoded ahead.
    double stepMs(const QString &path)
    {
        show.setDecodeAhead(false);
        show.playList.clear();
        show.playList.appendToPlayList(path);
        show.nextIndex = 1;
        return timedStep();
    }

    // The next step of a show over `paths` (in a loop) after `intervalMs` of showing the
    // current file, during which the next one is decoded ahead.
    double stepAfterInterval(const QStringList &paths, int intervalMs)
    {
        if (show.playList.count() != paths.size() || show.playList.path(1) != paths.first()) {
            show.setDecodeAhead(true);
            options.setCheck(Opt::chkLoop, 1);
            show.playList.clear();
            for (const QString &p : paths)
                show.playList.appendToPlayList(p);
            show.nextIndex = 1;
            timedStep();
        }
        // Sleeps in the event loop, as the program does between steps: spinning here would take a
        // core from the decode ahead and the X server.
        QEventLoop idle;
        QTimer::singleShot(intervalMs, &idle, &QEventLoop::quit);
        idle.exec();
        return timedStep();
    }

    double timedStep()
    {
        painted = false;
        QEventLoop untilPainted;
        QObject::connect(view.picView, &PictureView::painted, &untilPainted, &QEventLoop::quit);
        QTimer::singleShot(10000, &untilPainted, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        show.showNextFile();
        if (!painted)
            untilPainted.exec();
        return painted ? t.nsecsElapsed() / 1e6 : -1;
    }

    Options options;
    LoggingMessageService messages;
    SystemClock clock;
    SystemRandom random;
    QtEventPump events;
    Slideshow show;
    frmView view;
    bool painted = false;
};

// Run in a process of its own, so that making the pictures does not count: a show over the
// given 24-megapixel files at natural size, each shown for a second; prints the resident
// memory before the first step and the peak.
int memoryRun(const QStringList &paths)
{
    QTemporaryDir dir;
    Viewer viewer(dir.filePath(QStringLiteral("messages.log")));
    viewer.options.setCheck(Opt::chkStretchImage, 0);
    QCoreApplication::processEvents();
    const double baseline = statusMiB("VmRSS");
    for (int i = 0; i < 2 * paths.size(); ++i)
        viewer.stepAfterInterval(paths, 1000);
    std::printf("%.1f %.1f\n", baseline, statusMiB("VmHWM"));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 2 && args.at(1) == u"--memory")
        return memoryRun(args.mid(2));
    const int runs = std::max(1, qEnvironmentVariableIntValue("LUNETTA_BENCH_RUNS") ?: 7);

    QTemporaryDir dir;
    std::printf("Display step, start to painted picture (median of %d runs, %s platform)\n", runs,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  generating the pictures ...\n");
    std::fflush(stdout);
    const QString large = makeJpeg(dir.filePath(QStringLiteral("large.jpg")), QSize(6000, 4000));
    const QString hd = makeJpeg(dir.filePath(QStringLiteral("hd.jpg")), QSize(1920, 1080));
    // Copies under other names, so that a show of two files never meets the same path twice.
    const auto copies = [&dir](const QString &path, int count) {
        QStringList names { path };
        for (int i = 2; i <= count; ++i) {
            names << dir.filePath(QString::number(i) + QStringLiteral("-") + GetFileName(path));
            QFile::copy(path, names.last());
        }
        return names;
    };
    const QStringList largeShow = copies(large, 4);
    const QStringList hdShow = copies(hd, 2);

    Viewer viewer(dir.filePath(QStringLiteral("messages.log")));
    const QSize area = viewer.view.screen()->availableGeometry().size();
    std::printf("  work area %d x %d\n", area.width(), area.height());

    struct Case
    {
        const char *name;
        QString path;
        bool stretch;
    };
    const Case cases[] = {
        { "24 MP JPEG (6000 x 4000), scroll bars", large, false },
        { "24 MP JPEG (6000 x 4000), stretched", large, true },
        { "1920 x 1080 JPEG, scroll bars", hd, false },
        { "1920 x 1080 JPEG, stretched", hd, true },
    };
    for (const Case &c : cases) {
        viewer.options.setCheck(Opt::chkStretchImage, c.stretch ? 1 : 0);
        viewer.stepMs(c.path); // warm-up: file cache, first window sizing
        std::vector<double> step, decode;
        for (int i = 0; i < runs; ++i) {
            step.push_back(viewer.stepMs(c.path));
            decode.push_back(decodeMs(c.path));
        }
        const double s = median(step);
        const double d = median(decode);
        std::printf("  %-40s step %7.1f ms   decode alone %7.1f ms   ratio %.2f\n", c.name, s, d,
                    d > 0 ? s / d : 0.0);
    }

    std::printf("Display step at a 2-second interval, the next file decoded ahead (median of %d)\n",
                runs);
    for (const Case &c : cases) {
        viewer.options.setCheck(Opt::chkStretchImage, c.stretch ? 1 : 0);
        const QStringList &paths = c.path == large ? largeShow : hdShow;
        std::vector<double> step;
        viewer.stepAfterInterval(paths, 2000); // warm-up
        for (int i = 0; i < runs; ++i)
            step.push_back(viewer.stepAfterInterval(paths, 2000));
        std::printf("  %-40s step %7.1f ms\n", c.name, median(step));
    }
    std::fflush(stdout);

    // What converting a photo's colours to the screen's adds to its decode: the same 24 MP
    // photo stated in Adobe RGB, decoded whole with the conversion off and on.
    {
        QImage adobe = photo(QSize(6000, 4000));
        adobe.setColorSpace(QColorSpace::AdobeRgb);
        const QString path = dir.filePath(QStringLiteral("adobe.jpg"));
        adobe.save(path, "JPEG", 90);
        adobe = QImage();
        std::vector<double> plain, converted;
        for (int i = 0; i <= runs; ++i) {
            for (const bool on : { false, true }) {
                ColourConversion::setEnabled(on);
                QElapsedTimer t;
                t.start();
                const bool decoded = !PictureAhead::decode(path).image.isNull();
                // The first round warms the file cache.
                if (i > 0 && decoded)
                    (on ? converted : plain).push_back(t.nsecsElapsed() / 1e6);
            }
        }
        ColourConversion::setEnabled(true);
        const double p = median(plain);
        const double c = median(converted);
        std::printf("Colour conversion of a 24 MP JPEG in Adobe RGB to the screen's colours "
                    "(median of %d): decode %.1f ms, with the conversion %.1f ms, +%.0f %%\n",
                    runs, p, c, p > 0 ? 100 * (c - p) / p : 0.0);
        std::fflush(stdout);
    }

    // Memory in a fresh process; a decoded 24-megapixel picture is 6000 × 4000 × 4 bytes.
    const double pictureMiB = 6000.0 * 4000 * 4 / (1024 * 1024);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList { QStringLiteral("--memory") } + largeShow.mid(0, 3));
    child.waitForFinished(600000);
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() == 2) {
        const double baseline = figures.at(0).toDouble();
        const double peak = figures.at(1).toDouble();
        std::printf("Show of 24 MP pictures at natural size, decoded ahead: peak resident %.1f MiB "
                    "= %.2f x one picture (%.1f MiB); before the first picture %.1f MiB, the "
                    "pictures' share %.2f x\n",
                    peak, peak / pictureMiB, pictureMiB, baseline, (peak - baseline) / pictureMiB);
    } else {
        std::printf("Memory run failed\n");
    }
    return 0;
}
