#include "FakeEnginePorts.h"
#include "FakeServices.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "core/PlayList.h"
#include "engine/Slideshow.h"
#include "engine/SlideshowError.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

#include <cmath>
#include <memory>

class TestSlideshow : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<Options> m_options;
    std::unique_ptr<RecordingMessageService> m_messages;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<FakeRandom> m_random;
    std::unique_ptr<FakeEventPump> m_events;
    std::unique_ptr<FakeViewer> m_viewer;
    std::unique_ptr<FakeController> m_controller;
    std::unique_ptr<FakeMoviePlayer> m_movie;
    std::unique_ptr<FakeRealPlayer> m_real;
    std::unique_ptr<Slideshow> m_show;

    // Files named as given, in the list in that order, the show running from the first.
    void fill(const QStringList &names)
    {
        for (const QString &name : names)
            m_show->playList.appendToPlayList(m_box->file(name));
        m_show->nextIndex = 1;
        m_show->stateFlags = StateBit::Running;
    }
    QString fileName(int position) const
    {
        return m_show->playList.path(position).section(u'/', -1);
    }

private slots:
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        m_options = std::make_unique<Options>();
        m_messages = std::make_unique<RecordingMessageService>();
        m_clock = std::make_unique<FakeClock>();
        m_random = std::make_unique<FakeRandom>();
        m_events = std::make_unique<FakeEventPump>();
        m_viewer = std::make_unique<FakeViewer>();
        m_controller = std::make_unique<FakeController>();
        m_movie = std::make_unique<FakeMoviePlayer>();
        m_real = std::make_unique<FakeRealPlayer>();
        m_show
            = std::make_unique<Slideshow>(*m_options, *m_messages, *m_clock, *m_random, *m_events);
        m_show->setViewer(m_viewer.get());
        m_show->setController(m_controller.get());
        m_show->setMoviePlayer(m_movie.get());
        m_show->setRealPlayer(m_real.get());
    }

    void aPictureStepRunsInOrderAndFillsTheTexts()
    {
        fill({ u"a.jpg"_qs, u"b.jpg"_qs });
        m_viewer->picture = QSize(400, 300);
        m_clock->now = 3600.5;
        m_controller->moviebar = true;
        m_controller->trayShown = true;
        m_show->clipEnded = true;
        m_show->playAllPending = true;
        m_show->layoutDone = true;

        m_show->showNextFile();

        const QStringList expected { u"hideScrollBars"_qs,    u"stopTickTimer"_qs,
                                     u"clearPicture"_qs,      u"LoadPic"_qs,
                                     u"sizeViewerForFile"_qs, u"setViewerCaption"_qs,
                                     u"setStatusTexts"_qs,    u"showPicture"_qs,
                                     u"startTickTimer"_qs };
        QCOMPARE(m_viewer->calls, expected);
        QCOMPARE(m_show->mediaKind, MediaKind::Picture);
        QCOMPARE(m_show->currentIndex, 1);
        QCOMPARE(m_show->nextIndex, 2);
        QCOMPARE(m_show->aspectRatio, 0.75f);
        QVERIFY(!m_show->clipEnded && !m_show->playAllPending && m_show->clipNotShown);
        QVERIFY(!m_show->layoutDone); // cleared for the layout of this file
        QCOMPARE(m_viewer->caption, u"a.jpg"_qs);
        QCOMPARE(m_viewer->statusFileName, m_box->path(u"a.jpg"_qs));
        QCOMPARE(m_viewer->statusPage, u"1/2"_qs);
        QCOMPARE(m_show->intervalStart, 3600.5);
        QCOMPARE(m_controller->moviebarCalls, QList<bool> { false });
        QCOMPARE(m_controller->trayTip, u"Lunetta - a.jpg"_qs);
        QCOMPARE(m_controller->filesShown, 1);
        QVERIFY(m_messages->messages.isEmpty());

        // Without a title bar the caption keeps what it had.
        m_options->setCheck(Opt::chkShowTitlebar, 0);
        m_show->showNextFile();
        QCOMPARE(m_viewer->caption, u"a.jpg"_qs);
        QCOMPARE(m_viewer->statusPage, u"2/2"_qs);
        QCOMPARE(m_controller->filesShown, 2); // told also when the caption stays
        QCOMPARE(m_controller->moviebarCalls.size(), 1); // already disabled
    }

    void anUndisplayableFileIsDroppedAndThePagesFollow()
    {
        fill({ u"1.jpg"_qs, u"2.jpg"_qs, u"3.jpg"_qs, u"4.jpg"_qs, u"5.jpg"_qs });
        m_viewer->unreadable = { u"2.jpg"_qs };
        m_show->showNextFile();
        QCOMPARE(m_viewer->statusPage, u"1/5"_qs);

        m_show->showNextFile();
        QCOMPARE(m_show->playList.count(), 4);
        QCOMPARE(fileName(2), u"3.jpg"_qs);
        QCOMPARE(m_viewer->statusPage, u"2/4"_qs);
        QCOMPARE(m_viewer->caption, u"3.jpg"_qs);
        QCOMPARE(m_show->nextIndex, 3);
        QCOMPARE(m_events->calls, 1); // pending events ran between the two attempts
        QVERIFY(m_messages->messages.isEmpty());
        QVERIFY(m_show->isRunning());
    }

    void reverseFromTheFirstFile_data()
    {
        QTest::addColumn<bool>("loop");
        QTest::newRow("loop") << true;
        QTest::newRow("no loop") << false;
    }
    void reverseFromTheFirstFile()
    {
        QFETCH(bool, loop);
        m_options->setCheck(Opt::chkLoop, loop ? 1 : 0);
        fill({ u"1.jpg"_qs, u"2.jpg"_qs, u"3.jpg"_qs });
        m_show->stateFlags |= StateBit::Reverse;
        m_show->showNextFile();
        QCOMPARE(m_show->nextIndex, 0);
        m_viewer->calls.clear();

        m_show->showNextFile();
        if (loop) {
            QCOMPARE(m_viewer->statusPage, u"3/3"_qs);
            QCOMPARE(m_show->nextIndex, 2);
            QVERIFY(m_show->isRunning());
            QCOMPARE(m_events->calls, 1);
        } else {
            QCOMPARE(m_show->stateFlags, 0);
            QVERIFY(m_viewer->calls.contains(u"hideViewerWindow"_qs));
            QVERIFY(!m_viewer->calls.contains(u"LoadPic"_qs));
            QCOMPARE(m_viewer->statusPage, u"1/3"_qs);
        }
        QVERIFY(m_messages->messages.isEmpty());
    }

    void aListOfOnlyBadFilesEndsWithOneMessage()
    {
        fill({ u"a.jpg"_qs, u"b.jpg"_qs, u"c.jpg"_qs });
        m_viewer->unreadable = { u"a.jpg"_qs, u"b.jpg"_qs, u"c.jpg"_qs };
        m_viewer->windowVisible = true;
        m_show->showNextFile();
        QCOMPARE(m_messages->messages.size(), 1);
        QCOMPARE(m_messages->messages.first().text, u"表示可能なファイルがありません。"_qs);
        QCOMPARE(m_messages->messages.first().icon, MsgIcon::Warning);
        QCOMPARE(m_messages->messages.first().caption, u"Lunetta"_qs);
        QCOMPARE(m_show->stateFlags, 0);
        QVERIFY(m_show->playList.isEmpty());
        QVERIFY(!m_viewer->windowVisible);
        QVERIFY(!m_viewer->tickRunning);
        QCOMPARE(m_events->calls, 2);
    }

    // A resumed bookmark whose folder has gone: every file before the one that is left is
    // dropped, one at a time, without a nested call per file and without moving the rest of
    // the list at every drop.
    void longRunsOfVanishedFilesAreDropped_data()
    {
        QTest::addColumn<bool>("random");
        QTest::addColumn<int>("count");
        QTest::newRow("in order, the good file last") << false << 100'000;
        // With the loop option: a random show whose pick is dropped from the end wraps round.
        QTest::newRow("random, the good file in the middle") << true << 20'000;
    }
    void longRunsOfVanishedFilesAreDropped()
    {
        QFETCH(bool, random);
        QFETCH(int, count);
        const int good = random ? count / 2 : count;
        const QString ok = m_box->file(u"ok.jpg"_qs);
        for (int i = 1; i <= count; ++i) {
            m_show->playList.appendToPlayList(
                i == good ? ok : m_box->root() + u"gone%1"_qs.arg(i, 6, 10, QLatin1Char('0')));
        }
        m_show->stateFlags = StateBit::Running;
        m_show->nextIndex = 1;
        if (random) {
            m_options->setOption(Opt::optSortRandom, true);
            m_options->setCheck(Opt::chkLoop, 1);
            for (int i = 1; i <= count; ++i)
                m_random->values.append(std::fmod(i * 0.6180339887, 1.0));
        }
        m_show->showNextFile();

        QCOMPARE(m_viewer->shown.size(), 1);
        QCOMPARE(m_show->playList.path(m_show->currentIndex), ok);
        if (!random) {
            QCOMPARE(m_show->playList.count(), 1);
            QCOMPARE(m_events->calls, count - 1);
        }
        // What is left keeps its order.
        const auto &left = m_show->playList.items();
        QCOMPARE(int(left.size()), m_show->playList.count());
        for (size_t i = 1; i < left.size(); ++i) {
            const QString a = left[i - 1].m_strPath, b = left[i].m_strPath;
            QVERIFY(a == ok || b == ok || a < b);
        }
    }

    // Removals anywhere, read back by position between them, against a plain list.
    void playListRemovalsKeepPositions()
    {
        for (const int size : { 1, 2, 3, 64, 1000 }) {
            PlayList list;
            std::vector<QString> plain;
            for (int i = 0; i < size; ++i) {
                list.appendToPlayList(QString::number(i));
                plain.push_back(QString::number(i));
            }
            quint32 seed = 12345u + quint32(size);
            while (!plain.empty()) {
                seed = seed * 1103515245u + 12345u;
                const int at = int((seed >> 8) % plain.size()) + 1;
                list.remove(at);
                plain.erase(plain.begin() + (at - 1));
                QCOMPARE(list.count(), int(plain.size()));
                if (plain.size() > 1 && seed % 3 == 0) {
                    list.swapPaths(1, int(plain.size()));
                    std::swap(plain.front(), plain.back());
                }
                for (int p = 1; p <= list.count(); ++p)
                    QCOMPARE(list.path(p), plain[size_t(p - 1)]);
            }
            QVERIFY(list.isEmpty() && list.items().empty());
        }
    }

    void aStopWhileSkippingEndsTheStep()
    {
        fill({ u"a.jpg"_qs, u"b.jpg"_qs, u"c.jpg"_qs });
        m_viewer->unreadable = { u"a.jpg"_qs };
        m_events->onEvents = [this](int) {
            m_show->stopSlideshow();
        };
        m_show->showNextFile();
        QCOMPARE(m_viewer->loaded.size(), 1);
        QVERIFY(m_viewer->shown.isEmpty());
        QVERIFY(!m_viewer->tickRunning);
        QCOMPARE(m_show->stateFlags, 0);
    }

    void anEmptyListStopsEvenWithLoop()
    {
        m_options->setCheck(Opt::chkLoop, 1);
        m_show->stateFlags = StateBit::Running;
        m_show->nextIndex = 0;
        m_show->showNextFile();
        QCOMPARE(m_show->stateFlags, 0);
        QVERIFY(m_messages->messages.isEmpty());
    }

    void randomOrderNeverMovesNextIndex()
    {
        m_options->setOption(Opt::optSortRandom, true);
        fill({ u"1.jpg"_qs, u"2.jpg"_qs, u"3.jpg"_qs, u"4.jpg"_qs });
        m_random->values = { 0.0, 0.999, 0.5 };
        QList<int> shown;
        for (int i = 0; i < 3; ++i) {
            m_show->showNextFile();
            shown << m_show->currentIndex;
            QCOMPARE(m_show->nextIndex, 1);
        }
        QCOMPARE(shown, (QList<int> { 1, 4, 3 }));

        // With the list already shuffled (chkSortRandom) the order is the list's.
        m_options->setCheck(Opt::chkSortRandom, 1);
        m_show->showNextFile();
        QCOMPARE(m_show->currentIndex, 1);
        QCOMPARE(m_show->nextIndex, 2);
    }

    void aRuntimeErrorIsReportedAndStopsTheShow()
    {
        fill({ u"a.jpg"_qs });
        m_viewer->onSize = [] {
            throw SlideshowError(13, u"frmView"_qs, u"型が一致しません。"_qs);
        };
        m_show->showNextFile();
        QCOMPARE(m_messages->messages.size(), 1);
        const MessageRequest &m = m_messages->messages.first();
        QCOMPARE(m.caption, u"Error-frmView"_qs);
        QCOMPARE(m.text, u"Error13\r\n型が一致しません。"_qs);
        QCOMPARE(m.icon, MsgIcon::Error);
        QCOMPARE(m_show->stateFlags, 0);
        QVERIFY(!m_viewer->windowVisible);

        m_viewer->onSize = [] {
            throw std::bad_alloc();
        };
        m_show->stateFlags = StateBit::Running;
        m_show->nextIndex = 1;
        m_show->showNextFile();
        QVERIFY(m_messages->lastText().startsWith(u"Error7\r\n"_qs));
        QCOMPARE(m_messages->messages.last().caption, u"Error-Lunetta"_qs);
    }

    void gifIsShownOnlyThroughPlugins()
    {
        const QString gif = m_box->file(u"photo.GIF"_qs);
        QVERIFY(!m_show->loadMediaFile(gif));
        QVERIFY(m_viewer->loaded.isEmpty());
        QVERIFY(m_movie->opened.isEmpty());
        QVERIFY(m_real->opened.isEmpty());

        FakePluginBridge bridge;
        bridge.decodes = { u"photo.GIF"_qs };
        m_show->setPluginBridge(&bridge);
        QVERIFY(!m_show->loadMediaFile(gif)); // plug-ins switched off
        QVERIFY(bridge.asked.isEmpty());

        m_options->setCheck(Opt::chkUseSusiePlugin, 1);
        QVERIFY(m_show->loadMediaFile(gif));
        QCOMPARE(m_show->mediaKind, MediaKind::Picture);
        QVERIFY(m_viewer->calls.contains(u"adoptDecodedPicture"_qs));
        QVERIFY(m_viewer->loaded.isEmpty());
    }

    void pluginsComeBeforeTheBuiltInLoader()
    {
        FakePluginBridge bridge;
        m_show->setPluginBridge(&bridge);
        m_options->setCheck(Opt::chkUseSusiePlugin, 1);
        const QString jpg = m_box->file(u"a.jpg"_qs);
        QVERIFY(m_show->loadMediaFile(jpg)); // refused by the plug-ins, read by the loader
        QCOMPARE(bridge.asked, QStringList { jpg });
        QCOMPARE(m_viewer->loaded, QStringList { jpg });
    }

    void realMediaTestIsASubstringTest_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("toRealPlayer");
        QTest::newRow("rm") << u"clip.rm"_qs << true;
        QTest::newRow("upper RAM") << u"clip.RAM"_qs << true;
        QTest::newRow("a") << u"clip.a"_qs << true;
        QTest::newRow("mj") << u"clip.mj"_qs << true;
        QTest::newRow("m|r") << u"clip.m|r"_qs << true;
        QTest::newRow("mp4") << u"clip.mp4"_qs << false;
        QTest::newRow("ramx") << u"clip.ramx"_qs << false;
    }
    void realMediaTestIsASubstringTest()
    {
        QFETCH(QString, name);
        QFETCH(bool, toRealPlayer);
        const QString path = m_box->file(name);
        m_viewer->unreadable = { name };
        QVERIFY(!m_show->loadMediaFile(path));
        QCOMPARE(m_real->opened.size(), toRealPlayer ? 1 : 0);
        QCOMPARE(m_movie->opened, QStringList { path }); // nothing reported: the movie player next
        QCOMPARE(m_show->mediaKind, MediaKind::None);
    }

    void realClipResults()
    {
        const QString path = m_box->file(u"clip.rm"_qs);
        m_viewer->unreadable = { u"clip.rm"_qs };

        m_real->result = RealPlayerPort::OpenResult::NoPicture; // audio only
        QVERIFY(!m_show->loadMediaFile(path));
        QVERIFY(m_movie->opened.isEmpty());

        m_real->result = RealPlayerPort::OpenResult::Shown;
        m_options->setCheck(Opt::chkStretchImage, 1);
        QVERIFY(m_show->loadMediaFile(path));
        QCOMPARE(m_show->mediaKind, MediaKind::RealAudio);
        // Stretching without keeping the ratio lets the clip take any shape.
        QCOMPARE(m_real->keepAspect, (QList<bool> { true, false }));

        m_options->setCheck(Opt::chkMp_PlayRealAudio, 0);
        m_show->mediaKind = MediaKind::None;
        QVERIFY(!m_show->loadMediaFile(path));
        QCOMPARE(m_real->opened.size(), 2);
    }

    void moviesNeedThePlayerOption()
    {
        const QString path = m_box->file(u"movie.mp4"_qs);
        m_viewer->unreadable = { u"movie.mp4"_qs };
        m_movie->accept = true;
        m_options->setCheck(Opt::chkMp_PlayMovie, 0);
        m_options->setCheck(Opt::chkMp_PlayRealAudio, 0);
        QVERIFY(!m_show->loadMediaFile(path));
        QVERIFY(m_movie->opened.isEmpty());

        m_options->setCheck(Opt::chkMp_PlayMovie, 1);
        QVERIFY(m_show->loadMediaFile(path));
        QCOMPARE(m_show->mediaKind, MediaKind::MediaPlayer);
    }

    void aVanishedPathIsNotDisplayable()
    {
        FakePluginBridge bridge;
        m_show->setPluginBridge(&bridge);
        m_options->setCheck(Opt::chkUseSusiePlugin, 1);
        QVERIFY(!m_show->loadMediaFile(m_box->root() + u"gone.jpg"_qs));
        // Nor is a named pipe, which no loader may open (it would wait for a writer forever),
        // or a folder.
        const QString pipe = m_box->root() + u"pipe.jpg"_qs;
        ::mkfifo(QFile::encodeName(pipe).constData(), 0600);
        QVERIFY(!m_show->loadMediaFile(pipe));
        QVERIFY(!m_show->loadMediaFile(m_box->folder(u"dir.jpg"_qs)));
        QVERIFY(bridge.asked.isEmpty());
        QVERIFY(m_viewer->loaded.isEmpty());
        QVERIFY(m_movie->opened.isEmpty());
    }

    void aClipIsShownAndPlayedUnlessPausedOrHidden()
    {
        fill({ u"m1.mp4"_qs, u"m2.mp4"_qs });
        m_viewer->unreadable = { u"m1.mp4"_qs, u"m2.mp4"_qs };
        m_movie->accept = true;
        m_movie->size = QSize(640, 360);
        m_show->showNextFile();
        QCOMPARE(m_show->mediaKind, MediaKind::MediaPlayer);
        QVERIFY(m_movie->visible);
        QVERIFY(!m_show->clipNotShown);
        QCOMPARE(m_show->aspectRatio, 0.5625f);
        QCOMPARE(m_controller->moviebarCalls, QList<bool> { true });
        QCOMPARE(m_movie->calls, QStringList { u"play"_qs });
        QVERIFY(!m_viewer->calls.contains(u"showPicture"_qs));

        m_show->stateFlags |= StateBit::Paused;
        m_show->showNextFile();
        QCOMPARE(m_movie->calls, QStringList { u"play"_qs });
        QCOMPARE(m_controller->moviebarCalls.size(), 1); // stays enabled
    }

    void hidingSuspendsTheIntervalClock()
    {
        fill({ u"a.jpg"_qs });
        m_show->stateFlags = 0;
        m_show->hideViewer(true); // not running: nothing happens
        QVERIFY(!m_show->isHidden());

        m_show->stateFlags = StateBit::Running;
        m_clock->now = 100;
        m_show->showNextFile();
        m_show->intervalClockRunning = true;
        m_viewer->windowVisible = true;

        m_clock->now = 106;
        m_show->hideViewer(true);
        QVERIFY(m_show->isHidden());
        QVERIFY(m_controller->hideChecked);
        QVERIFY(!m_viewer->windowVisible);
        QVERIFY(m_viewer->cursorWatch);
        QVERIFY(!m_show->intervalClockRunning);

        m_clock->now = 136;
        m_show->unhideViewer();
        QVERIFY(!m_show->isHidden());
        QVERIFY(!m_controller->hideChecked);
        QVERIFY(m_viewer->windowVisible);
        QVERIFY(!m_viewer->cursorWatch);
        QVERIFY(m_show->intervalClockRunning);
        QCOMPARE(m_show->intervalStart, 130.0); // six seconds shown, four to go

        // Paused: hiding leaves the clock alone, which the pause has already stopped.
        m_show->stateFlags |= StateBit::Paused;
        m_show->intervalClockRunning = false;
        m_show->hideViewer(false);
        QVERIFY(!m_viewer->cursorWatch);
        m_clock->now = 200;
        m_show->unhideViewer();
        QVERIFY(!m_show->intervalClockRunning);
    }

    void droppingTheCurrentFile()
    {
        fill({ u"a.jpg"_qs, u"b.jpg"_qs });
        m_show->showNextFile();
        m_show->dropCurrentFile();
        QCOMPARE(m_show->playList.count(), 1);
        QCOMPARE(m_viewer->caption, u"b.jpg"_qs);
        QCOMPARE(m_viewer->statusPage, u"1/1"_qs);

        m_show->dropCurrentFile();
        QVERIFY(m_show->playList.isEmpty());
        QCOMPARE(m_show->stateFlags, 0);
        QCOMPARE(m_messages->texts(), QStringList { Slideshow::noDisplayableFileMessage });

        m_show->dropCurrentFile(); // stopped: nothing to do
        QCOMPARE(m_messages->messages.size(), 1);
    }

    void trayTipIsCutToItsField()
    {
        QCOMPARE(Slideshow::trayTipFor(u"a.jpg"_qs), u"Lunetta - a.jpg"_qs);
        const QString title = QString(30, QChar(0x5199)); // 写 × 30, three bytes each in UTF-8
        const QString tip = Slideshow::trayTipFor(title);
        QCOMPARE(tip.toUtf8().size(), 10 + 17 * 3);
        QVERIFY(title.startsWith(tip.mid(10)));
        // A four-byte character that would straddle the end is left out whole.
        const QString emoji = QString(50, u'x') + QString::fromUtf8("\xF0\x9F\x93\xB7") + u"y"_qs;
        QCOMPARE(Slideshow::trayTipFor(emoji), u"Lunetta - "_qs + QString(50, u'x'));
    }
};

QTEST_GUILESS_MAIN(TestSlideshow)
#include "tst_slideshow.moc"
