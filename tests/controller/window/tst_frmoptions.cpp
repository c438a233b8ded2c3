#include "FakeServices.h"
#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "controller/music/MusicPlayer.h"
#include "controller/music/MusicPlayerStrip.h"
#include "controller/window/ControllerCommands.h"
#include "controller/window/ControllerMenus.h"
#include "controller/window/ControllerStateDisplay.h"
#include "controller/window/frmOptions.h"
#include "core/AppContext.h"
#include "core/Startup.h"
#include "engine/Slideshow.h"
#include "viewer/movie/mpView.h"
#include "viewer/movie/raView.h"
#include "viewer/picture/PictureView.h"
#include "viewer/window/frmView.h"
#include "winsvc/TrayIcon.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMimeData>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>

// The controller window on the real viewer, with messages recorded and the clock in hand.
class TestFrmOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<AppContext> m_ctx;
    RecordingMessageService *m_messages = nullptr;
    std::unique_ptr<Slideshow> m_show;
    std::unique_ptr<frmOptions> m_window;
    std::unique_ptr<frmView> m_viewer;

    void open(const QByteArray &settings = QByteArray())
    {
        if (!settings.isEmpty())
            m_box->file(u"config/Lunetta.ini"_qs, settings);
        auto messages = std::make_unique<RecordingMessageService>();
        m_messages = messages.get();
        m_ctx = std::make_unique<AppContext>(m_box->path(u"config"_qs), std::move(messages),
                                             std::make_unique<RecordingFileDialogService>(),
                                             std::make_unique<FakeClock>());
        m_show = std::make_unique<Slideshow>(m_ctx->options, *m_ctx->messages, *m_ctx->clock,
                                             *m_ctx->random, *m_ctx->events);
        m_window = std::make_unique<frmOptions>(*m_ctx);
        m_viewer = std::make_unique<frmView>(m_ctx->options, *m_show);
        m_show->setViewer(m_viewer.get());
        m_window->attach(*m_show, *m_viewer);
        m_window->Form_Load();
    }
    QAction *action(const QString &name) const { return m_window->menus().action(name); }
    QAction *mainButton(const QString &key) const
    {
        return m_window->toolButton(m_window->mainToolBar(), key);
    }
    // A folder of three small pictures, shown from the second.
    QString startFromFolder()
    {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        for (const QString &name : { u"a.png"_qs, u"b.png"_qs, u"c.png"_qs })
            picture.save(m_box->path(u"pics/"_qs + name));
        const QString file = m_box->path(u"pics/b.png"_qs);
        Startup::dispatchArgument(file, *m_window->commands(), *m_messages);
        return file;
    }

