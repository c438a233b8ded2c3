// Runs on a private session bus (the test is started under dbus-run-session): real D-Bus
// clients — playerctl and dbus-send — drive the controller through its MPRIS service.
#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "FakeServices.h"
#include "controller/window/ControllerCommands.h"
#include "controller/window/ControllerMenus.h"
#include "controller/window/ControllerStateDisplay.h"
#include "controller/window/frmOptions.h"
#include "core/AppContext.h"
#include "core/Startup.h"
#include "engine/Slideshow.h"
#include "viewer/movie/mpView.h"
#include "viewer/movie/raView.h"
#include "viewer/window/frmView.h"
#include "winsvc/MprisService.h"

#include <QAction>
#include <QDBusConnection>
#include <QDialog>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

struct ClientRun
{
    int exitCode = -1;
    QString output;
};

// Runs a client to its end while the event loop keeps answering its calls.
ClientRun runClient(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000))
        process.kill();
    process.waitForFinished();
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
             QString::fromUtf8(process.readAllStandardOutput()).simplified() };
}

QString playerctl(const QString &command, const QString &argument = {})
{
    QStringList arguments { u"-p"_qs, u"Lunetta"_qs, command };
    if (!argument.isEmpty())
        arguments << argument;
    return runClient(u"playerctl"_qs, arguments).output;
}

// With --print-reply dbus-send waits for the answer, which comes after the command has run.
ClientRun dbusSend(const QString &member, const QStringList &arguments = {})
{
    return runClient(
        u"dbus-send"_qs,
        QStringList { u"--session"_qs, u"--print-reply"_qs, u"--reply-timeout=20000"_qs,
                      u"--dest="_qs + MprisService::serviceName, MprisService::objectPath, member }
            + arguments);
}

QString properties(const QString &interface)
{
    return dbusSend(u"org.freedesktop.DBus.Properties.GetAll"_qs, { u"string:"_qs + interface })
        .output;
}

} // namespace

class TestRemoteControl : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<AppContext> m_ctx;
    RecordingMessageService *m_messages = nullptr;
    std::unique_ptr<Slideshow> m_show;
    std::unique_ptr<frmView> m_viewer;
    std::unique_ptr<frmOptions> m_window;
    std::unique_ptr<MprisService> m_service;
    int m_changes = 0;

    // The controller on the real viewer, published on the bus and told of the show as the
    // program's start wires it.
    void open()
    {
        auto messages = std::make_unique<RecordingMessageService>();
        m_messages = messages.get();
        m_ctx = std::make_unique<AppContext>(m_box->path(u"config"_qs), std::move(messages),
                                             std::make_unique<RecordingFileDialogService>(),
                                             std::make_unique<FakeClock>());
        m_show = std::make_unique<Slideshow>(m_ctx->options, *m_ctx->messages, *m_ctx->clock,
                                             *m_ctx->random, *m_ctx->events);
        m_viewer = std::make_unique<frmView>(m_ctx->options, *m_show);
        m_show->setViewer(m_viewer.get());
        m_show->setMoviePlayer(m_viewer->mpView);
        m_show->setRealPlayer(m_viewer->raView);
        m_window = std::make_unique<frmOptions>(*m_ctx);
        m_window->attach(*m_show, *m_viewer);
        m_window->Form_Load();
        m_service = std::make_unique<MprisService>(m_window->commands()->remote());
        QVERIFY(m_service->publish());
        m_window->stateDisplay()->onShowStateChanged = [this] {
            m_service->refresh();
        };
        m_window->stateDisplay()->onFileChanged = [this] {
            m_service->refresh();
        };
    }
    // Three pictures, shown from the second.
    void startFromFolder()
    {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        for (const QString &name : { u"a.png"_qs, u"b.png"_qs, u"c.png"_qs })
            picture.save(m_box->path(u"pics/"_qs + name));
        Startup::dispatchArgument(m_box->path(u"pics/b.png"_qs), *m_window->commands(),
                                  *m_messages);
        QVERIFY(m_show->isRunning());
    }
    QString shownName() const
    {
        return QFileInfo(m_show->playList.path(m_show->currentIndex)).fileName();
    }
    QString engineStatus() const
    {
        if (!m_show->isRunning())
            return u"Stopped"_qs;
        return m_show->isPaused() ? u"Paused"_qs : u"Playing"_qs;
    }

