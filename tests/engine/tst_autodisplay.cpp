#include "ShowFixture.h"

#include <QTest>

#include <memory>
#include <utility>

using Tray = ControllerPort::TrayImage;

class TestAutoDisplay : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShowFixture> f;

private slots:
    void init() { f = std::make_unique<ShowFixture>(); }

    void startShowsTheFirstFileThenTheViewerAndTheMusic()
    {
        f->fill({ u"a.jpg"_qs, u"b.jpg"_qs });
        f->controller.trayShown = true;
        f->options.setCheck(Opt::chkBGM_Enable, 1);
        f->options.setText(Opt::txtBGM, u"/music/list.m3u"_qs);
        f->options.setText(Opt::txtBGM_PlayCount, u"2"_qs);
        f->options.setText(Opt::txtBGM_StartingEntry, u"3"_qs);
        f->show.stateFlags = StateBit::Reverse | StateBit::Paused; // left over: start clears them
        f->show.nextIndex = 2;

        f->show.startSlideshow();

        QCOMPARE(f->show.stateFlags, StateBit::Running);
        QCOMPARE(f->onScreen(), u"b.jpg"_qs);
        QCOMPARE(f->viewer.calls.first(), u"moveContentToOrigin"_qs);
        QVERIFY(f->viewer.calls.indexOf(u"measureViewer"_qs)
                < f->viewer.calls.indexOf(u"LoadPic"_qs));
        QCOMPARE(f->viewer.calls.last(), u"showViewerWindow"_qs);
        QVERIFY(f->viewer.tickRunning);
        QVERIFY(f->show.intervalClockRunning);
        QCOMPARE(f->movie.speed, 1.0);
        QVERIFY(f->controller.runningDisplay);
        QCOMPARE(f->controller.trayImage, Tray::Pause);
        QCOMPARE(f->controller.topmostApplied, 1);
        QCOMPARE(f->music.calls, QStringList { u"start 2 /music/list.m3u 3"_qs });

        // No music without the option or without a source.
        for (const auto &[enable, source] :
             { std::pair { 0, u"/music/list.m3u"_qs }, std::pair { 1, QString() } }) {
            f->show.stopSlideshow();
            f->music.calls.clear();
            f->options.setCheck(Opt::chkBGM_Enable, enable);
            f->options.setText(Opt::txtBGM, source);
            f->show.nextIndex = 1;
            f->show.startSlideshow();
            QVERIFY(f->show.isRunning());
            QVERIFY(f->music.calls.isEmpty());
        }
    }

    void aStartThatFindsNothingLeavesTheViewerHiddenAndTheMusicOff()
    {
        f->fill({ u"a.jpg"_qs, u"b.jpg"_qs });
        f->viewer.unreadable = { u"a.jpg"_qs, u"b.jpg"_qs };
        f->options.setCheck(Opt::chkMp_PlayMovie, 0);
        f->options.setCheck(Opt::chkBGM_Enable, 1);
        f->options.setText(Opt::txtBGM, u"/music/a.mp3"_qs);
        f->show.startSlideshow();
        QCOMPARE(f->show.stateFlags, 0);
        QVERIFY(!f->viewer.calls.contains(u"showViewerWindow"_qs));
        QVERIFY(!f->music.calls.join(u' ').contains(u"start"_qs));
        QCOMPARE(f->messages.texts(), QStringList { Slideshow::noDisplayableFileMessage });
        QVERIFY(!f->controller.runningDisplay);

        // A start position past the end without the loop option stops the show quietly, with
        // the list left as it was.
        f->fill({ u"c.jpg"_qs });
        f->show.nextIndex = 2;
        f->show.startSlideshow();
        QCOMPARE(f->show.stateFlags, 0);
        QVERIFY(!f->viewer.calls.contains(u"showViewerWindow"_qs));
        QVERIFY(!f->music.calls.join(u' ').contains(u"start"_qs));
        QCOMPARE(f->messages.messages.size(), 1);
    }

    void stopRestoresEveryDisplay_data()
    {
        QTest::addColumn<bool>("minimisedToTray");
        QTest::newRow("controller normal, tray icon shown") << false;
        QTest::newRow("controller minimised to the tray") << true;
    }
    void stopRestoresEveryDisplay()
    {
        QFETCH(bool, minimisedToTray);
        f->fill({ u"m.mp4"_qs, u"b.jpg"_qs });
        f->controller.trayShown = true;
        f->show.startSlideshow();
        QCOMPARE(f->show.mediaKind, MediaKind::MediaPlayer);
        f->show.toggleFastForward();
        f->show.toggleReverse();
        f->show.pauseSlideshow();
        f->show.hideViewer(true);
        QVERIFY(f->controller.pausedDisplay && f->controller.fastForwardChecked
                && f->controller.reverseChecked && f->controller.hideChecked);
        QCOMPARE(f->controller.trayImage, Tray::Play);
        f->controller.visible = !minimisedToTray;
        f->controller.minimised = minimisedToTray;
        f->show.pendingCommand = PendingCommand::Next;
        f->music.calls.clear();
        f->movie.calls.clear();

        f->show.stopSlideshow();

        QCOMPARE(f->show.stateFlags, 0);
        QCOMPARE(f->show.mediaKind, MediaKind::None);
        QCOMPARE(f->music.calls, (QStringList { u"remember"_qs, u"close"_qs }));
        QCOMPARE(f->movie.calls, QStringList { u"close"_qs });
        QCOMPARE(f->real.calls, QStringList { u"stop"_qs });
        QVERIFY(!f->controller.moviebar);
        QVERIFY(!f->viewer.tickRunning && !f->viewer.cursorWatch && !f->viewer.windowVisible);
        QCOMPARE(f->controller.pageJumpClosed, 1);
        QVERIFY(!f->controller.runningDisplay);
        QVERIFY(!f->controller.pausedDisplay && !f->controller.fastForwardChecked
                && !f->controller.reverseChecked && !f->controller.hideChecked);
        QCOMPARE(f->controller.restores, 1);
        QVERIFY(f->controller.visible);
        QCOMPARE(f->controller.trayShown, !minimisedToTray);
        if (!minimisedToTray) {
            QCOMPARE(f->controller.trayTip, u"Lunetta"_qs);
            QCOMPARE(f->controller.trayImage, Tray::Stop);
        }

        // A move deferred in the stopped show does not act on the next one.
        f->show.nextIndex = 1;
        f->show.startSlideshow();
        f->tickAt(f->clock.now);
        QCOMPARE(f->onScreen(), u"m.mp4"_qs);
    }

    // A show started from the command line runs before the controller window is built; the
    // window, once there, must show the state the show has reached, and the music that the
    // start could not begin begins then.
    void aControllerPluggedInDuringTheShowCatchesUp()
    {
        f->show.setController(nullptr);
        f->show.setMusicPlayer(nullptr);
        f->fill({ u"m.mp4"_qs, u"b.jpg"_qs });
        f->options.setCheck(Opt::chkBGM_Enable, 1);
        f->options.setText(Opt::txtBGM, u"/music/a.mp3"_qs);
        f->options.setText(Opt::txtBGM_PlayCount, u"2"_qs);
        f->options.setText(Opt::txtBGM_StartingEntry, u"3"_qs);
        f->show.startSlideshow();
        f->show.mpView_NewStream(12.5, true);
        f->show.toggleReverse();
        f->show.pauseSlideshow();

        f->show.setController(&f->controller);
        f->show.setMusicPlayer(&f->music);
        f->show.catchUpLateController();
        QVERIFY(f->controller.runningDisplay && f->controller.pausedDisplay
                && f->controller.reverseChecked);
        QVERIFY(!f->controller.fastForwardChecked && !f->controller.hideChecked);
        QVERIFY(f->controller.moviebar);
        QCOMPARE(f->controller.movieDuration, 12.5);
        QCOMPARE(f->controller.topmostApplied, 1);
        QCOMPARE(f->music.calls, (QStringList { u"start 2 /music/a.mp3 3"_qs, u"pause"_qs }));

        // A show that has ended by the time the window comes leaves it as it was built.
        f->show.stopSlideshow();
        f->controller = FakeController();
        f->music.calls.clear();
        f->show.catchUpLateController();
        QVERIFY(!f->controller.runningDisplay && !f->controller.moviebar);
        QVERIFY(f->music.calls.isEmpty());
    }

    void theIntervalRunsAcrossMidnight()
    {
        f->fillNumbered(3);
        f->clock.now = 86395; // 23:59:55
        f->show.startSlideshow();
        for (double t : { 86399.95, 0.0, 4.95 }) {
            f->tickAt(t);
            QCOMPARE(f->onScreen(), u"1.jpg"_qs);
        }
        f->tickAt(5.0);
        QCOMPARE(f->onScreen(), u"2.jpg"_qs);
        QCOMPARE(f->show.intervalStart, 5.0);
    }

    void pausingHoldsTheIntervalClock()
    {
        f->fill({ u"1.jpg"_qs, u"2.jpg"_qs, u"m.mp4"_qs });
        f->controller.trayShown = true;
        f->options.setCheck(Opt::chkBGM_AutoPause, 1);
        f->clock.now = 100;
        f->show.startSlideshow();

        f->tickAt(106);
        f->show.pauseSlideshow();
        QVERIFY(f->show.isPaused());
        QVERIFY(f->controller.pausedDisplay);
        QCOMPARE(f->controller.trayImage, Tray::Play);
        QCOMPARE(f->music.calls, QStringList { u"pause"_qs });
        f->show.pauseSlideshow(); // already paused: the pause time stays
        f->tickAt(130);
        QCOMPARE(f->onScreen(), u"1.jpg"_qs);

        f->tickAt(136);
        f->show.resumeSlideshow();
        QVERIFY(!f->show.isPaused());
        QVERIFY(!f->controller.pausedDisplay);
        QCOMPARE(f->controller.trayImage, Tray::Pause);
        QCOMPARE(f->music.calls, (QStringList { u"pause"_qs, u"resume"_qs }));
        f->tickAt(139.95);
        QCOMPARE(f->onScreen(), u"1.jpg"_qs); // four seconds were left
        f->tickAt(140);
        QCOMPARE(f->onScreen(), u"2.jpg"_qs);

        // The clip on screen pauses and plays with the show; the music only with its option.
        f->options.setCheck(Opt::chkBGM_AutoPause, 0);
        f->tickAt(150);
        QCOMPARE(f->onScreen(), u"m.mp4"_qs);
        f->movie.calls.clear();
        f->show.pauseSlideshow();
        f->show.resumeSlideshow();
        QCOMPARE(f->movie.calls, (QStringList { u"pause"_qs, u"play"_qs }));
        QCOMPARE(f->music.calls.size(), 2);
    }

    // While a dialog of the program is open the show waits, fast forward too; the interval goes
    // on where it stood when the dialog closes, and a pause made meanwhile is kept.
    void aDialogHoldsTheShow()
    {
        f->fill({ u"1.jpg"_qs, u"2.jpg"_qs, u"3.jpg"_qs });
        f->clock.now = 100;
        f->show.startSlideshow();
        f->tickAt(104);
        f->show.setDialogOpen(true);
        f->tickAt(130);
        f->show.toggleFastForward();
        f->tickAt(131);
        f->show.toggleFastForward();
        f->show.resumeSlideshow(); // not paused: changes nothing
        f->tickAt(132);
        QCOMPARE(f->onScreen(), u"1.jpg"_qs);
        f->show.setDialogOpen(false);
        f->tickAt(137.9);
        QCOMPARE(f->onScreen(), u"1.jpg"_qs); // six seconds were left
        f->tickAt(138);
        QCOMPARE(f->onScreen(), u"2.jpg"_qs);

        f->show.setDialogOpen(true);
        f->show.pauseSlideshow();
        f->show.setDialogOpen(false);
        f->tickAt(200);
        QVERIFY(f->show.isPaused());
        QCOMPARE(f->onScreen(), u"2.jpg"_qs);
        f->show.resumeSlideshow();
        f->tickAt(210);
        QCOMPARE(f->onScreen(), u"3.jpg"_qs);
    }

    void pauseAndResumeNeedAVisibleRunningShow()
    {
        f->fillNumbered(2);
        f->show.pauseSlideshow(); // stopped
        QVERIFY(!f->show.isPaused());

        f->show.startSlideshow();
        f->show.hideViewer(false);
        f->show.pauseSlideshow();
        QVERIFY(!f->show.isPaused());
        QVERIFY(!f->controller.pausedDisplay);

        f->show.unhideViewer();
        f->show.pauseSlideshow();
        f->show.hideViewer(false);
        f->show.resumeSlideshow();
        QVERIFY(f->show.isPaused());
        QVERIFY(f->controller.pausedDisplay);
    }

    void fastForwardShowsAFileOnEveryTick()
    {
        f->fillNumbered(5);
        f->show.toggleFastForward(); // stopped: nothing
        QVERIFY(!(f->show.stateFlags & StateBit::FastForward));

        f->clock.now = 10;
        f->show.startSlideshow();
        f->show.toggleFastForward();
        QVERIFY(f->controller.fastForwardChecked);
        for (const QString &name : { u"2.jpg"_qs, u"3.jpg"_qs, u"4.jpg"_qs }) {
            f->tickAt(10);
            QCOMPARE(f->onScreen(), name);
        }
        f->show.toggleFastForward();
        QVERIFY(!f->controller.fastForwardChecked);
        f->tickAt(10);
        QCOMPARE(f->onScreen(), u"4.jpg"_qs);
    }

    void reverseTurnsRoundAtTheFileShown()
    {
        f->fillNumbered(8);
        f->show.toggleReverse(); // also while stopped
        QVERIFY(f->controller.reverseChecked);
        f->show.toggleReverse();
        QCOMPARE(f->show.nextIndex, 1);

        f->show.nextIndex = 5;
        f->show.startSlideshow();
        f->show.toggleReverse();
        f->show.goNext();
        QCOMPARE(f->onScreen(), u"4.jpg"_qs);
        f->show.goNext();
        QCOMPARE(f->onScreen(), u"3.jpg"_qs);
        f->show.toggleReverse();
        QVERIFY(!f->controller.reverseChecked);
        f->show.goNext();
        QCOMPARE(f->onScreen(), u"4.jpg"_qs);
    }

    void clipsPlayToTheirEndOrAreReplaced_data()
    {
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("playAll");
        QTest::addColumn<int>("nextImmediately");
        QTest::addColumn<double>("endsAt"); // when the clip reports its end; 0: never
        QTest::addColumn<double>("replacedAt");
        QTest::newRow("60 s, play all") << 60.0 << 1 << 0 << 60.0 << 60.0;
        QTest::newRow("60 s, not all") << 60.0 << 0 << 0 << 60.0 << 10.0;
        QTest::newRow("3 s, next at once") << 3.0 << 1 << 1 << 3.0 << 3.0;
        QTest::newRow("3 s, waits for the interval") << 3.0 << 1 << 0 << 3.0 << 10.0;
        QTest::newRow("no length, play all") << 0.0 << 1 << 0 << 0.0 << 10.0;
    }
    void clipsPlayToTheirEndOrAreReplaced()
    {
        QFETCH(double, duration);
        QFETCH(int, playAll);
        QFETCH(int, nextImmediately);
        QFETCH(double, endsAt);
        QFETCH(double, replacedAt);
        f->options.setCheck(Opt::chkMp_PlayAll, playAll);
        f->options.setCheck(Opt::chkMp_NextImmediately, nextImmediately);
        f->fill({ u"clip.mp4"_qs, u"next.jpg"_qs });
        f->show.startSlideshow();
        f->show.movieDuration = duration; // reported by the player on opening

        double replaced = -1;
        for (int tick = 1; tick <= 100 * 20 && replaced < 0; ++tick) {
            const double t = tick * 0.05;
            if (endsAt > 0 && t >= endsAt)
                f->show.clipEnded = true;
            f->tickAt(t);
            if (f->onScreen() == u"next.jpg")
                replaced = t;
        }
        // The clip's end is seen one tick late, when the end arrives between two ticks.
        QVERIFY2(replaced >= replacedAt && replaced <= replacedAt + 0.11,
                 qPrintable(QString::number(replaced)));
    }

    void anAnimationIsWaitedForAsAClipIs_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("playAll");
        QTest::addColumn<double>("playedThroughAt"); // 0: at once
        QTest::addColumn<double>("replacedAt");
        QTest::newRow("long animation, play all") << u"anim.webp"_qs << 1 << 25.0 << 25.0;
        QTest::newRow("long animation, not all") << u"anim.webp"_qs << 0 << 25.0 << 10.0;
        QTest::newRow("short animation, play all") << u"anim.webp"_qs << 1 << 3.0 << 10.0;
        QTest::newRow("still picture, play all") << u"still.webp"_qs << 1 << 0.0 << 10.0;
    }
    void anAnimationIsWaitedForAsAClipIs()
    {
        QFETCH(QString, first);
        QFETCH(int, playAll);
        QFETCH(double, playedThroughAt);
        QFETCH(double, replacedAt);
        f->options.setCheck(Opt::chkMp_PlayAll, playAll);
        f->options.setCheck(Opt::chkMp_NextImmediately, 1); // for clips only
        f->viewer.animated = { u"anim.webp"_qs };
        f->viewer.playedThrough = playedThroughAt == 0;
        f->fill({ first, u"next.jpg"_qs });
        f->show.startSlideshow();
        double replaced = -1;
        for (int tick = 1; tick <= 100 * 20 && replaced < 0; ++tick) {
            const double t = tick * 0.05;
            if (t >= playedThroughAt)
                f->viewer.playedThrough = true;
            f->tickAt(t);
            if (f->onScreen() == u"next.jpg")
                replaced = t;
        }
        QVERIFY2(replaced >= replacedAt && replaced <= replacedAt + 0.11,
                 qPrintable(QString::number(replaced)));
    }

    void anAnimationPlaysOnlyWhileTheShowRunsOnItsOwn()
    {
        f->viewer.animated = { u"1.webp"_qs, u"2.webp"_qs };
        f->fill({ u"1.webp"_qs, u"2.webp"_qs, u"3.webp"_qs });
        bool &playing = f->viewer.animationPlaying;
        f->show.startSlideshow();
        QVERIFY(playing);
        f->show.pauseSlideshow();
        QVERIFY(!playing);
        f->show.goNext(); // shown while paused: held at its first frame
        QCOMPARE(f->onScreen(), u"2.webp"_qs);
        QVERIFY(!playing);
        f->show.hideViewer(false);
        f->show.unhideViewer(); // still paused
        QVERIFY(!playing);
        f->show.resumeSlideshow();
        QVERIFY(playing);
        f->show.hideViewer(false);
        QVERIFY(!playing);
        f->show.unhideViewer();
        QVERIFY(playing);
        f->show.toggleFastForward();
        QVERIFY(!playing);
        f->show.toggleFastForward();
        QVERIFY(playing);
        f->show.stopSlideshow();
        QVERIFY(!playing);
    }

    void theSliderFollowsTheMovie()
    {
        f->fill({ u"clip.mp4"_qs, u"b.jpg"_qs });
        f->options.setCheck(Opt::chkMp_PlayAll, 1);
        f->show.startSlideshow();
        f->show.movieDuration = 60;
        f->movie.position = 12.6;
        f->tickAt(1);
        f->show.sliderDragging = 1;
        f->movie.position = 20;
        f->tickAt(2);
        QCOMPARE(f->controller.sliderValues, QList<int> { 13 });

        f->show.sliderDragging = 0;
        f->show.movieDuration = 0; // no known length
        f->tickAt(3);
        QCOMPARE(f->controller.sliderValues.size(), 1);
    }

    void aDeferredMoveRunsOnTheNextTickInsteadOfTheIntervalRule_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("shown");
        QTest::newRow("first") << PendingCommand::First << u"1.jpg"_qs;
        QTest::newRow("last") << PendingCommand::Last << u"5.jpg"_qs;
        QTest::newRow("previous") << PendingCommand::Previous << u"2.jpg"_qs;
        QTest::newRow("next") << PendingCommand::Next << u"4.jpg"_qs;
        QTest::newRow("unknown") << 7 << u"3.jpg"_qs;
    }
    void aDeferredMoveRunsOnTheNextTickInsteadOfTheIntervalRule()
    {
        QFETCH(int, command);
        QFETCH(QString, shown);
        f->fillNumbered(5);
        f->options.setCheck(Opt::chkLoop, 1);
        f->show.nextIndex = 3;
        f->show.startSlideshow();
        f->show.toggleFastForward(); // the interval rule would show a file on every tick
        const qsizetype before = f->viewer.shown.size();

        f->show.pendingCommand = command;
        f->tickAt(0);
        QCOMPARE(f->onScreen(), shown);
        QCOMPARE(f->viewer.shown.size(), before + (command == 7 ? 0 : 1));
        QCOMPARE(f->show.pendingCommand, 0);

        f->tickAt(0);
        QCOMPARE(f->viewer.shown.size(), before + (command == 7 ? 1 : 2));
    }

    void anErrorInTheTickIsReportedAndStopsTheShow()
    {
        f->fill({ u"clip.mp4"_qs });
        f->show.startSlideshow();
        f->show.movieDuration = 30;
        f->movie.positionError = u"位置を取得できません。"_qs;
        f->tickAt(1);
        QCOMPARE(f->messages.messages.size(), 1);
        const MessageRequest &m = f->messages.messages.first();
        QCOMPARE(m.caption, u"Error-mpView"_qs);
        QCOMPARE(m.text, u"Error5\r\n位置を取得できません。"_qs);
        QCOMPARE(m.icon, MsgIcon::Error);
        QCOMPARE(f->show.stateFlags, 0);
        QVERIFY(!f->viewer.windowVisible);
    }
};

QTEST_GUILESS_MAIN(TestAutoDisplay)
#include "tst_autodisplay.moc"