private slots:
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        m_box->folder(u"pics"_qs);
    }
    void cleanup()
    {
        m_window.reset();
        m_viewer.reset();
        m_show.reset();
        m_ctx.reset();
    }

    void viewLevelsFromTheSettingsAndTheMenus()
    {
        open("[Main]\nShowMoviebar=False\nShowPlayer=False\nShowSetting=False\n");
        QCOMPARE(m_window->viewLevel(), 1);
        QVERIFY(!action(u"mnuView_Moviebar"_qs)->isChecked());
        action(u"mnuView_Moviebar"_qs)->trigger();
        QCOMPARE(m_window->viewLevel(), 2);
        action(u"mnuView_Option"_qs)->trigger();
        QCOMPARE(m_window->viewLevel(), 4);
        QVERIFY(mainButton(u"option"_qs)->isChecked());
        QVERIFY(action(u"mnuView_Player"_qs)->isChecked());
        // Unchecking the music player leaves the movie bar: level 2, not 1.
        action(u"mnuView_Player"_qs)->trigger();
        QCOMPARE(m_window->viewLevel(), 2);
        QVERIFY(!action(u"mnuView_Option"_qs)->isChecked());
        QVERIFY(!mainButton(u"option"_qs)->isChecked());
    }

    void fixedBottomKeepsTheBottomEdge()
    {
        open("[Main]\nTop=3000\nLeft=1500\nFixBottom=True\n");
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCOMPARE(m_window->viewLevel(), 4);
        const int bottom = m_window->y() + m_window->height();
        m_window->setViewLevel(1);
        QVERIFY(m_window->height() < 200);
        QCOMPARE(m_window->y() + m_window->height(), bottom);
        m_window->setViewLevel(3);
        QCOMPARE(m_window->y() + m_window->height(), bottom);
    }

    void anOffScreenPositionIsCorrectedOnOneAxis()
    {
        open("[Main]\nTop=150\nLeft=999999\n");
        QCOMPARE(m_window->pos(), QPoint(0, 10));
    }

    void runningStateIsShownAndStopRestoresIt()
    {
        open();
        QCOMPARE(action(u"mnuPopup_Stop"_qs)->text(), u"開始(&S)"_qs);
        const QString file = startFromFolder();
        QVERIFY(m_show->isRunning());
        QCOMPARE(m_show->playList.path(m_show->currentIndex), file);
        QCOMPARE(m_window->windowTitle(), m_box->path(u"pics/"_qs) + u" - Lunetta"_qs);
        QCOMPARE(action(u"mnuOparation_Stop"_qs)->text(), u"中止(&S)"_qs);
        QCOMPARE(action(u"mnuTasktray_Stop"_qs)->text(), u"中止"_qs);
        QVERIFY(mainButton(u"play"_qs)->isChecked());
        QVERIFY(!m_window->findChild<QComboBox *>(u"cmbSetting"_qs)->isEnabled());

        // "play" while running stays pressed and changes nothing.
        mainButton(u"play"_qs)->trigger();
        QVERIFY(mainButton(u"play"_qs)->isChecked());
        QVERIFY(m_show->isRunning());

        action(u"mnuOparation_Pause"_qs)->trigger();
        QVERIFY(m_show->isPaused());
        QVERIFY(action(u"mnuPopup_Pause"_qs)->isChecked());
        QVERIFY(mainButton(u"pause"_qs)->isChecked());
        action(u"mnuTasktray_Nonestop"_qs)->trigger();
        action(u"mnuPopup_Reverse"_qs)->trigger();
        QVERIFY(action(u"mnuOparation_Nonestop"_qs)->isChecked());
        QVERIFY(action(u"mnuOparation_Reverse"_qs)->isChecked());

        mainButton(u"stop"_qs)->trigger();
        QVERIFY(!m_show->isRunning());
        QCOMPARE(action(u"mnuOparation_Stop"_qs)->text(), u"開始(&S)"_qs);
        QCOMPARE(action(u"mnuPopup_Stop"_qs)->text(), u"開始"_qs);
        for (const QString &suffix : { u"Pause"_qs, u"Nonestop"_qs, u"Reverse"_qs, u"Hide"_qs }) {
            for (QAction *a : m_window->menus().triple(suffix))
                QVERIFY2(!a->isChecked(), qPrintable(a->objectName()));
        }
        QVERIFY(!mainButton(u"play"_qs)->isChecked());
        QVERIFY(!mainButton(u"pause"_qs)->isChecked());
        QVERIFY(m_window->findChild<QComboBox *>(u"cmbSetting"_qs)->isEnabled());
    }

    void profilesAndRemovalFollowTheRunningState()
    {
        open();
        startFromFolder();
        action(u"mnuFile_SettingSave"_qs)->trigger();
        QCOMPARE(m_messages->lastText(), u"自動表示中は設定の保存ができません。"_qs);
        action(u"mnuOparation_Stop"_qs)->trigger();
        QVERIFY(!m_show->isRunning());

        // A stopped show keeps its reverse bit but has no current file to remove.
        action(u"mnuOparation_Reverse"_qs)->trigger();
        const int count = m_show->playList.count();
        action(u"mnuFile_RemoveFromList"_qs)->trigger();
        QCOMPARE(m_show->playList.count(), count);
        QVERIFY(!m_show->isRunning());
        QVERIFY(!m_viewer->isVisible());
    }

    void startingMinimisesTheController()
    {
        open("[Options]\nchkMinWhenStart=1\n");
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        startFromFolder();
        QVERIFY(m_window->isMinimized());
        // Offscreen there is no tray at all: the controller stays an ordinary minimised
        // window rather than hiding behind an icon nobody can see.
        QVERIFY(!TrayIcon::isAvailable());
        QVERIFY(m_window->isVisible());
        QVERIFY(!m_window->isTrayIconShown());
    }

    void pauseWhileHiddenDoesNothing()
    {
        open();
        startFromFolder();
        action(u"mnuOparation_Hide"_qs)->trigger();
        QVERIFY(m_show->isHidden());
        QVERIFY(action(u"mnuTasktray_Hide"_qs)->isChecked());
        action(u"mnuOparation_Pause"_qs)->trigger();
        QVERIFY(!m_show->isPaused());
        QVERIFY(!action(u"mnuOparation_Pause"_qs)->isChecked());
    }

    void quitItemsFollowTheMovieBar()
    {
        open();
        m_window->stateDisplay()->MoviebarEnable(true);
        QVERIFY(!action(u"mnuFile_Exit"_qs)->isEnabled());
        QVERIFY(!action(u"mnuPopup_Quit"_qs)->isEnabled());
        QVERIFY(!action(u"mnuTasktray_Quit"_qs)->isEnabled());
        QVERIFY(m_window->menus().menu(u"mnuMovie"_qs)->menuAction()->isEnabled());
        m_window->stateDisplay()->MoviebarEnable(false);
        QVERIFY(action(u"mnuFile_Exit"_qs)->isEnabled());
        QVERIFY(!m_window->menus().menu(u"mnuPopup_Movie"_qs)->menuAction()->isEnabled());
        // The window is disabled while a list is built and enabled again after it, which
        // enables every menu that only had its item disabled.
        m_window->setEnabled(false);
        m_window->setEnabled(true);
        for (const QString &movie :
             { u"mnuMovie"_qs, u"mnuPopup_Movie"_qs, u"mnuTasktray_Movie"_qs })
            QVERIFY2(!m_window->menus().menu(movie)->menuAction()->isEnabled(), qPrintable(movie));
        QVERIFY(!m_window->movieToolBar()->actions().first()->isEnabled());
    }

    void theMovieBarDrivesTheClipOnScreen()
    {
        open();
        m_show->setMoviePlayer(m_viewer->mpView);
        m_show->setRealPlayer(m_viewer->raView);
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(m_box->path(u"pics/b.png"_qs));
        m_show->playList.appendToPlayList(
            QStringLiteral(LUNETTA_SOURCE_DIR "/tests/data/media/long.mp4"));
        m_show->playList.appendToPlayList(m_box->path(u"pics/b.png"_qs));
        m_show->nextIndex = 1;
        m_show->startSlideshow();
        QCOMPARE(m_show->mediaKind, MediaKind::MediaPlayer);

        QToolBar *bar = m_window->movieToolBar();
        auto button = [&](const QString &key) {
            return m_window->toolButton(bar, key);
        };
        QSlider *slider = m_window->movieSlider();
        QVERIFY(button(u"forward"_qs)->isEnabled());
        QVERIFY(slider->isEnabled());
        QCOMPARE(slider->maximum(), 6);
        QTRY_VERIFY(button(u"play"_qs)->isChecked());
        QVERIFY(!button(u"pause"_qs)->isChecked());

        mpView *player = m_viewer->mpView;
        action(u"mnuMovie_FastForward"_qs)->trigger();
        QCOMPARE(player->rate(), 2.0);
        button(u"play"_qs)->trigger(); // back to normal speed, still playing
        QCOMPARE(player->rate(), 1.0);
        QVERIFY(button(u"play"_qs)->isChecked());

        // The user's move seeks; the program's own does not.
        slider->setValue(4);
        QCOMPARE(slider->toolTip(), u"4/6秒"_qs);
        QTRY_VERIFY(player->currentPosition() >= 3.9);
        const double movedTo = player->currentPosition();
        m_show->SetMovieSlider(0);
        // Once the clip has played on from there, a seek would have shown.
        QTRY_VERIFY(player->currentPosition() > movedTo);
        QVERIFY(player->currentPosition() >= 3.9);

        button(u"pause"_qs)->trigger();
        QTRY_VERIFY(button(u"pause"_qs)->isChecked());
        QVERIFY(!button(u"play"_qs)->isChecked());
        QVERIFY(!action(u"mnuMovie_Pause"_qs)->isEnabled());
        QCOMPARE(player->playState(), int(MoviePlayerPort::Paused));

        m_show->stopSlideshow();
        QVERIFY(!button(u"play"_qs)->isEnabled());
        QVERIFY(!slider->isEnabled());
    }

    void musicPlaysWithTheShowAndKeepsItsEntryAcrossARestart()
    {
        open();
        const QString list = QStringLiteral(LUNETTA_SOURCE_DIR "/tests/data/music/three.m3u");
        Options &o = m_ctx->options;
        o.setText(Opt::txtBGM, list);
        o.setCheck(Opt::chkBGM_Enable, 1);
        o.setCheck(Opt::chkBGM_RememberLastEntry, 1);
        o.setCheck(Opt::chkBGM_AutoPause, 1);
        MusicPlayer *music = m_window->musicPlayer();
        startFromFolder();
        QVERIFY(m_show->isRunning());
        QCOMPARE(music->PlayState(), int(MusicPlayer::Playing));
        QCOMPARE(music->EntryCount(), 3);
        QCOMPARE(m_window->musicStrip()->titleText(), u"1/3  一曲目"_qs);

        // Every menu's forward reaches the player; the show's pause takes the music along.
        action(u"mnuTasktray_BGM_Forward"_qs)->trigger();
        QCOMPARE(music->GetCurrentEntry(), 2);
        action(u"mnuOparation_Pause"_qs)->trigger();
        QCOMPARE(music->PlayState(), int(MusicPlayer::Paused));
        action(u"mnuBGM_Stop"_qs)->trigger();
        action(u"mnuOparation_Pause"_qs)->trigger();
        QCOMPARE(music->PlayState(), int(MusicPlayer::Playing));
        action(u"mnuPopup_BGM_Forward"_qs)->trigger();
        QCOMPARE(music->GetCurrentEntry(), 3);
        QCOMPARE(m_window->musicStrip()->titleText(), u"3/3  三曲目"_qs);
        QTRY_VERIFY(music->positionMs() > 0);
        action(u"mnuBGM_Play"_qs)->trigger();
        QCOMPARE(music->PlayState(), int(MusicPlayer::Paused));

        // Quitting during entry 3 starts the next run's music there.
        m_window->close();
        QVERIFY(music->FileName().isEmpty() || music->FileName() == list);
        cleanup();
        open();
        QCOMPARE(m_ctx->options.text(Opt::txtBGM_StartingEntry), u"3"_qs);
        startFromFolder();
        QCOMPARE(m_window->musicPlayer()->GetCurrentEntry(), 3);
        mainButton(u"stop"_qs)->trigger();
        QVERIFY(m_window->musicPlayer()->FileName().isEmpty());
        QCOMPARE(m_window->musicPlayer()->PlayState(), int(MusicPlayer::Stopped));
    }

    // A drop on either window starts the first local item, replacing a show that runs; other
    // drops are refused.
    void dropsStartAsTheArgumentWould_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<QString>("shown");
        QTest::newRow("folder on the controller") << 0 << u"more"_qs << u"more/x.png"_qs;
        QTest::newRow("file on the picture") << 1 << u"more/y.png"_qs << u"more/y.png"_qs;
        QTest::newRow("folder on the viewer") << 2 << u"more"_qs << u"more/x.png"_qs;
        QTest::newRow("web address") << 1 << u"https://example.org/a.png"_qs << u"pics/b.png"_qs;
    }
    void dropsStartAsTheArgumentWould()
    {
        QFETCH(int, target);
        QFETCH(QString, dropped);
        QFETCH(QString, shown);
        open();
        startFromFolder();
        QImage picture(20, 20, QImage::Format_RGB32);
        picture.fill(Qt::red);
        m_box->folder(u"more"_qs);
        picture.save(m_box->path(u"more/x.png"_qs));
        picture.save(m_box->path(u"more/y.png"_qs));

        QMimeData data;
        data.setUrls(
            { dropped.contains(u':') ? QUrl(dropped) : QUrl::fromLocalFile(m_box->path(dropped)) });
        QWidget *widgets[] = { m_window.get(), m_viewer->picView, m_viewer.get() };
        // A drop is delivered only after its drag has entered.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widgets[target], &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widgets[target], &drop);
        QCOMPARE(drop.isAccepted(), !dropped.contains(u':'));
        QTRY_COMPARE(m_show->playList.path(m_show->currentIndex), m_box->path(shown));
        QVERIFY(m_show->isRunning());
    }

    void startingFromAnEmptyListSaysSo()
    {
        open();
        action(u"mnuOparation_Stop"_qs)->trigger();
        QVERIFY(!m_show->isRunning());
        QCOMPARE(m_messages->lastText(), u"画像ファイルがありません。"_qs);
        QVERIFY(!mainButton(u"play"_qs)->isChecked());
    }

    void aDisabledWindowIsNotClosed()
    {
        open();
        m_window->show();
        m_window->setEnabled(false); // as during a list build
        QVERIFY(!m_window->close());
        QVERIFY(!m_ctx->closing);
        m_window->setEnabled(true);
        QVERIFY(m_window->close());
        QVERIFY(m_ctx->closing);
    }

    void closingWithNoWindowShownEndsTheProgram()
    {
        // The controller in the tray: no window is visible when 終了 is chosen.
        open();
        QVERIFY(!m_window->isVisible());
        QTimer::singleShot(0, m_window.get(), [this] { m_window->close(); });
        QTimer stuck;
        stuck.setSingleShot(true);
        connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stuck.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        stuck.stop();
        QVERIFY(m_ctx->closing);
    }

    void closingStopsAShowWhoseViewerIsHidden()
    {
        // As while a step loops over files that do not open: no picture, no viewer on screen.
        open();
        startFromFolder();
        m_viewer->hide();
        QVERIFY(m_show->isRunning());
        m_window->close();
        QVERIFY(!m_show->isRunning());
    }

    void closingTellsWhenTheSettingsCannotBeWritten()
    {
        open();
        // A folder where the file should be: no write can replace it, whoever runs the test.
        QFile::remove(m_box->path(u"config/Lunetta.ini"_qs));
        QVERIFY(QDir().mkpath(m_box->path(u"config/Lunetta.ini"_qs)));
        m_window->close();
        QCOMPARE(m_messages->lastText(),
                 u"設定を保存できませんでした。\r\n\""_qs + m_box->path(u"config/Lunetta.ini"_qs)
                     + u"\"\r\nに書き込めるか確かめてください。"_qs);
        QVERIFY(m_ctx->closing);
    }

    void closingWritesTheLayoutAndTheLastFile()
    {
        open("[Main]\nTop=555\nLeft=60\n");
        const QString file = startFromFolder();
        m_window->showMinimized();
        m_window->close();
        SettingsStore reread(m_box->path(u"config"_qs));
        QCOMPARE(reread.GetSetting(u"Jump"_qs, u"LastFile"_qs), file);
        QCOMPARE(reread.GetSetting(u"Main"_qs, u"Top"_qs), u"555"_qs); // minimised: kept
        QCOMPARE(reread.GetSetting(u"Main"_qs, u"SettingName"_qs), u"（標準）"_qs);
        QCOMPARE(reread.GetSetting(u"Main"_qs, u"ShowSetting"_qs), u"True"_qs);
        QVERIFY(m_ctx->closing);
    }
};

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
