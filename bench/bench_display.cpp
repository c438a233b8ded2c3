// Figures for the display step: from the start of a step to the picture painted in the viewer,
// for a 24-megapixel JPEG and a 1920 × 1080 one, against decoding the same file alone.
#include "core/Clock.h"
#include "core/EventPump.h"
#include "core/LoggingMessageService.h"
#include "core/Options.h"
#include "core/RandomSource.h"
#include "engine/Slideshow.h"
#include "viewer/PictureView.h"
#include "viewer/frmView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
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

// A photo-like JPEG: soft gradients, a few shapes and grain, saved at quality 90.
QString makeJpeg(const QString &path, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(0.6, QColor(200, 170, 120));
    sky.setColorAt(1, QColor(60, 110, 40));
    p.fillRect(image.rect(), sky);
    QRadialGradient sun(size.width() * 0.7, size.height() * 0.3, size.height() * 0.25);
    sun.setColorAt(0, QColor(255, 240, 200, 230));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.fillRect(image.rect(), sun);
    p.end();
    QRandomGenerator rng(42);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = int(rng.bounded(25u)) - 12;
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                           std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    image.save(path, "JPEG", 90);
    return path;
}

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

    // One display step of `path`, timed until its picture has been painted.
    double stepMs(const QString &path)
    {
        show.playList.clear();
        show.playList.appendToPlayList(path);
        show.nextIndex = 1;
        painted = false;
        QElapsedTimer t;
        t.start();
        show.showNextFile();
        while (!painted && t.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
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

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = std::max(1, qEnvironmentVariableIntValue("LUNETTA_BENCH_RUNS") ?: 7);

    QTemporaryDir dir;
    std::printf("Display step, start to painted picture (median of %d runs, %s platform)\n", runs,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  generating the pictures ...\n");
    std::fflush(stdout);
    const QString large = makeJpeg(dir.filePath(QStringLiteral("large.jpg")), QSize(6000, 4000));
    const QString hd = makeJpeg(dir.filePath(QStringLiteral("hd.jpg")), QSize(1920, 1080));

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
    return 0;
}
