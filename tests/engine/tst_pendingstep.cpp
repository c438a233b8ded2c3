#include "ShowFixture.h"

#include <QTest>

// A display step whose picture plug-in answers later: the step waits without holding the event
// loop, and its answer completes it exactly as an answer at once would have; a step or a stop
// begun meanwhile takes its place.
class TestPendingStep : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShowFixture> m_f;
    std::unique_ptr<FakePluginBridge> m_bridge;

private slots:
    void init()
    {
        m_f = std::make_unique<ShowFixture>();
        m_bridge = std::make_unique<FakePluginBridge>();
        m_bridge->answerLater = true;
        m_f->show.setPluginBridge(m_bridge.get());
        m_f->options.setCheck(Opt::chkUseSusiePlugin, 1);
    }

    void theAnswerCompletesTheStep()
    {
        m_f->fill({ u"a.kmo"_qs, u"b.kmo"_qs });
        m_f->viewer.unreadable = { u"a.kmo"_qs, u"b.kmo"_qs };
        m_bridge->decodes = { u"a.kmo"_qs };
        m_f->show.stateFlags = StateBit::Running;
        m_f->show.showNextFile();

        // Waiting: the screen cleared, the file chosen, the tick stopped, nothing shown yet.
        QVERIFY(m_f->show.isStepPending());
        QCOMPARE(m_f->viewer.calls,
                 (QStringList { u"hideScrollBars"_qs, u"stopTickTimer"_qs, u"clearPicture"_qs }));
        QCOMPARE(m_f->show.currentIndex, 1);
        QCOMPARE(m_f->show.nextIndex, 2);
        QVERIFY(!m_f->viewer.tickRunning);
        QCOMPARE(m_f->controller.filesShown, 0);

        m_bridge->answer();
        QVERIFY(!m_f->show.isStepPending());
        QCOMPARE(m_f->viewer.calls.mid(3),
                 (QStringList { u"adoptDecodedPicture"_qs, u"sizeViewerForFile"_qs,
                                u"setViewerCaption"_qs, u"setStatusTexts"_qs, u"showPicture"_qs,
                                u"startTickTimer"_qs }));
        QCOMPARE(m_f->show.mediaKind, MediaKind::Picture);
        QCOMPARE(m_f->viewer.statusPage, u"1/2"_qs);
        QCOMPARE(m_f->controller.filesShown, 1);
        QVERIFY(m_f->viewer.loaded.isEmpty()); // the built-in loader was not asked
    }

    // A refusal goes on to the built-in loader; a file nothing reads is dropped and the steps go
    // on, waiting again for the plug-in on the next file.
    void aRefusalGoesOnToTheOtherLoaders()
    {
        m_f->fill({ u"a.png"_qs, u"b.kmo"_qs, u"c.png"_qs });
        m_f->viewer.unreadable = { u"b.kmo"_qs };
        m_f->movie.accept = false;
        m_f->show.stateFlags = StateBit::Running;
        m_f->show.showNextFile();
        m_bridge->answer();
        QCOMPARE(m_f->onScreen(), u"a.png"_qs);

        m_f->show.showNextFile();
        m_bridge->answer(); // b.kmo: refused, and unreadable
        QVERIFY(m_f->show.isStepPending()); // on c.png now
        QCOMPARE(m_f->show.playList.count(), 2);
        m_bridge->answer();
        QCOMPARE(m_f->onScreen(), u"c.png"_qs);
        QCOMPARE(m_f->viewer.statusPage, u"2/2"_qs);
        QCOMPARE(m_bridge->asked.size(), 3);
        QVERIFY(m_f->messages.messages.isEmpty());

        // The last file of a list failing so ends the show with the one message.
        m_f->fill({ u"x.kmo"_qs });
        m_f->show.playList.remove(1);
        m_f->show.playList.remove(1);
        m_f->viewer.unreadable.insert(u"x.kmo"_qs);
        m_f->movie.accept = false;
        m_f->show.showNextFile();
        m_bridge->answer();
        QCOMPARE(m_f->show.stateFlags, 0);
        QCOMPARE(m_f->messages.lastText(), Slideshow::noDisplayableFileMessage);
    }

    void aMoveOrAStopTakesTheWaitingStepsPlace()
    {
        m_f->fill({ u"a.kmo"_qs, u"b.kmo"_qs, u"c.kmo"_qs });
        m_bridge->decodes = { u"a.kmo"_qs, u"b.kmo"_qs, u"c.kmo"_qs };
        m_f->show.stateFlags = StateBit::Running;
        m_f->show.showNextFile();
        m_f->show.goNext(); // while a.kmo waits
        QCOMPARE(m_bridge->cancelled, 1);
        QCOMPARE(m_f->show.currentIndex, 2);
        m_bridge->answer(0); // a.kmo's answer comes late: ignored
        QVERIFY(m_f->show.isStepPending());
        QCOMPARE(m_f->controller.filesShown, 0);
        m_bridge->answer(1);
        QCOMPARE(m_f->onScreen(), u"b.kmo"_qs);
        QCOMPARE(m_f->viewer.calls.count(u"adoptDecodedPicture"_qs), 1);

        // Stopped while waiting: the file stays in the list and nothing of it is shown.
        m_f->show.showNextFile();
        m_f->show.stopSlideshow();
        QCOMPARE(m_bridge->cancelled, 2);
        QVERIFY(!m_f->show.isStepPending());
        m_bridge->answer();
        QCOMPARE(m_f->viewer.calls.count(u"adoptDecodedPicture"_qs), 1);
        QCOMPARE(m_f->show.mediaKind, MediaKind::None);
        QCOMPARE(m_f->show.playList.count(), 3);
        QCOMPARE(m_f->onScreen(), u"b.kmo"_qs);
    }

    // A bridge that goes while a step waits for it answers no more: the step goes on with the
    // other loaders at once.
    void aStepWaitingForABridgeThatGoesGoesOn()
    {
        m_f->fill({ u"a.png"_qs, u"b.png"_qs });
        m_f->show.stateFlags = StateBit::Running;
        m_f->show.showNextFile();
        QVERIFY(m_f->show.isStepPending());
        m_f->show.setPluginBridge(nullptr);
        QCOMPARE(m_bridge->cancelled, 1);
        QVERIFY(!m_f->show.isStepPending());
        QCOMPARE(m_f->onScreen(), u"a.png"_qs);
        QCOMPARE(m_f->viewer.loaded.size(), 1);
    }

    // Starting never waits for a plug-in: the viewer and the music come with the first file.
    void theViewerComesUpWithTheFirstFile()
    {
        m_f->fill({ u"a.kmo"_qs, u"b.kmo"_qs });
        m_bridge->decodes = { u"b.kmo"_qs };
        m_f->viewer.unreadable = { u"a.kmo"_qs };
        m_f->movie.accept = false;
        m_f->options.setCheck(Opt::chkBGM_Enable, 1);
        m_f->options.setText(Opt::txtBGM, u"/music.m3u"_qs);
        m_f->show.startSlideshow();
        QVERIFY(m_f->show.isRunning());
        QVERIFY(m_f->show.isStepPending());
        QVERIFY(!m_f->viewer.windowVisible);
        QVERIFY(m_f->music.calls.isEmpty());

        // A controller built meanwhile (at start-up, after a quarter of a second) leaves the
        // music to the first file.
        m_f->show.catchUpLateController();
        QVERIFY(m_f->music.calls.isEmpty());
        m_bridge->answer(); // a.kmo: nobody reads it, so b.kmo is asked for
        QVERIFY(!m_f->viewer.windowVisible);
        m_bridge->answer();
        QCOMPARE(m_f->onScreen(), u"b.kmo"_qs);
        QVERIFY(m_f->viewer.windowVisible);
        QCOMPARE(m_f->music.calls.size(), 1);
        QVERIFY(m_f->music.calls.first().startsWith(u"start"_qs));

        // A start whose only file nobody reads ends with the message, the viewer never up.
        ShowFixture f;
        FakePluginBridge bridge;
        bridge.answerLater = true;
        f.show.setPluginBridge(&bridge);
        f.options.setCheck(Opt::chkUseSusiePlugin, 1);
        f.fill({ u"x.kmo"_qs });
        f.viewer.unreadable = { u"x.kmo"_qs };
        f.movie.accept = false;
        f.show.startSlideshow();
        bridge.answer();
        QCOMPARE(f.show.stateFlags, 0);
        QCOMPARE(f.messages.lastText(), Slideshow::noDisplayableFileMessage);
        QVERIFY(!f.viewer.calls.contains(u"showViewerWindow"_qs));
    }
};

QTEST_MAIN(TestPendingStep)
#include "tst_pendingstep.moc"
