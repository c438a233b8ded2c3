#include "ShowFixture.h"

#include <QTest>

#include <memory>

using ClipState = ControllerPort::ClipPlayState;

// The engine's side of clips: the movie commands, the slider, and what the players report.
class TestMoviePlayback : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShowFixture> f;

    // Shows the one file given, as the show's first step.
    void showOnly(const QString &name)
    {
        f->fill({ name, u"next.jpg"_qs });
        if (name.endsWith(u".rm")) {
            f->viewer.unreadable.insert(name);
            f->real.result = RealPlayerPort::OpenResult::Shown;
        }
        f->show.startSlideshow();
        f->movie.rates.clear();
        f->movie.calls.clear();
        f->real.calls.clear();
    }

private slots:
    void init()
    {
        f = std::make_unique<ShowFixture>();
        f->controller.onSlider = [this](int value) {
            f->show.sldMovie_Change(value);
        };
    }

    void speedCommandsActOnMoviesOnly_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QList<double>>("rates");
        const QStringList forward { u"forward"_qs };
        QTest::newRow("movie forward") << u"clip.mp4"_qs << forward << QList<double> { 2.5 };
        QTest::newRow("movie reverse")
            << u"clip.mp4"_qs << QStringList { u"reverse"_qs } << QList<double> { -0.25 };
        QTest::newRow("play after forward")
            << u"clip.mp4"_qs << QStringList { u"forward"_qs, u"play"_qs }
            << QList<double> { 2.5, 1 };
        QTest::newRow("play at normal speed")
            << u"clip.mp4"_qs << QStringList { u"play"_qs } << QList<double> {};
        QTest::newRow("RealMedia clip")
            << u"clip.rm"_qs << QStringList { u"forward"_qs, u"reverse"_qs } << QList<double> {};
        QTest::newRow("picture") << u"a.jpg"_qs << QStringList { u"forward"_qs, u"reverse"_qs }
                                 << QList<double> {};
    }
    void speedCommandsActOnMoviesOnly()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, commands);
        QFETCH(QList<double>, rates);
        f->options.setText(Opt::txtMp_FastForward, u"2.5"_qs);
        f->options.setText(Opt::txtMp_FastReverse, u"0.25"_qs);
        showOnly(file);
        f->movie.speed = 1;
        for (const QString &c : commands) {
            if (c == u"forward")
                f->show.movieFastForward();
            else if (c == u"reverse")
                f->show.movieFastReverse();
            else
                f->show.moviePlay();
        }
        QCOMPARE(f->movie.rates, rates);
        QCOMPARE(f->real.calls.isEmpty(), true);
    }

    void theSliderSeeksOnlyWhenTheUserMovesIt()
    {
        showOnly(u"clip.mp4"_qs);
        f->show.mpView_NewStream(61.4, true);
        QCOMPARE(f->controller.movieDuration, 61.4);
        f->movie.position = 12.6;
        f->tickAt(0.05);
        QCOMPARE(f->controller.sliderValues.last(), 13);
        QVERIFY(f->movie.seeks.isEmpty()); // the tick's own move

        f->show.sldMovie_Change(30); // the user's
        QCOMPARE(f->movie.seeks, QList<double> { 30 });

        // Holding the slider pauses a playing movie until it is let go.
        f->movie.state = MoviePlayerPort::Playing;
        f->show.sldMovie_MouseDown();
        QCOMPARE(f->show.sliderDragging, 1);
        f->movie.position = 40;
        f->tickAt(0.1);
        QCOMPARE(f->controller.sliderValues.last(), 13); // the tick leaves a held slider alone
        f->show.sldMovie_MouseUp();
        QCOMPARE(f->movie.calls, (QStringList { u"pause"_qs, u"play"_qs }));
        QCOMPARE(f->show.sliderDragging, 0);

        f->movie.state = MoviePlayerPort::Paused;
        f->show.sldMovie_MouseDown();
        QCOMPARE(f->show.sliderDragging, 2);
        f->show.sldMovie_MouseUp();
        QCOMPARE(f->movie.calls.size(), 2); // not started by letting go
    }

    void aRealMediaClipIsSeekedInMillisecondsAndFollowedByItsReports()
    {
        showOnly(u"clip.rm"_qs);
        f->show.raView_OnClipOpened(7400);
        QVERIFY(f->show.realClipReady);
        QCOMPARE(f->show.movieDuration, 7.4);
        f->show.raView_OnPositionChange(3999);
        QCOMPARE(f->controller.sliderValues.last(), 3);
        QVERIFY(f->real.seeks.isEmpty());
        f->show.sldMovie_Change(5);
        QCOMPARE(f->real.seeks, QList<int> { 5000 });
        // The tick follows only the movie player; this clip reports its own position.
        const qsizetype moves = f->controller.sliderValues.size();
        f->tickAt(0.05);
        QCOMPARE(f->controller.sliderValues.size(), moves);
    }

    void theClipsEndAndErrorsAreNoted()
    {
        // A RealMedia clip closing while no clip of this step is on screen is no end.
        f->show.clipNotShown = true;
        f->show.raView_OnClipClosed();
        QVERIFY(!f->show.clipEnded);
        f->show.clipNotShown = false;
        f->show.raView_OnClipClosed();
        QVERIFY(f->show.clipEnded);

        f->show.clipEnded = false;
        f->show.mpView_EndOfStream();
        QVERIFY(f->show.clipEnded);

        f->show.raView_OnErrorMessage(u"ファイルが壊れています。"_qs);
        QVERIFY(f->show.mediaError);
        QCOMPARE(f->viewer.caption, u"ファイルが壊れています。"_qs);

        f->show.mpView_NewStream(12, false); // a length the player does not vouch for
        QCOMPARE(f->show.movieDuration, 0.0);

        f->show.mpView_PlayStateChange(MoviePlayerPort::Playing);
        f->show.mpView_PlayStateChange(MoviePlayerPort::Paused);
        f->show.raView_OnPlayStateChange(RealPlayerPort::Paused);
        f->show.raView_OnPlayStateChange(RealPlayerPort::Playing);
        f->show.raView_OnPlayStateChange(RealPlayerPort::Stopped);
        QCOMPARE(f->controller.clipStates,
                 (QList<ClipState> { ClipState::Playing, ClipState::Paused, ClipState::Paused,
                                     ClipState::Playing, ClipState::Stopped }));
    }

    void anErrorWhileAMovieOpensMakesItUndisplayable()
    {
        f->movie.onOpen = [this] {
            f->show.mpView_Error();
        };
        f->fill({ u"clip.mp4"_qs, u"b.jpg"_qs });
        f->show.startSlideshow();
        QCOMPARE(f->onScreen(), u"b.jpg"_qs);
        QCOMPARE(f->show.playList.count(), 1);
        QVERIFY(f->movie.calls.contains(u"close"_qs));
        QVERIFY(f->messages.messages.isEmpty());
        QVERIFY(!f->show.mediaError);
    }

    void aStopWhileAClipOpensKeepsTheFileInTheList()
    {
        f->movie.onOpen = [this] {
            f->show.stopSlideshow();
        };
        f->fill({ u"clip.mp4"_qs, u"b.jpg"_qs });
        f->show.startSlideshow();
        QCOMPARE(f->show.playList.count(), 2);
        QCOMPARE(f->show.stateFlags, 0);
        QCOMPARE(f->show.mediaKind, MediaKind::None);
        QVERIFY(!f->movie.visible);
        QVERIFY(!f->viewer.windowVisible);
        QVERIFY(f->messages.messages.isEmpty());
    }
};

QTEST_MAIN(TestMoviePlayback)
#include "tst_movieplayback.moc"
