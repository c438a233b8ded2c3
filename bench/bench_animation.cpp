// Animated pictures: the frame rate a 1080p animation of 2,000 frames plays at and the memory it
// takes beyond its first frame, through the GIF plug-in's frames and through Qt's reader; and
// how fast each decodes frames with nothing to wait for.
#include "BenchPictures.h"

#include "viewer/picture/DibImage.h"
#include "viewer/picture/PictureAhead.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/picture/PictureTarget.h"
#include "viewer/picture/ReaderFrameSource.h"
#include "viewer/picture/cImage.h"
#include "viewer/plugins/SplayLibrary.h"

#include "lunetta_plugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>

#include <gif_lib.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int width = 1920;
constexpr int height = 1080;
constexpr int frameCount = 2000;
constexpr int delayCs = 2; // 20 ms: 50 frames a second asked for
constexpr int band = 54; // each later frame redraws a band of the picture, as GIF writers do
constexpr int playSeconds = 8;

// Made once and kept: the first frame a full picture, each later one a band of it moving down.
bool makeGif(const QString &path)
{
    if (QFileInfo(path).size() > 0)
        return true;
    int error = 0;
    const QByteArray name = QFile::encodeName(path + u".part"_qs);
    GifFileType *gif = EGifOpenFileName(name.constData(), false, &error);
    if (!gif)
        return false;
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = { GifByteType(i), GifByteType(255 - i), GifByteType((i * 7) & 255) };
    ColorMapObject *map = GifMakeMapObject(256, colours);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    GifByteType loop[] = { 1, 0, 0 };
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK
        && EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK
        && EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
    std::vector<GifPixelType> line(width);
    for (int k = 0; ok && k < frameCount; ++k) {
        GraphicsControlBlock gcb { DISPOSAL_UNSPECIFIED, false, delayCs, NO_TRANSPARENT_COLOR };
        GifByteType ext[4];
        const size_t length = EGifGCBToExtension(&gcb, ext);
        const int top = k == 0 ? 0 : (k * band) % height;
        const int rows = k == 0 ? height : band;
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), ext) == GIF_OK
            && EGifPutImageDesc(gif, 0, top, width, rows, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < rows; ++y) {
            for (int x = 0; x < width; ++x)
                line[size_t(x)] = GifPixelType(k == 0 ? (x / 8 + (top + y) / 8) : (x / 4 + k));
            ok = EGifPutLine(gif, line.data(), width) == GIF_OK;
        }
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok && QFile::rename(QString::fromLocal8Bit(name), path);
}

// A drawing area of the screen's size that counts the pictures put up on it.
class CountingTarget : public PictureTarget
{
public:
    QSize targetSize() const override { return m_canvas.size(); }
    QImage &canvas() override { return m_canvas; }
    void showInstead(QImage picture) override { m_instead = std::move(picture); }
    void showBackground() override { m_canvas.fill(Qt::black); }
    QColor backColor() const override { return Qt::black; }
    void refresh() override { ++refreshes; }
    int refreshes = 0;

private:
    QImage m_canvas { width, height, QImage::Format_RGB32 };
    QImage m_instead;
};

// The first frame into the holding buffer with the frames that follow it, as the display step
// leaves them: through the plug-in, or through the built-in loader.
bool loadFirst(const QString &how, const QString &path, cImage &image, PictureBuffer &back,
               SplayLibrary &plugins)
{
    if (how == u"qt")
        return image.LoadPic(path) && back.frames();
    int32_t handle = plugins.VBLoadPlugin(QStringLiteral(LUNETTA_PLUGIN_BUILD_DIR "/gif.spi"));
    PluginBlock info;
    PluginBlock bits;
    if (!handle || plugins.VBGetPictureOrg(handle, path, 0, 0, info, bits) != LUNETTA_SPI_OK)
        return false;
    back.setImage(DibImage::fromBlocks(info.data.get(), info.size, bits.data.get(), bits.size,
                                       LUNETTA_PICTURE_BYTES_LIMIT));
    back.setFrames(plugins.animationOf(handle, path));
    return bool(back.frames());
}

