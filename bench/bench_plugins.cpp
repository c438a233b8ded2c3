// Figures for the picture plug-ins: what asking the four shipped plug-ins costs a display step
// that ends up showing a JPEG, and how long each plug-in takes to decode a 12-megapixel
// picture, against Qt decoding the same picture as a JPEG.
//
// The 12-megapixel pictures are made once with the encoders of the formats (ImageMagick,
// avifenc, heif-enc, cjxl) and kept in LUNETTA_BENCH_FIXTURES (default: a folder
// "bench-fixtures" under the working folder).
#include "BenchPictures.h"

#include "core/LoggingMessageService.h"
#include "core/Options.h"
#include "core/SettingsStore.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/plugins/cSusie.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::printf("  (%s failed: %s)\n", qPrintable(program), p.readAll().constData());
        return false;
    }
    return true;
}

struct Format
{
    const char *name;
    const char *file;
    const char *plugin;
};

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int runs = std::max(1, qEnvironmentVariableIntValue("LUNETTA_BENCH_RUNS") ?: 5);
    QString folder = qEnvironmentVariable("LUNETTA_BENCH_FIXTURES");
    if (folder.isEmpty())
        folder = QDir::current().filePath(QStringLiteral("bench-fixtures"));
    QDir().mkpath(folder);
    const QDir dir(folder);
    const QString pluginFolder = QStringLiteral(LUNETTA_PLUGIN_BUILD_DIR "/");

    QTemporaryDir config;
    SettingsStore store(config.path());
    Options options;
    LoggingMessageService messages(config.filePath(QStringLiteral("messages.log")));
    PictureBuffer back;
    cSusie susie(options, &back, messages, store);
    QImageReader::setAllocationLimit(1024);

    const Format formats[] = { { "GIF", "photo.gif", "gif.spi" },
                               { "AVIF", "photo.avif", "avif.spi" },
                               { "HEIC", "photo.heic", "heif.spi" },
                               { "JPEG XL", "photo.jxl", "jxl.spi" } };
    QStringList plugins;
    for (const Format &f : formats)
        plugins << pluginFolder + QString::fromLatin1(f.plugin);
    options.setSusiePlugins(plugins);

    // The 12-megapixel pictures.
    const QString png = dir.filePath(QStringLiteral("photo.png"));
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    if (!QFileInfo::exists(png) || !QFileInfo::exists(jpeg)) {
        std::printf("making 4000 x 3000 pictures in %s ...\n", qPrintable(folder));
        const QImage image = photo(QSize(4000, 3000));
        image.save(png, "PNG", 50);
        image.save(jpeg, "JPEG", 90);
    }
    const QStringList encoders[] = {
        { QStringLiteral("convert"), png, QStringLiteral("+dither"), QStringLiteral("-colors"),
          QStringLiteral("256"), dir.filePath(QStringLiteral("photo.gif")) },
        { QStringLiteral("avifenc"), QStringLiteral("--speed"), QStringLiteral("10"), png,
          dir.filePath(QStringLiteral("photo.avif")) },
        { QStringLiteral("heif-enc"), QStringLiteral("--quality"), QStringLiteral("80"), png,
          QStringLiteral("-o"), dir.filePath(QStringLiteral("photo.heic")) },
        { QStringLiteral("cjxl"), QStringLiteral("--effort"), QStringLiteral("3"),
          QStringLiteral("--quiet"), png, dir.filePath(QStringLiteral("photo.jxl")) },
    };
    for (const QStringList &e : encoders) {
        if (!QFileInfo::exists(e.last()))
            run(e.first(), e.mid(1));
    }

    // Probing: a display step of a JPEG asks every plug-in first. The first call loads them.
    std::printf("Picture plug-ins (%d runs each, medians)\n", runs);
    QElapsedTimer t;
    t.start();
    const bool claimed = susie.LoadPicture(jpeg);
    const double firstMs = t.nsecsElapsed() / 1e6;
    std::vector<double> probe;
    for (int i = 0; i < std::max(200, runs); ++i) {
        t.restart();
        susie.LoadPicture(jpeg);
        probe.push_back(t.nsecsElapsed() / 1e6);
    }
    std::vector<double> jpegDecode;
    for (int i = 0; i < runs; ++i) {
        t.restart();
        QImageReader reader(jpeg);
        const QImage image = reader.read();
        jpegDecode.push_back(t.nsecsElapsed() / 1e6);
    }
    const double probeMs = median(probe);
    const double jpegMs = median(jpegDecode);
    std::printf("  probing 4 plug-ins for a JPEG: %.3f ms per step (first step, loading them: "
                "%.1f ms)%s\n",
                probeMs, firstMs, claimed ? "  ** a plug-in claimed the JPEG **" : "");
    std::printf("  decoding that 12 MP JPEG (%.1f MB) with Qt: %.1f ms (probing adds %.3f %%)\n",
                QFileInfo(jpeg).size() / 1e6, jpegMs, 100.0 * probeMs / jpegMs);

    for (const Format &f : formats) {
        const QString path = dir.filePath(QString::fromLatin1(f.file));
        if (!QFileInfo::exists(path)) {
            std::printf("  %-8s no picture (encoder missing)\n", f.name);
            continue;
        }
        std::vector<double> times;
        bool ok = true;
        for (int i = 0; i < runs && ok; ++i) {
            t.restart();
            ok = susie.LoadPicture(path);
            times.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("  %-8s 12 MP decode into the holding buffer: %7.1f ms  (%.2f x the JPEG)"
                    "  %d x %d, %.1f MB%s\n",
                    f.name, median(times), median(times) / jpegMs, back.size().width(),
                    back.size().height(), QFileInfo(path).size() / 1e6, ok ? "" : "  ** FAILED **");
    }
    return 0;
}
