#include "FakeServices.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/picture/PictureAnimation.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/cSusie.h"
#include "viewer/window/frmView.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <atomic>

namespace {

// A GIF of 2 x 2 frames, frame i filled with colours[i % n] and shown `delayCs` hundredths of a
// second. The LZW data sends a clear code before every pixel, which keeps every code 3 bits.
QByteArray tinyGif(int frames, int delayCs, const QList<QRgb> &colours)
{
    QByteArray gif("GIF89a");
    gif += QByteArray::fromHex("02000200910000");
    for (int i = 0; i < 4; ++i) {
        const QRgb c = colours.value(i);
        gif += char(qRed(c));
        gif += char(qGreen(c));
        gif += char(qBlue(c));
    }
    gif += QByteArray::fromHex("21FF0B") + "NETSCAPE2.0" + QByteArray::fromHex("030100000000");
    for (int f = 0; f < frames; ++f) {
        gif += QByteArray::fromHex("21F90400") + char(delayCs & 0xFF) + char(delayCs >> 8);
        gif += QByteArray::fromHex("00002C000000000200020000") + char(2);
        quint32 bits = 0;
        int used = 0;
        QByteArray data;
        const auto put = [&](int code) {
            bits |= quint32(code) << used;
            for (used += 3; used >= 8; used -= 8, bits >>= 8)
                data += char(bits & 0xFF);
        };
        for (int p = 0; p < 4; ++p) {
            put(4);
            put(f % colours.size());
        }
        put(5);
        if (used > 0)
            data += char(bits & 0xFF);
        gif += char(data.size()) + data + char(0);
    }
    return gif + char(0x3B);
}

// Frames that never end, each a new number; counts what was read.
class EndlessFrames : public FrameSource
{
public:
    explicit EndlessFrames(std::atomic<int> &read)
        : m_read(read)
    { }
    bool next(QImage &frame, int &delayMs) override
    {
        frame = QImage(4, 4, QImage::Format_RGB32);
        frame.fill(QRgb(++m_read));
        delayMs = 20;
        return true;
    }

private:
    std::atomic<int> &m_read;
};

} // namespace

// Animated pictures through the real viewer and engine: GIF and AVIF through the shipped
// plug-ins' frames, WebP through Qt's reader, APNG composed by the viewer itself.
class TestAnimation : public QObject
{
    Q_OBJECT

    struct Show
    {
        Sandbox box;
        Options options;
        RecordingMessageService messages;
        FakeClock clock;
        FakeRandom random;
        FakeEventPump events;
        Slideshow show { options, messages, clock, random, events };
        frmView view { options, show };
        SettingsStore store { box.path(u"config"_qs) };
        cSusie susie { options, &view.picBack, messages, store };

        explicit Show(const QList<QPair<QString, QByteArray>> &files)
        {
            show.setViewer(&view);
            show.setPluginBridge(&susie);
            options.setSusiePlugins({ QStringLiteral(SHIPPED_SPI_DIR "/gif.spi"),
                                      QStringLiteral(SHIPPED_SPI_DIR "/avif.spi") });
            options.setCheck(Opt::chkUseSusiePlugin, 1);
            for (const auto &[name, content] : files)
                show.playList.appendToPlayList(box.file(name, content));
            show.nextIndex = 1;
        }
        QRgb shown() const { return view.picBack.image().pixel(0, 0) | 0xFF000000u; }
        // On a busy machine a plug-in's decode outlasts the step's own turn, and the step shows
        // the picture once it is done.
        bool firstFrameShown() const
        {
            return QTest::qWaitFor([this] { return !view.picBack.image().isNull(); }, 10000);
        }
        QString file() const { return show.playList.path(show.currentIndex).section(u'/', -1); }
    };

    static QByteArray fixture(const QString &name)
    {
        QFile file(QStringLiteral(ANIMATION_FIXTURES "/") + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void playsEachFrameForItsDelay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("GIF, plug-in frames") << u"three.gif"_qs;
        QTest::newRow("WebP, Qt's reader") << u"three.webp"_qs;
        QTest::newRow("AVIF, plug-in frames") << u"three.avif"_qs;
        QTest::newRow("APNG, composed here") << u"three.png"_qs;
    }
    void playsEachFrameForItsDelay()
    {
        QFETCH(QString, name);
        Show s({ { name, fixture(name) } });
        s.show.startSlideshow();
        QVERIFY(s.firstFrameShown());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(s.shown(), qRgb(255, 0, 0));
        QVERIFY(s.view.pictureMoves());

        // Red 200 ms, green 300 ms, blue 400 ms, red again: each up within one frame of its time.
        const QList<QRgb> colours { qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 0),
                                    qRgb(0, 255, 0) };
        const QList<int> due { 200, 500, 900, 1100 };
        const QList<int> tolerance { 200, 300, 400, 200 };
        for (int i = 0; i < colours.size(); ++i) {
            const QRgb before = s.shown();
            QVERIFY(QTest::qWaitFor([&] { return s.shown() != before; }, 5000));
            const qint64 at = clock.elapsed();
            QCOMPARE(s.shown(), colours[i]);
            QVERIFY2(at >= due[i] - 20 && at <= due[i] + tolerance[i],
                     qPrintable(u"frame %1 at %2 ms"_qs.arg(i + 1).arg(at)));
            QCOMPARE(s.view.animationPlayedThrough(), i >= 2);
        }

        // A paused show holds the frame; resuming goes on from it.
        s.show.pauseSlideshow();
        const QRgb held = s.shown();
        s.show.resumeSlideshow();
        QVERIFY(QTest::qWaitFor([&] { return s.shown() != held; }, 5000));
    }