// In a process of its own, so that making the file does not count: plays for a while and prints
// the frames a second and the peak memory beyond what the first frame on screen took.
int playRun(const QString &how, const QString &path)
{
    CountingTarget target;
    PictureBuffer back;
    cImage image(&target, &back);
    SplayLibrary plugins;
    if (!loadFirst(how, path, image, back, plugins))
        return 1;
    image.Move(0, 0, width, height);
    image.setVisible(true);
    const double baseline = statusMiB("VmRSS");
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5"); // the peak starts afresh from here
    clear.close();
    const int before = target.refreshes;
    QElapsedTimer clock;
    clock.start();
    image.playAnimation(true);
    QEventLoop loop;
    QTimer::singleShot(playSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double seconds = clock.elapsed() / 1000.0;
    std::printf("%.1f %.1f\n", (target.refreshes - before) / seconds,
                statusMiB("VmHWM") - baseline);
    return 0;
}

// Frames a second that the worker's decode alone reaches, with the conversion for drawing.
double decodeRate(const FrameSourceOpener &open, int frames)
{
    std::unique_ptr<FrameSource> source = open();
    QElapsedTimer clock;
    clock.start();
    QImage frame;
    int delay = 0;
    int read = 0;
    while (read < frames && source && source->next(frame, delay)) {
        frame = PictureAhead::forDrawing(std::move(frame));
        ++read;
    }
    return read / (clock.elapsed() / 1000.0);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == u"--play")
        return playRun(args[2], args[3]);

    const QString folder = qEnvironmentVariable("LUNETTA_BENCH_FIXTURES", QDir::tempPath());
    QDir().mkpath(folder);
    const QString gif = folder + u"/animation-1080p-2000.gif"_qs;
    const bool kept = QFileInfo(gif).size() > 0;
    QElapsedTimer making;
    making.start();
    if (!makeGif(gif)) {
        std::printf("animation: could not make %s\n", qPrintable(gif));
        return 1;
    }
    const QString made = kept ? u"kept from an earlier run"_qs
                              : u"made in %1 s"_qs.arg(making.elapsed() / 1000.0, 0, 'f', 1);
    std::printf("animation: 1920x1080, %d frames of %d ms, %.1f MB GIF (%s)\n", frameCount,
                delayCs * 10, QFileInfo(gif).size() / 1e6, qPrintable(made));

    SplayLibrary plugins;
    const int32_t handle
        = plugins.VBLoadPlugin(QStringLiteral(LUNETTA_PLUGIN_BUILD_DIR "/gif.spi"));
    std::printf("  decode alone: plug-in %.1f frames/s, Qt's reader %.1f frames/s (300 frames)\n",
                decodeRate(plugins.animationOf(handle, gif), 300),
                decodeRate(ReaderFrameSource::opener(gif), 300));

    for (const QString &how : { u"plugin"_qs, u"qt"_qs }) {
        QProcess run;
        run.start(QCoreApplication::applicationFilePath(), { u"--play"_qs, how, gif });
        run.waitForFinished(120000);
        const QList<QByteArray> figures = run.readAllStandardOutput().trimmed().split(' ');
        if (run.exitCode() != 0 || figures.size() != 2) {
            std::printf("  %s: failed\n", qPrintable(how));
            continue;
        }
        std::printf("  played %d s through %s: %s frames/s (%d asked), peak memory beyond the "
                    "first frame %s MiB (one frame is %.1f MiB)\n",
                    playSeconds, how == u"qt" ? "Qt's reader" : "the GIF plug-in",
                    figures[0].constData(), 100 / delayCs, figures[1].constData(),
                    width * height * 4 / 1048576.0);
    }
    return 0;
}
