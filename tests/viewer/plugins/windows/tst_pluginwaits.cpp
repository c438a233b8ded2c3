#include "FakeServices.h"
#include "FakeWindowsPlugin.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/cSusie.h"
#include "viewer/plugins/windows/WindowsPluginHost.h"
#include "viewer/window/frmView.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

const QString greeting = FakeWindowsPlugin::greeting();
// Answers, as printf writes them: the file is taken; the shared file is refused; a picture of
// 2 x 2 pixels at 24 bits; 2 GB of pixels announced for 100 x 100; success without a picture.
const QString takesIt = uR"(\005\0\0\0\001\001\0\0\0)"_qs;
const QString noSharing = uR"(\005\0\0\0\005\001\0\0\0)"_qs;
const QString header24 = uR"(\0\0\001\0\030\0)"_qs + QString(uR"(\0)"_qs).repeated(24);
const QString smallPicture = uR"(\105\0\0\0\002\0\0\0\0\050\0\0\0\050\0\0\0\002\0\0\0\002\0)"_qs
    + header24 + uR"(\020\0\0\0)"_qs + QString(uR"(\377)"_qs).repeated(16);
const QString twoGigabytes = uR"(\065\0\0\177\002\0\0\0\0\050\0\0\0\050\0\0\0\144\0\0\0\144\0)"_qs
    + header24 + uR"(\0\0\0\177)"_qs;
const QString noPicture = uR"(\015\0\0\0\002\0\0\0\0\0\0\0\0\0\0\0\0)"_qs;

// A host played by the shell: notes each start in `starts`, does `before`, greets, and answers
// every call by its kind with the printf text given (nothing for a kind without one).
QString fakeHost(const QString &starts, const QString &before, const QString &isSupported,
                 const QString &picture, const QString &configure = QString())
{
    QString script = u"echo >> '"_qs + starts + u"'; "_qs + before + u"; printf '"_qs + greeting
        + u"'; frame() { n=$(head -c 4 | od -An -tu4); head -c $n; }; "
          u"while op=$(frame | od -An -tu1 | awk 'NR == 1 { print $1 }'); [ -n \"$op\" ]; do "
          u"case $op in "_qs;
    const auto answer = [&](int op, const QString &text) {
        if (!text.isEmpty())
            script += QString::number(op) + u") printf '"_qs + text + u"';; "_qs;
    };
    answer(1, isSupported);
    answer(5, noSharing);
    answer(2, picture);
    answer(3, configure);
    return script + u"esac; done; sleep 30"_qs;
}

// A loop held by a host's call goes without its timers for at least the shortest wait these
// tests allow (300 ms); a free loop on a busy machine is late by far less than that.
constexpr qint64 neverHeldMs = 250;