public slots:
    void countChange() { ++m_changes; }

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: the test runs under dbus-run-session");
    }
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        m_box->folder(u"pics"_qs);
    }
    void cleanup()
    {
        m_service.reset();
        m_window.reset();
        m_viewer.reset();
        m_show.reset();
        m_ctx.reset();
    }

    void playerctlPausesStepsAndStopsTheShow()
    {
        if (QStandardPaths::findExecutable(u"playerctl"_qs).isEmpty())
            QSKIP("playerctl is not installed (scripts/deps installs it where it can)");
        open();
        // Where there is no bus, nothing is published.
        QVERIFY(!MprisService(m_window->commands()->remote()).publish(QDBusConnection(u"-"_qs)));
        // PropertiesChanged as another client of the bus sees it.
        QVERIFY(QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"watcher"_qs)
                    .connect(MprisService::serviceName, MprisService::objectPath,
                             u"org.freedesktop.DBus.Properties"_qs, u"PropertiesChanged"_qs, this,
                             SLOT(countChange())));
        QCOMPARE(playerctl(u"status"_qs), u"Stopped"_qs);
        startFromFolder();
        QTRY_VERIFY_WITH_TIMEOUT(m_changes > 0, 15000);
        QCOMPARE(playerctl(u"status"_qs), u"Playing"_qs);
        QCOMPARE(playerctl(u"metadata"_qs, u"xesam:title"_qs), u"b.png"_qs);

        for (const auto &[command, name] :
             { std::pair { u"next"_qs, u"c.png"_qs }, std::pair { u"previous"_qs, u"b.png"_qs },
               std::pair { u"previous"_qs, u"a.png"_qs } }) {
            playerctl(command);
            QTRY_COMPARE_WITH_TIMEOUT(shownName(), name, 15000);
            QCOMPARE(playerctl(u"metadata"_qs, u"xesam:title"_qs), name);
        }
        playerctl(u"pause"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(m_show->isPaused(), 15000);
        QCOMPARE(playerctl(u"status"_qs), u"Paused"_qs);
        playerctl(u"play-pause"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(!m_show->isPaused(), 15000);
        QCOMPARE(playerctl(u"status"_qs), u"Playing"_qs);

        const int before = m_changes;
        playerctl(u"stop"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(!m_show->isRunning(), 15000);
        QCOMPARE(playerctl(u"status"_qs), u"Stopped"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(m_changes > before, 15000);
        QDBusConnection::disconnectFromBus(u"watcher"_qs);
    }

    void propertiesDescribeThePlayerAndTheFileOnScreen()
    {
        open();
        startFromFolder();
        const QString url = QUrl::fromLocalFile(m_box->path(u"pics/b.png"_qs)).toString();
        const QString all = properties(u"org.mpris.MediaPlayer2"_qs)
            + properties(u"org.mpris.MediaPlayer2.Player"_qs);
        for (const QString &expected :
             { u"\"Identity\" variant string \"Lunetta\""_qs,
               u"\"DesktopEntry\" variant string \"lunetta\""_qs,
               u"\"CanQuit\" variant boolean true"_qs, u"\"CanRaise\" variant boolean true"_qs,
               u"\"HasTrackList\" variant boolean false"_qs,
               u"\"SupportedMimeTypes\" variant array [ ]"_qs,
               u"\"PlaybackStatus\" variant string \"Playing\""_qs,
               u"\"CanGoPrevious\" variant boolean true"_qs,
               u"\"CanSeek\" variant boolean false"_qs, u"\"Rate\" variant double 1"_qs,
               u"\"mpris:trackid\" variant object path \"/org/lunetta/Lunetta/track/2\""_qs,
               u"\"xesam:title\" variant string \"b.png\""_qs,
               u"\"xesam:url\" variant string \""_qs + url + u'"',
               u"\"mpris:artUrl\" variant string \""_qs + url + u'"' })
            QVERIFY2(all.contains(expected), qPrintable(expected + u" in "_qs + all));
        QVERIFY(!all.contains(u"mpris:length"_qs)); // a picture has none
    }

    // Every method in states a remote may meet: each is answered and the bus reports the show's
    // true state after it. A modal dialog holds the commands, as it holds the tool bar.
    void everyMethodInEveryState_data()
    {
        QTest::addColumn<QString>("state");
        for (const QString &state : { u"no show"_qs, u"running"_qs, u"paused"_qs,
                                      u"viewer hidden"_qs, u"movie"_qs, u"modal dialog"_qs })
            QTest::newRow(qPrintable(state)) << state;
    }
    void everyMethodInEveryState()
    {
        QFETCH(QString, state);
        open();
        if (state == u"movie") {
            m_show->playList.appendToPlayList(
                QStringLiteral(LUNETTA_SOURCE_DIR "/tests/data/media/long.mp4"));
            m_show->startSlideshow();
            QCOMPARE(m_show->mediaKind, MediaKind::MediaPlayer);
            // Its length once the player has opened the clip.
            QTRY_VERIFY_WITH_TIMEOUT(properties(u"org.mpris.MediaPlayer2.Player"_qs)
                                         .contains(u"\"mpris:length\" variant int64 "_qs),
                                     20000);
        } else if (state != u"no show") {
            startFromFolder();
        }
        if (state == u"paused")
            m_window->menus().action(u"mnuOparation_Pause"_qs)->trigger();
        if (state == u"viewer hidden")
            m_window->menus().action(u"mnuOparation_Hide"_qs)->trigger();
        const bool held = state == u"modal dialog";
        QDialog dialog(m_window.get());
        dialog.setModal(true);
        dialog.setVisible(held);
        const int flags = m_show->stateFlags;
        const int current = m_show->currentIndex;

        for (const QString &method : { u"PlayPause"_qs, u"Play"_qs, u"Next"_qs, u"Previous"_qs,
                                       u"Pause"_qs, u"Stop"_qs, u"Play"_qs }) {
            QCOMPARE(dbusSend(u"org.mpris.MediaPlayer2.Player."_qs + method).exitCode, 0);
            const QString status = properties(u"org.mpris.MediaPlayer2.Player"_qs);
            QVERIFY2(status.contains(u"\"PlaybackStatus\" variant string \""_qs + engineStatus()),
                     qPrintable(method + u": "_qs + status));
        }
        if (held)
            QVERIFY(m_show->stateFlags == flags && m_show->currentIndex == current);
        // The reading after each is answered once the command has run.
        QCOMPARE(dbusSend(u"org.mpris.MediaPlayer2.Raise"_qs).exitCode, 0);
        QVERIFY(!properties(u"org.mpris.MediaPlayer2"_qs).isEmpty());
        QVERIFY(m_window->isVisible());
        QCOMPARE(dbusSend(u"org.mpris.MediaPlayer2.Quit"_qs).exitCode, 0);
        QVERIFY(!properties(u"org.mpris.MediaPlayer2"_qs).isEmpty());
        QCOMPARE(m_ctx->closing, !held);
    }
};

QTEST_MAIN(TestRemoteControl)
#include "tst_remotecontrol.moc"
