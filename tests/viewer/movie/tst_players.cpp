#include "FakeServices.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Clock.h"
#include "core/EventPump.h"
#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/movie/MediaPlayer.h"
#include "viewer/movie/MediaSetup.h"
#include "viewer/movie/PlayerDialogs.h"
#include "viewer/movie/PlayerOptionsDialog.h"
#include "viewer/movie/mpView.h"
#include "viewer/movie/raView.h"
#include "viewer/window/frmView.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

// The two players over real clips (tests/data/media, made by make_clips.sh), and a show that
// plays them among pictures. Frames are counted where the players deliver them; no audio device
// is needed.
class TestPlayers : public QObject
{
    Q_OBJECT

    Sandbox m_box;
    std::unique_ptr<mpView> m_movie;

    static QString media(const QString &name)
    {
        return QStringLiteral(LUNETTA_SOURCE_DIR "/tests/data/media/") + name;
    }
    // A copy under a name of the test's choosing.
    QString copyAs(const QString &source, const QString &name)
    {
        const QString target = m_box.path(name);
        QFile::remove(target);
        QFile::copy(media(source), target);
        return target;
    }

private slots:
    void initTestCase() { m_movie = std::make_unique<mpView>(); }
    void cleanupTestCase() { m_movie.reset(); }

    void theMoviePlayerShowsOnlyClipsWithAPicture_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("shown");
        QTest::newRow("H.264 mp4") << media(u"clip.mp4"_qs) << true;
        QTest::newRow("MPEG-4 avi") << media(u"clip.avi"_qs) << true;
        QTest::newRow("blanks, quotes, Japanese")
            << copyAs(u"clip.mp4"_qs, u"休暇の 'ビデオ' \"1\" $(x).mp4"_qs) << true;
        QTest::newRow("random bytes") << media(u"random.mp4"_qs) << false;
        QTest::newRow("truncated") << media(u"truncated.mp4"_qs) << false;
        QTest::newRow("audio only") << media(u"audio.mp3"_qs) << false;
        QTest::newRow("codec missing") << media(u"nocodec.avi"_qs) << false;
        QTest::newRow("a clip after broken ones") << media(u"clip.mp4"_qs) << true;
    }
    void theMoviePlayerShowsOnlyClipsWithAPicture()
    {
        QFETCH(QString, path);
        QFETCH(bool, shown);
        // One player for every file, as in the viewer: a broken file must not spoil the next.
        mpView &player = *m_movie;
        QElapsedTimer took;
        took.start();
        QCOMPARE(player.openMovie(path), shown);
        QVERIFY2(took.elapsed() <= MediaSetup::openTimeoutMs + 100,
                 qPrintable(QString::number(took.elapsed())));
        if (shown) {
            QCOMPARE(player.sourceSize(), QSize(160, 120));
            QCOMPARE(player.size(), QSize(160, 120)); // automatic sizing
            QVERIFY(qAbs(player.Duration() - 2.0) < 0.1 && player.isDurationValid());
            QCOMPARE(player.playState(), int(MoviePlayerPort::Paused));
        } else {
            QVERIFY(player.FileName().isEmpty()); // closed again
        }
    }

    void theMoviePlayerReportsItsStreamStatesAndEnd()
    {
        mpView player;
        QSignalSpy stream(&player, &mpView::NewStream);
        QSignalSpy states(&player, &mpView::PlayStateChange);
        QSignalSpy ended(&player, &mpView::EndOfStream);
        int frames = 0;
        connect(player.player(), &MediaPlayer::videoFrameChanged, this, [&frames] { ++frames; });
        QVERIFY(player.openMovie(media(u"clip.mp4"_qs)));
        QVERIFY(stream.size() >= 1);
        player.setRate(2);
        player.playCurrentClip();
        QVERIFY(ended.wait(3000)); // two seconds at double speed
        QCOMPARE(states.first().at(1).toInt(), int(MoviePlayerPort::Paused));
        QVERIFY(frames > 5);
        QCOMPARE(player.rate(), 2.0);
        // What the options dialog tells, still right after playback ran.
        const PlaybackInfo info = player.playbackInfo();
        QCOMPARE(info.videoCodec, u"H264"_qs);
        QCOMPARE(info.audioCodec, u"AAC"_qs);
        QCOMPARE(info.size, QSize(160, 120));
    }

    // A negative rate rewinds: the position runs back at that speed, the show sees the clip
    // as playing, and playing again goes on forwards from there.
    void aNegativeRateRewinds()
    {
        mpView player;
        QSignalSpy states(&player, &mpView::PlayStateChange);
        QVERIFY(player.openMovie(media(u"long.mp4"_qs)));
        player.playCurrentClip();
        QTRY_VERIFY_WITH_TIMEOUT(player.currentPosition() > 2.5, 20000);
        states.clear();
        const double from = player.currentPosition();
        player.setRate(-2);
        QCOMPARE(player.rate(), -2.0);
        QTRY_VERIFY_WITH_TIMEOUT(player.currentPosition() < from - 1.5, 10000);
        QVERIFY(states.isEmpty());
        QCOMPARE(player.playState(), int(MoviePlayerPort::Playing));

        player.playCurrentClip();
        QCOMPARE(player.rate(), 1.0);
        const double back = player.currentPosition();
        QTRY_VERIFY_WITH_TIMEOUT(player.currentPosition() > back + 0.5, 10000);

        // Rewound to its start, the clip stays paused there.
        player.setRate(-4);
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MoviePlayerPort::Paused), 15000);
        QVERIFY(player.currentPosition() < 0.5);
        player.closeFile();
    }

    void theRealPlayerReportsWhatTheShowNeeds_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("result");
        QTest::newRow("RealVideo")
            << media(u"clip.rm"_qs) << int(RealPlayerPort::OpenResult::Shown);
        QTest::newRow("no picture")
            << media(u"audio.rm"_qs) << int(RealPlayerPort::OpenResult::NoPicture);
        QTest::newRow("random bytes") << copyAs(u"random.mp4"_qs, u"random.rm"_qs)
                                      << int(RealPlayerPort::OpenResult::NotReported);
    }
    void theRealPlayerReportsWhatTheShowNeeds()
    {
        QFETCH(QString, path);
        QFETCH(int, result);
        raView player;
        QWidget window;
        player.addGuardedWindow(&window);
        bool disabledWhileOpening = false;
        QSignalSpy opened(&player, &raView::OnClipOpened);
        connect(&player, &raView::OnPlayStateChange, this,
                [&] { disabledWhileOpening |= !window.isEnabled(); });
        QElapsedTimer took;
        took.start();
        QCOMPARE(int(player.openRealClip(path, true)), result);
        QVERIFY(took.elapsed() < raView::openWaitMs + 1500);
        QVERIFY(window.isEnabled());
        QVERIFY(disabledWhileOpening);
        if (result == int(RealPlayerPort::OpenResult::NotReported)) {
            QCOMPARE(opened.size(), 0);
        } else {
            QCOMPARE(opened.size(), 1);
            QVERIFY(qAbs(opened.first().at(0).toInt() - 2000) < 100);
        }
        if (result == int(RealPlayerPort::OpenResult::Shown)) {
            QCOMPARE(player.clipSize(), QSize(160, 120));
            QCOMPARE(player.playState(), int(RealPlayerPort::Playing));
            player.RealPlayerStop();
        }
        // Nothing goes on playing unseen.
        QCOMPARE(player.playState(), int(RealPlayerPort::Stopped));
    }

    void aRealClipThatFreezesAfterASeekDoesNotHoldTheShow()
    {
        raView player;
        QSignalSpy closed(&player, &raView::OnClipClosed);
        QCOMPARE(player.openRealClip(media(u"clip.rm"_qs), true),
                 RealPlayerPort::OpenResult::Shown);
        QTRY_VERIFY(player.position() >= 300);
        player.setPosition(500);
        // Either it is reopened and plays on to its end, or it is reported closed: the clip
        // ends within its length plus the time to notice the freeze twice.
        QVERIFY(closed.wait(2000 + 2 * raView::stallMs + 2000));
    }

    void theMouseOverAClipReachesTheViewer()
    {
        Options options;
        RecordingMessageService messages;
        FakeClock clock;
        FakeRandom random;
        FakeEventPump events;
        Slideshow show(options, messages, clock, random, events);
        frmView viewer(options, show);
        show.setMoviePlayer(viewer.mpView);
        show.setRealPlayer(viewer.raView);
        options.setCheck(Opt::chkHideWithMouse, 1);
        show.playList.appendToPlayList(media(u"clip.mp4"_qs));
        show.nextIndex = 1;
        show.startSlideshow();
        QCOMPARE(show.mediaKind, MediaKind::MediaPlayer);
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QSignalSpy moves(viewer.mpView, &VideoSurface::mouseMoved);
        QTest::mouseMove(viewer.mpView, QPoint(20, 20));
        QTRY_VERIFY(!moves.isEmpty()); // the player's own surface had the mouse
        QTRY_VERIFY(show.isHidden()); // moving the mouse over the viewer hides it
        show.stopSlideshow();
    }

    void theVolumeIsKeptAndGivenToBothPlayers()
    {
        Options options;
        RecordingMessageService messages;
        FakeClock clock;
        FakeRandom random;
        FakeEventPump events;
        Slideshow show(options, messages, clock, random, events);
        frmView viewer(options, show);
        // No player until one is used: starting the media backend would hold up the first
        // picture of every start.
        QVERIFY(viewer.findChildren<MediaPlayer *>().isEmpty());
        SettingsStore store(m_box.path(u"config"_qs));
        PlayerDialogs dialogs(viewer, store, messages, &viewer);
        dialogs.realPlayerOptions();
        PlayerOptionsDialog *dialog = dialogs.openDialog();
        QVERIFY(dialog);
        dialog->findChild<QSlider *>(u"volume"_qs)->setValue(35);
        dialog->findChild<QCheckBox *>(u"mute"_qs)->setChecked(true);
        using namespace SettingKeys;
        QCOMPARE(store.GetSetting(Section::Player, Player::Volume, QString()), u"35"_qs);
        QCOMPARE(store.GetSetting(Section::Player, Player::Mute, QString()), u"1"_qs);
        for (MediaPlayer *p : { viewer.mpView->player(), viewer.raView->player() }) {
            QCOMPARE(qRound(p->volume() * 100), 35);
            QVERIFY(p->isMuted());
        }

        // A later run starts with what was kept.
        frmView next(options, show);
        PlayerDialogs nextDialogs(next, store, messages, &next);
        nextDialogs.applyStoredVolume();
        QVERIFY(next.findChildren<MediaPlayer *>().isEmpty());
        QCOMPARE(qRound(next.mpView->player()->volume() * 100), 35);

        dialogs.mediaPlayerAbout();
        QVERIFY2(messages.lastText().contains(u"再生エンジン: GStreamer 1."_qs),
                 qPrintable(messages.lastText()));
    }

    void aShowPlaysPicturesAndClipsInTurn_data()
    {
        QTest::addColumn<bool>("playAll");
        QTest::addColumn<QString>("interval");
        // The interval passes while a clip plays; the clip still plays to its end.
        QTest::newRow("play all") << true << u"1"_qs;
        // The clip ends before the interval; the next file follows at once.
        QTest::newRow("next immediately") << false << u"3"_qs;
    }
    void aShowPlaysPicturesAndClipsInTurn()
    {
        QFETCH(bool, playAll);
        QFETCH(QString, interval);
        Options options;
        RecordingMessageService messages;
        SystemClock clock;
        FakeRandom random;
        QtEventPump events;
        Slideshow show(options, messages, clock, random, events);
        frmView viewer(options, show);
        show.setMoviePlayer(viewer.mpView);
        show.setRealPlayer(viewer.raView);
        options.setText(Opt::txtMinutes, interval);
        options.setCheck(Opt::chkMp_PlayAll, playAll ? 1 : 0);
        options.setCheck(Opt::chkMp_NextImmediately, playAll ? 0 : 1);

        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(m_box.path(u"a.png"_qs)));
        QVERIFY(picture.save(m_box.path(u"z.png"_qs)));
        const QStringList files { m_box.path(u"a.png"_qs), media(u"clip.mp4"_qs),
                                  media(u"clip.avi"_qs), media(u"clip.rm"_qs),
                                  m_box.path(u"z.png"_qs) };
        for (const QString &f : files)
            show.playList.appendToPlayList(f);
        show.nextIndex = 1;

        // What is on screen, when it came and how many frames each clip delivered.
        QStringList shown;
        QList<qint64> since;
        QMap<QString, int> frames;
        QElapsedTimer clockRun;
        clockRun.start();
        auto countFrame = [&] {
            if (!shown.isEmpty())
                ++frames[shown.last()];
        };
        connect(viewer.mpView->player(), &MediaPlayer::videoFrameChanged, this, countFrame);
        connect(viewer.raView->player(), &MediaPlayer::videoFrameChanged, this, countFrame);
        // When the show took up each place of the list; a clip shows its name only once open.
        QMap<int, qint64> began;
        auto watch = [&] {
            if (!began.contains(show.currentIndex))
                began.insert(show.currentIndex, clockRun.elapsed());
            const QString now = viewer.statusPanelText(u"FileName"_qs);
            if (!now.isEmpty() && (shown.isEmpty() || shown.last() != now)) {
                shown << now;
                since << clockRun.elapsed();
            }
        };
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, watch);
        poll.start(10);
        // When each clip's player said the clip was over.
        QMap<QString, qint64> ended;
        auto noteEnd = [&] {
            watch();
            ended.insert(shown.last(), clockRun.elapsed());
        };
        connect(viewer.mpView, &mpView::EndOfStream, this, noteEnd);
        connect(viewer.raView, &raView::OnClipClosed, this, noteEnd);

        show.startSlideshow();
        watch();
        QTRY_VERIFY_WITH_TIMEOUT(!show.isRunning(), 30000);
        since << clockRun.elapsed();

        QVERIFY2(shown == files, qPrintable(shown.join(u'|')));
        QVERIFY2(messages.messages.isEmpty(), qPrintable(messages.texts().join(u'|')));
        for (int i = 1; i <= 3; ++i) {
            // Every clip played to its end (two seconds), and was replaced within a moment of
            // it, not after a further interval. The moment is counted from the clip's end to
            // the show taking up the next file, so that a busy machine, which is slow to open
            // clips, does not stretch it.
            const qint64 onScreen = since[i + 1] - since[i];
            QVERIFY2(onScreen >= 1800, qPrintable(files[i] + u' ' + QString::number(onScreen)));
            QVERIFY2(ended.contains(files[i]) && began.contains(i + 2), qPrintable(files[i]));
            const qint64 replacedAfter = began.value(i + 2) - ended.value(files[i]);
            QVERIFY2(replacedAfter < 800,
                     qPrintable(files[i] + u' ' + QString::number(replacedAfter)));
            QVERIFY2(frames.value(files[i]) >= 10, qPrintable(files[i]));
        }
    }
};

QTEST_MAIN(TestPlayers)
#include "tst_players.moc"