// The longest time the event loop went without running a timer of 10 ms, while it is watched.
class LoopWatch
{
public:
    LoopWatch()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer,
                         [this] { m_longest = std::max(m_longest, m_since.restart()); });
        m_since.start();
        m_timer.start();
    }
    qint64 longestGapMs() const { return std::max(m_longest, m_since.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

} // namespace

// Windows plug-ins whose host misbehaves never hold the window: their calls run on the host's
// own thread, the display step waits for them with the event loop running, and the plug-in is
// given up by the same rules as before.
class TestPluginWaits : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<SettingsStore> m_store;
    RecordingMessageService m_messages;
    Options m_options;
    FakeClock m_clock;
    FakeRandom m_random;
    FakeEventPump m_events;
    std::unique_ptr<Slideshow> m_show;
    std::unique_ptr<frmView> m_view;
    std::unique_ptr<cSusie> m_susie;
    QString m_plugin;
    QString m_starts;
    WindowsPluginHost::Limits m_limits;

    // A show over `count` pictures the built-in loader reads, each of its own size, with one
    // Windows plug-in played by `script` asked first.
    void prepareShow(const QString &script, int count)
    {
        m_susie->library().setHostCommand([script](int, const QString &) {
            return QStringList { u"/bin/sh"_qs, u"-c"_qs, script };
        });
        m_susie->library().setHostLimits(m_limits);
        for (int i = 0; i < count; ++i) {
            QImage image(10 + i, 7, QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
            const QString path = m_box->path(QStringLiteral("%1.png").arg(i));
            QVERIFY(image.save(path));
            m_show->playList.appendToPlayList(path);
        }
        m_show->nextIndex = 1;
        m_show->stateFlags = StateBit::Running;
        m_view->measureViewer();
    }
    // Shows the next file and waits for its step to end; how long that took.
    qint64 step()
    {
        QElapsedTimer took;
        took.start();
        m_show->showNextFile();
        if (!QTest::qWaitFor([this] { return !m_show->isStepPending(); }, 20000))
            return -1;
        return took.elapsed();
    }
    int countedStarts() const
    {
        QFile file(m_starts);
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
    }

private slots:
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        m_store = std::make_unique<SettingsStore>(m_box->path(u"config"_qs));
        m_messages.messages.clear();
        m_show = std::make_unique<Slideshow>(m_options, m_messages, m_clock, m_random, m_events);
        m_view = std::make_unique<frmView>(m_options, *m_show);
        m_susie = std::make_unique<cSusie>(m_options, &m_view->picBack, m_messages, *m_store);
        m_show->setViewer(m_view.get());
        m_show->setPluginBridge(m_susie.get());
        m_plugin = m_box->file(u"fake.spi"_qs, FakeWindowsPlugin::head());
        m_starts = m_box->path(u"starts"_qs);
        m_options.setSusiePlugins({ m_plugin });
        m_options.setCheck(Opt::chkUseSusiePlugin, 1);
        m_limits = WindowsPluginHost::Limits();
        m_limits.startMs = 1500;
        m_limits.waitToBeginMs = 500;
        m_limits.callMs = 400;
        m_limits.dialogMs = 600;
    }
    void cleanup()
    {
        m_show->stopSlideshow();
        m_susie.reset();
        m_view.reset();
        m_show.reset();
    }

    void misbehavingHostsNeverHoldTheWindow_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("isSupported");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("starts");
        // A host that never greets is not started again: its plug-in does not load. Meanwhile
        // each file waits for it at most waitToBeginMs.
        QTest::newRow("stalls on hello") << u"sleep 30"_qs << takesIt << smallPicture << 1;
        // The others fail three calls, each ending the host but the last, and are given up.
        QTest::newRow("stalls on a call") << u":"_qs << QString() << QString() << 3;
        QTest::newRow("announces 2 GB") << u":"_qs << takesIt << twoGigabytes << 3;
        QTest::newRow("answers without pictures") << u":"_qs << takesIt << noPicture << 1;
    }

    void misbehavingHostsNeverHoldTheWindow()
    {
        QFETCH(QString, before);
        QFETCH(QString, isSupported);
        QFETCH(QString, picture);
        QFETCH(int, starts);
        const int count = 6;
        prepareShow(fakeHost(m_starts, before, isSupported, picture), count);

        LoopWatch watch;
        for (int i = 0; i < count; ++i) {
            const qint64 took = step();
            // Each file waits at most for a call's limit or for a start's first wait, never
            // for the whole start.
            QVERIFY2(took >= 0 && took < 1200, qPrintable(QString::number(took)));
            // The plug-in gave no picture: the built-in loader shows the file, in its turn.
            QCOMPARE(m_view->pictureSize(), QSize(10 + i, 7));
        }
        QVERIFY2(watch.longestGapMs() < neverHeldMs,
                 qPrintable(QString::number(watch.longestGapMs())));
        QCOMPARE(m_show->playList.count(), count);
        QCOMPARE(countedStarts(), starts);
        QCOMPARE(m_susie->library().runningHosts(), 0);
        QVERIFY(!m_susie->IsPlugin(m_plugin));
        QCOMPARE(countedStarts(), starts); // asking again started nothing
        QVERIFY(m_messages.messages.isEmpty());
    }

    // The first files that need a host still starting go on to the next loader after their
    // wait, without counting against the plug-in; once the host has greeted it decodes.
    void aStartingHostHoldsAFileOnlyForItsWait()
    {
        m_limits.startMs = 10000;
        m_limits.waitToBeginMs = 300;
        prepareShow(fakeHost(m_starts, u"sleep 1.2"_qs, takesIt, smallPicture), 12);
        LoopWatch watch;
        QElapsedTimer show;
        show.start();
        qint64 first = step();
        QVERIFY2(first >= 300 && first < 800, qPrintable(QString::number(first)));
        QCOMPARE(m_view->pictureSize(), QSize(10, 7));
        int byPlugin = 0;
        for (int i = 1; i < 12 && byPlugin == 0; ++i) {
            QVERIFY(step() >= 0);
            byPlugin = m_view->pictureSize() == QSize(2, 2) ? i : 0;
        }
        QVERIFY(byPlugin > 0);
        QVERIFY(show.elapsed() >= 1200);
        QCOMPARE(countedStarts(), 1);
        QVERIFY2(watch.longestGapMs() < neverHeldMs,
                 qPrintable(QString::number(watch.longestGapMs())));
        // The host runs on and decodes the next file at once.
        const qint64 next = step();
        QVERIFY2(next >= 0 && next < 200, qPrintable(QString::number(next)));
        QCOMPARE(m_view->pictureSize(), QSize(2, 2));
    }

    // The settings dialog and the about box keep the user out of the windows, but not the
    // event loop; a host that does not answer in time is ended and the user told.
    void dialogsOfAHostThatDoesNotAnswerAreEnded()
    {
        m_susie->library().setHostCommand([this](int, const QString &) {
            return QStringList { u"/bin/sh"_qs, u"-c"_qs,
                                 fakeHost(m_starts, u":"_qs, takesIt, QString(), QString()) };
        });
        m_susie->library().setHostLimits(m_limits);
        LoopWatch watch;
        QElapsedTimer took;
        took.start();
        QCOMPARE(m_susie->ShowConfigurationDlg(m_plugin, 0, 0), cSusie::noAnswer);
        QVERIFY(took.elapsed() >= m_limits.dialogMs);
        QVERIFY2(watch.longestGapMs() < neverHeldMs,
                 qPrintable(QString::number(watch.longestGapMs())));
        QCOMPARE(m_messages.messages.size(), 1);
        QCOMPARE(m_messages.lastText(),
                 u"Susie Plug-in「fake.spi」が応答しないため、終了しました。"_qs);
        QCOMPARE(m_messages.messages.last().icon, MsgIcon::Warning);
        QCOMPARE(m_susie->library().runningHosts(), 0);

        // A host that never greets: the about box waits for its start, then tells.
        const QString silent = m_box->file(u"silent.spi"_qs, FakeWindowsPlugin::head());
        m_susie->library().setHostCommand([this](int, const QString &) {
            return QStringList { u"/bin/sh"_qs, u"-c"_qs, u"sleep 30"_qs };
        });
        m_limits.startMs = 600;
        m_susie->library().setHostLimits(m_limits);
        QVERIFY(m_susie->ShowAbout(silent).isEmpty());
        QCOMPARE(m_messages.messages.size(), 2);
        QCOMPARE(m_messages.lastText(), cSusie::noAnswerMessage(silent));
        QVERIFY2(watch.longestGapMs() < neverHeldMs,
                 qPrintable(QString::number(watch.longestGapMs())));
    }
};

QTEST_MAIN(TestPluginWaits)
#include "tst_pluginwaits.moc"
