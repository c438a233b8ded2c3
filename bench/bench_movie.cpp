// Figures for clips in the display step: from the start of a step to the first frame of an
// H.264 movie painted in the viewer, and how long a broken clip takes to be found
// undisplayable; against the same step for a small picture.
#include "core/Clock.h"
#include "core/EventPump.h"
#include "core/LoggingMessageService.h"
#include "core/Options.h"
#include "core/RandomSource.h"
#include "engine/Slideshow.h"
#include "viewer/movie/mpView.h"
#include "viewer/movie/raView.h"
#include "viewer/window/frmView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

QString media(const char *name)
{
    return QStringLiteral(LUNETTA_SOURCE_DIR "/tests/data/media/") + QString::fromLatin1(name);
}

// Notes when a watched widget is painted while it has a picture to paint.
class PaintWatch : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && armed && !painted
            && !static_cast<VideoSurface *>(watched)->videoFrameSize().isEmpty()) {
            painted = true;
            at = clock.nsecsElapsed() / 1e6;
        }
        return false;
    }
    QElapsedTimer clock;
    bool armed = false;
    bool painted = false;
    double at = 0;
};

struct Viewer
{
    explicit Viewer(const QString &logPath)
        : messages(logPath)
        , show(options, messages, clock, random, events)
        , view(options, show)
    {
        show.setMoviePlayer(view.mpView);
        show.setRealPlayer(view.raView);
        view.show();
    }
    // One display step over the file alone.
    void stepOver(const QString &path)
    {
        show.playList = PlayList();
        show.playList.appendToPlayList(path);
        show.nextIndex = 1;
        show.stateFlags = StateBit::Running;
        show.showNextFile();
    }

    Options options;
    LoggingMessageService messages;
    SystemClock clock;
    SystemRandom random;
    QtEventPump events;
    Slideshow show;
    frmView view;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = std::max(1, qEnvironmentVariableIntValue("LUNETTA_BENCH_RUNS") ?: 9);
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("small.png"));
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.save(picture);

    Viewer viewer(dir.filePath(QStringLiteral("messages.log")));
    PaintWatch watch;
    viewer.view.mpView->installEventFilter(&watch);
    // The first clip of a run loads the GStreamer plug-ins; it is measured apart.
    std::vector<double> firstFrame;
    double coldStart = 0;
    for (int i = 0; i <= runs; ++i) {
        watch.painted = false;
        watch.armed = true;
        watch.clock.start();
        viewer.stepOver(media("clip.mp4"));
        while (!watch.painted && watch.clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        watch.armed = false;
        const double ms = watch.painted ? watch.at : -1;
        if (i == 0)
            coldStart = ms;
        else
            firstFrame.push_back(ms);
        // The next step finds the viewer on screen, as every step after a show's first does.
        viewer.show.stopSlideshow();
        viewer.view.show();
        QCoreApplication::processEvents();
    }

    std::vector<double> pictureStep;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        viewer.stepOver(picture);
        pictureStep.push_back(t.nsecsElapsed() / 1e6);
        viewer.show.stopSlideshow();
    }

    std::printf("Clips in the display step (median of %d runs, %s platform, %s backend)\n", runs,
                qPrintable(QGuiApplication::platformName()),
                qgetenv("QT_MEDIA_BACKEND").constData());
    std::printf("  H.264 160x120 .mp4, step start to first frame painted: %.1f ms "
                "(first clip of the run: %.1f ms)\n",
                median(firstFrame), coldStart);
    std::printf("  160x120 PNG, whole display step:                      %.1f ms\n",
                median(pictureStep));

    const struct
    {
        const char *label;
        const char *file;
    } broken[] = {
        { "4 KB of random bytes named .mp4", "random.mp4" },
        { "truncated .mp4 (no index)", "truncated.mp4" },
        { "audio-only .mp3", "audio.mp3" },
        { ".avi whose codec is missing", "nocodec.avi" },
    };
    for (const auto &b : broken) {
        std::vector<double> took;
        double worst = 0;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            const bool shown = viewer.show.loadMediaFile(media(b.file));
            const double ms = t.nsecsElapsed() / 1e6;
            took.push_back(ms);
            worst = std::max(worst, ms);
            if (shown)
                std::printf("  %s was shown!\n", b.label);
            viewer.view.mpView->resetForNextFile();
        }
        std::printf("  found undisplayable: %-32s median %.1f ms, worst %.1f ms\n", b.label,
                    median(took), worst);
    }
    return 0;
}