    void playToTheEndWaitsForTheLastFrame_data()
    {
        QTest::addColumn<int>("playAll");
        QTest::newRow("play to the end") << 1;
        QTest::newRow("interval only") << 0;
    }
    void playToTheEndWaitsForTheLastFrame()
    {
        QFETCH(int, playAll);
        QImage next(8, 8, QImage::Format_RGB32);
        next.fill(Qt::white);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            next.save(&buffer, "PNG");
        }
        Show s({ { u"three.gif"_qs, fixture(u"three.gif"_qs) }, { u"next.png"_qs, png } });
        s.options.setCheck(Opt::chkMp_PlayAll, playAll);
        s.show.startSlideshow();
        QVERIFY(s.firstFrameShown());
        QElapsedTimer clock;
        clock.start();
        s.clock.now = 3600; // the interval is over at the next tick
        QVERIFY(QTest::qWaitFor([&] { return s.file() == u"next.png"; }, 5000));
        // Red, green and blue take 900 ms; the viewer's tick looks every 50 ms.
        if (playAll)
            QVERIFY2(clock.elapsed() >= 880, qPrintable(QString::number(clock.elapsed())));
        else
            QVERIFY2(clock.elapsed() < 880, qPrintable(QString::number(clock.elapsed())));
    }

    void badAnimationsNeitherCrashNorHang_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("leastGapMs"); // between two frames; 0: no second frame needed
        const QByteArray gif = fixture(u"three.gif"_qs);
        const QByteArray webp = fixture(u"three.webp"_qs);
        const QList<QRgb> colours { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255) };
        QTest::newRow("truncated GIF") << u"cut.gif"_qs << gif.left(gif.size() * 2 / 3) << 0;
        QTest::newRow("truncated WebP") << u"cut.webp"_qs << webp.left(webp.size() * 2 / 3) << 0;
        const QByteArray png = fixture(u"three.png"_qs);
        QTest::newRow("truncated APNG") << u"cut.png"_qs << png.left(png.size() * 2 / 3) << 0;
        QTest::newRow("GIF of 0 ms frames") << u"fast.gif"_qs << tinyGif(3, 0, colours) << 90;
        QTest::newRow("GIF of 10,000 frames") << u"long.gif"_qs << tinyGif(10000, 2, colours) << 10;
    }
    void badAnimationsNeitherCrashNorHang()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, leastGapMs);
        Show s({ { name, content } });
        s.show.startSlideshow();
        if (s.show.playList.isEmpty())
            return; // not even its first frame reads: dropped, as any broken picture is
        if (leastGapMs == 0) {
            // What reads of it plays, or stands still: either way the show goes on.
            QVERIFY(QTest::qWaitFor([&] { return s.view.animationPlayedThrough(); }, 5000));
            return;
        }
        QElapsedTimer clock;
        for (int i = 0; i < 3; ++i) {
            const QRgb before = s.shown();
            QVERIFY(QTest::qWaitFor([&] { return s.shown() != before; }, 5000));
            if (i > 0)
                QVERIFY2(clock.elapsed() >= leastGapMs,
                         qPrintable(QString::number(clock.elapsed())));
            clock.start();
        }
    }

    void aPluginWithoutFramesDecidesAsBefore()
    {
        // The frames come from the plug-in that decoded the picture, and only from one that
        // offers them: any other one's picture is shown still.
        SplayLibrary plugins;
        int32_t still = plugins.VBLoadPlugin(QStringLiteral(TEST_SPI_DIR "/red.spi"));
        int32_t gif = plugins.VBLoadPlugin(QStringLiteral(SHIPPED_SPI_DIR "/gif.spi"));
        QVERIFY(still && gif);
        QVERIFY(!plugins.animationOf(still, u"any.gif"_qs));
        QVERIFY(plugins.animationOf(gif, u"any.gif"_qs));
    }

    void decodesOnlyAFewFramesAhead()
    {
        std::atomic<int> read { 0 };
        int shown = 0;
        PictureAnimation animation([&](const QImage &) { ++shown; });
        animation.load([&read] { return std::make_unique<EndlessFrames>(read); });
        animation.setPlaying(true);
        int mostAhead = 0;
        QVERIFY(QTest::qWaitFor(
            [&] {
                mostAhead = std::max(mostAhead, read - shown);
                return shown >= 20;
            },
            10000));
        // The first frame was on screen before play began; one more may be in decoding.
        QVERIFY2(mostAhead <= PictureAnimation::framesAhead + 2,
                 qPrintable(QString::number(mostAhead)));
        animation.setPlaying(false);
        QVERIFY(QTest::qWaitFor([&] { return read - shown >= PictureAnimation::framesAhead; }));
        QVERIFY(read - shown <= PictureAnimation::framesAhead + 2);
    }
};

QTEST_MAIN(TestAnimation)
#include "tst_animation.moc"
