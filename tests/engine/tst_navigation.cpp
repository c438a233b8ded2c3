#include "ShowFixture.h"

#include <QTest>

#include <memory>

class TestNavigation : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShowFixture> f;

    void setLoop()
    {
        QFETCH(bool, loop);
        f->options.setCheck(Opt::chkLoop, loop ? 1 : 0);
    }
    static void loopRows()
    {
        QTest::addColumn<bool>("loop");
        QTest::newRow("loop") << true;
        QTest::newRow("no loop") << false;
    }
    // With the loop option the show goes on at `name`; without it, it has stopped quietly.
    void expectWrapOrStop(const QString &name)
    {
        QFETCH(bool, loop);
        if (loop) {
            QVERIFY(f->show.isRunning());
            QCOMPARE(f->onScreen(), name);
        } else {
            QCOMPARE(f->show.stateFlags, 0);
            QVERIFY(!f->viewer.windowVisible);
        }
        QVERIFY(f->messages.messages.isEmpty());
    }

private slots:
    void init() { f = std::make_unique<ShowFixture>(); }

    void goLastThenGoNext_data() { loopRows(); }
    void goLastThenGoNext()
    {
        setLoop();
        f->fillNumbered(4);
        f->show.nextIndex = 2;
        f->show.startSlideshow();
        f->show.goFirst();
        QCOMPARE(f->onScreen(), u"1.jpg"_qs);
        f->show.goLast();
        QCOMPARE(f->onScreen(), u"4.jpg"_qs);
        QCOMPARE(f->viewer.statusPage, u"4/4"_qs);
        QCOMPARE(f->show.nextIndex, 5);
        f->show.goNext();
        expectWrapOrStop(u"1.jpg"_qs);
    }

    void goPreviousRightAfterTheFirstFile_data() { loopRows(); }
    void goPreviousRightAfterTheFirstFile()
    {
        setLoop();
        f->fillNumbered(4);
        f->show.startSlideshow();
        f->show.goPrevious();
        expectWrapOrStop(u"4.jpg"_qs);
    }

    void goPreviousFollowsTheDirection()
    {
        f->fillNumbered(8);
        f->show.nextIndex = 5;
        f->show.startSlideshow();
        f->show.goPrevious();
        QCOMPARE(f->onScreen(), u"4.jpg"_qs);

        f->show.nextIndex = 6;
        f->show.goNext();
        f->show.toggleReverse();
        f->show.goNext();
        QCOMPARE(f->onScreen(), u"5.jpg"_qs); // in reverse order
        f->show.goPrevious();
        QCOMPARE(f->onScreen(), u"6.jpg"_qs);
    }

    void movesAndPauseDoNothingWhileHiddenOrStopped()
    {
        f->fillNumbered(5);
        f->show.goNext(); // stopped
        QVERIFY(f->viewer.shown.isEmpty());

        f->show.nextIndex = 3;
        f->show.startSlideshow();
        f->show.hideViewer(true);
        f->viewer.calls.clear();
        f->show.goFirst();
        f->show.goLast();
        f->show.goNext();
        f->show.goPrevious();
        f->show.pendingCommand = PendingCommand::First;
        f->tickAt(0);
        f->show.pauseSlideshow();
        QCOMPARE(f->viewer.calls, QStringList {});
        QCOMPARE(f->show.nextIndex, 4);
        QCOMPARE(f->show.pendingCommand, 0);
        QVERIFY(!f->show.isPaused());
        QVERIFY(!f->controller.pausedDisplay);
        QCOMPARE(f->onScreen(), u"3.jpg"_qs);
    }

    void movingWhilePausedKeepsTheClockHeld()
    {
        f->fillNumbered(5);
        f->clock.now = 100;
        f->show.startSlideshow();
        f->tickAt(104);
        f->show.pauseSlideshow();
        f->clock.now = 120;
        f->show.goNext();
        QCOMPARE(f->onScreen(), u"2.jpg"_qs);
        f->tickAt(500);
        QCOMPARE(f->onScreen(), u"2.jpg"_qs);

        // The file shown during the pause gets a whole interval from the resume.
        f->clock.now = 600;
        f->show.resumeSlideshow();
        f->tickAt(609.95);
        QCOMPARE(f->onScreen(), u"2.jpg"_qs);
        f->tickAt(610);
        QCOMPARE(f->onScreen(), u"3.jpg"_qs);
    }

    void droppingTheLastEntry_data() { loopRows(); }
    void droppingTheLastEntry()
    {
        setLoop();
        f->fillNumbered(3);
        f->show.nextIndex = 3;
        f->show.startSlideshow();
        f->show.dropCurrentFile();
        QCOMPARE(f->show.playList.count(), 2);
        expectWrapOrStop(u"1.jpg"_qs);
        if (f->show.isRunning())
            QCOMPARE(f->viewer.statusPage, u"1/2"_qs);
    }
};

QTEST_GUILESS_MAIN(TestNavigation)
#include "tst_navigation.moc"
