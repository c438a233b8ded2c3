#include "FakeServices.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/plugins/cSusie.h"
#include "viewer/window/frmView.h"

#include <QFile>
#include <QTest>

// A show through the real viewer and the shipped plug-ins: every format shows, each at its own
// size, and files no loader reads are dropped while the show goes on.
class TestPluginShow : public QObject
{
    Q_OBJECT

private slots:
    void showsEveryFormatAndSkipsDamagedFiles()
    {
        Sandbox box;
        const QString fixtures = QStringLiteral(PLUGIN_FIXTURES "/");
        QStringList files;
        for (const char *name : { "sample.gif", "sample.avif", "sample.heic", "sample.jxl" }) {
            const QString copy = box.path(QString::fromLatin1(name).toUpper());
            QVERIFY(QFile::copy(fixtures + QString::fromLatin1(name), copy));
            files << copy;
        }
        QImage jpeg(80, 60, QImage::Format_RGB32);
        jpeg.fill(Qt::darkCyan);
        files << box.path(u"photo.jpg"_qs);
        QVERIFY(jpeg.save(files.last(), "JPEG"));
        // Damaged: a truncated HEIC and random bytes named GIF.
        const QByteArray heic = readFile(fixtures + u"sample.heic"_qs);
        files.insert(2, box.file(u"broken.heic"_qs, heic.left(heic.size() / 2)));
        files.insert(4, box.file(u"noise.gif"_qs, QByteArray(3000, '\x5A')));

        Options options;
        RecordingMessageService messages;
        FakeClock clock;
        FakeRandom random;
        FakeEventPump events;
        Slideshow show(options, messages, clock, random, events);
        frmView view(options, show);
        SettingsStore store(box.path(u"config"_qs));
        cSusie susie(options, &view.picBack, messages, store);
        show.setViewer(&view);
        show.setPluginBridge(&susie);
        const QString spi = QStringLiteral(SHIPPED_SPI_DIR "/");
        options.setSusiePlugins({ spi + u"gif.spi"_qs, spi + u"avif.spi"_qs, spi + u"heif.spi"_qs,
                                  spi + u"jxl.spi"_qs });
        options.setCheck(Opt::chkUseSusiePlugin, 1);

        for (const QString &p : files)
            show.playList.appendToPlayList(p);
        show.nextIndex = 1;
        show.stateFlags = StateBit::Running;
        view.measureViewer();
        QStringList shown;
        // A plug-in's decode runs on a worker; the step waits for it with the event loop running.
        const auto stepEnded = [&show] {
            return QTest::qWaitFor([&show] { return !show.isStepPending(); }, 10000);
        };
        for (int step = 0; step < 5; ++step) {
            show.showNextFile();
            QVERIFY(stepEnded());
            QVERIFY(show.currentIndex >= 1);
            shown << show.playList.path(show.currentIndex).section(u'/', -1);
            QCOMPARE(view.pictureSize(), step < 4 ? QSize(64, 48) : QSize(80, 60));
        }
        QCOMPARE(shown,
                 (QStringList { u"SAMPLE.GIF"_qs, u"SAMPLE.AVIF"_qs, u"SAMPLE.HEIC"_qs,
                                u"SAMPLE.JXL"_qs, u"photo.jpg"_qs }));
        QCOMPARE(show.playList.count(), 5); // the two damaged files were dropped
        QVERIFY(messages.messages.isEmpty());

        // Without plug-ins only the JPEG is left: Qt reads none of the four, and a GIF is not
        // even offered to it.
        options.setCheck(Opt::chkUseSusiePlugin, 0);
        show.nextIndex = 1;
        show.showNextFile();
        QVERIFY(stepEnded());
        QCOMPARE(show.playList.count(), 1);
        QCOMPARE(show.playList.path(1), box.path(u"photo.jpg"_qs));
    }
};

QTEST_MAIN(TestPluginShow)
#include "tst_pluginshow.moc"
