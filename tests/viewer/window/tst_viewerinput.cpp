#include "FakeServices.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "engine/Slideshow.h"
#include "viewer/picture/cImage.h"
#include "viewer/window/frmView.h"

#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include <memory>

// The viewer's keys, its mouse over the display area and its pop-up menu, driven through the
// handlers the display area and the players call.
class TestViewerInput : public QObject
{
    Q_OBJECT

    Sandbox m_box;
    QString m_large; // 3000 × 2000
    QString m_small; // 320 × 240
    std::unique_ptr<Options> m_options;
    std::unique_ptr<RecordingMessageService> m_messages;
    FakeClock m_clock;
    FakeRandom m_random;
    FakeEventPump m_events;
    std::unique_ptr<Slideshow> m_show;
    std::unique_ptr<frmView> m_view;
    QMenu *m_menu = nullptr;
    int m_moves = 0;

    void startWith(const QString &path)
    {
        m_show->playList.appendToPlayList(path);
        m_show->nextIndex = 1;
        m_show->stateFlags = StateBit::Running;
        m_view->measureViewer();
        m_show->showNextFile();
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    static QString makePicture(const QString &path, QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(path, "PNG");
        return path;
    }

private slots:
    void initTestCase()
    {
        m_large = makePicture(m_box.path(u"large.png"_qs), QSize(3000, 2000));
        m_small = makePicture(m_box.path(u"small.png"_qs), QSize(320, 240));
    }

    void init()
    {
        m_options = std::make_unique<Options>();
        m_messages = std::make_unique<RecordingMessageService>();
        m_show = std::make_unique<Slideshow>(*m_options, *m_messages, m_clock, m_random, m_events);
        m_view = std::make_unique<frmView>(*m_options, *m_show);
        m_moves = 0;
        m_view->setWindowMoveStarter([this] { ++m_moves; });
        m_menu = new QMenu(m_view.get());
    }

    void cleanup()
    {
        m_view.reset();
        m_show.reset();
    }

    void keysScrollOnlyTheVisibleBars()
    {
        startWith(m_large);
        QScrollBar *h = m_view->hsbView, *v = m_view->vsbView;
        QVERIFY(!h->isHidden() && !v->isHidden());
        const cImage &surface = *m_view->g_clsImage;

        QTest::keyClick(m_view.get(), Qt::Key_Down);
        QTest::keyClick(m_view.get(), Qt::Key_Right);
        QCOMPARE(v->value(), 1);
        QCOMPARE(h->value(), 1);
        QCOMPARE(surface.top(), -1);
        QTest::keyClick(m_view.get(), Qt::Key_Up);
        QTest::keyClick(m_view.get(), Qt::Key_Up);
        QTest::keyClick(m_view.get(), Qt::Key_Left);
        QCOMPARE(v->value(), 0); // held at the minimum
        QCOMPARE(h->value(), 0);

        // Paging moves by the display area's height and stops at the maximum.
        QTest::keyClick(m_view.get(), Qt::Key_PageDown);
        QCOMPARE(v->value(), std::min(v->maximum(), v->pageStep()));
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(m_view.get(), Qt::Key_PageDown);
        QCOMPARE(v->value(), v->maximum());
        QCOMPARE(surface.top(), -v->maximum());
        QTest::keyClick(m_view.get(), Qt::Key_PageUp);
        QCOMPARE(v->value(), v->maximum() - v->pageStep());
        // No paging sideways.
        QTest::keyClick(m_view.get(), Qt::Key_Home);
        QCOMPARE(h->value(), 0);
    }

    void keysDoNothingWhileThePictureFits()
    {
        startWith(m_small);
        QVERIFY(m_view->hsbView->isHidden() && m_view->vsbView->isHidden());
        for (Qt::Key key : { Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown })
            QTest::keyClick(m_view.get(), key);
        QCOMPARE(m_view->vsbView->value(), 0);
        QCOMPARE(m_view->hsbView->value(), 0);
        QCOMPARE(m_view->g_clsImage->top(), 0);
        QCOMPARE(m_view->g_clsImage->left(), 0);
    }

    // With the option on, the keys of other viewers run the pop-up menu's commands; the arrows
    // and PageDown still scroll while there is something to scroll. Off, nothing steps.
    void stepKeysRunThePopupCommands_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("large");
        QTest::addColumn<QStringList>("expected");
        const QStringList all { u"next"_qs,     u"next"_qs,  u"next"_qs, u"previous"_qs,
                                u"previous"_qs, u"first"_qs, u"last"_qs, u"hide"_qs };
        QTest::newRow("picture that fits") << true << false << all;
        QTest::newRow("scroll bars shown")
            << true << true << QStringList { u"next"_qs, u"previous"_qs, u"first"_qs,
                                             u"last"_qs, u"hide"_qs,     u"next"_qs };
        QTest::newRow("option off") << false << false << QStringList();
    }
    void stepKeysRunThePopupCommands()
    {
        QFETCH(bool, on);
        QFETCH(bool, large);
        QFETCH(QStringList, expected);
        QStringList ran;
        for (const auto &[name, command] : { std::pair(u"mnuPopup_NextFile"_qs, u"next"_qs),
                                             std::pair(u"mnuPopup_PreviousFile"_qs, u"previous"_qs),
                                             std::pair(u"mnuPopup_FirstFile"_qs, u"first"_qs),
                                             std::pair(u"mnuPopup_lastFile"_qs, u"last"_qs),
                                             std::pair(u"mnuPopup_Hide"_qs, u"hide"_qs) }) {
            QAction *a = m_menu->addAction(command);
            a->setObjectName(name);
            connect(a, &QAction::triggered, this, [&ran, command] { ran << command; });
        }
        m_view->setPopupMenu(m_menu, nullptr, nullptr);
        m_options->setCheck(Opt::chkViewerKeys, on ? 1 : 0);
        startWith(large ? m_large : m_small);
        for (Qt::Key key : { Qt::Key_Space, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Backspace,
                             Qt::Key_Left, Qt::Key_Home, Qt::Key_End, Qt::Key_Escape })
            QTest::keyClick(m_view.get(), key);
        if (large) {
            // The arrows scrolled; PageDown paged down, and at the bottom it turns the page.
            QCOMPARE(m_view->hsbView->value(), 0);
            QVERIFY(m_view->vsbView->value() > 0);
            QScrollBar *v = m_view->vsbView;
            for (int i = 0; i < 50 && v->value() < v->maximum(); ++i)
                QTest::keyClick(m_view.get(), Qt::Key_PageDown);
            QCOMPARE(ran.size(), expected.size() - 1);
            QTest::keyClick(m_view.get(), Qt::Key_PageDown);
        }
        QCOMPARE(ran, expected);
    }

    void anUntitledWindowMovesOnlyAfterTheDelay()
    {
        m_options->setOption(Opt::chkShowTitlebar, false);
        startWith(m_small);
        m_clock.now = 100;
        m_view->viewerMouseDown(1, 0, 10, 10);
        m_clock.now = 100.05;
        m_view->viewerMouseMove(1, 0, 12, 10);
        QCOMPARE(m_moves, 0);
        QVERIFY(m_view->isDragArmed());
        m_clock.now = 100.2;
        m_view->viewerMouseMove(1, 0, 14, 10);
        QCOMPARE(m_moves, 1);
        m_view->viewerMouseMove(1, 0, 16, 10); // once per press
        QCOMPARE(m_moves, 1);

        // Armed just before midnight, moved after it.
        m_clock.now = 86399.99;
        m_view->viewerMouseDown(1, 0, 10, 10);
        m_clock.now = 0.2;
        m_view->viewerMouseMove(1, 0, 14, 10);
        QCOMPARE(m_moves, 2);

        // The right button and a titled window never drag.
        m_view->viewerMouseDown(2, 0, 10, 10);
        m_clock.now = 5;
        m_view->viewerMouseMove(2, 0, 14, 10);
        m_options->setOption(Opt::chkShowTitlebar, true);
        m_view->viewerMouseDown(1, 0, 10, 10);
        m_clock.now = 6;
        m_view->viewerMouseMove(1, 0, 14, 10);
        QCOMPARE(m_moves, 2);
    }

    void theMouseHidesTheViewer()
    {
        startWith(m_small);
        m_options->setOption(Opt::chkHideWithMouse, true);
        m_view->viewerDragOver(1); // a drag leaving
        QVERIFY(!m_show->isHidden());
        m_view->viewerMouseMove(0, 0, 5, 5);
        QVERIFY(m_show->isHidden());
        QVERIFY(m_view->isHidden());

        m_show->unhideViewer();
        QVERIFY(!m_show->isHidden());
        m_view->viewerDragOver(2);
        QVERIFY(m_show->isHidden());

        // Without the option, only a left click hides.
        m_show->unhideViewer();
        m_options->setOption(Opt::chkHideWithMouse, false);
        m_view->viewerMouseMove(0, 0, 5, 5);
        m_view->viewerDragOver(0);
        QVERIFY(!m_show->isHidden());
        m_view->viewerMouseUp(1, 0, 5, 5);
        QVERIFY(m_show->isHidden());
    }

    // The menu opens from the event loop with the interval clock held; what happens to the
    // clock afterwards depends on the state the chosen command leaves.
    void thePopupHoldsTheIntervalClock_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("resumed");
        QTest::newRow("running") << int(StateBit::Running) << QString() << true;
        QTest::newRow("paused") << int(StateBit::Running | StateBit::Paused) << QString() << false;
        QTest::newRow("hide chosen") << int(StateBit::Running) << u"hide"_qs << false;
        QTest::newRow("stop chosen") << int(StateBit::Running) << u"stop"_qs << false;
        QTest::newRow("program closing") << int(StateBit::Running) << u"quit"_qs << false;
    }
    void thePopupHoldsTheIntervalClock()
    {
        QFETCH(int, flags);
        QFETCH(QString, command);
        QFETCH(bool, resumed);
        startWith(m_small);
        m_show->stateFlags = flags;
        m_show->intervalClockRunning = !(flags & StateBit::Paused);
        bool closing = false;
        QAction *hide = m_menu->addAction(u"隠す(&H)"_qs);
        m_view->setPopupMenu(m_menu, hide, [&closing] { return closing; });
        int opened = 0;
        bool clockDuringMenu = true;
        m_view->setPopupRunner([&](QMenu *menu, const QPoint &) {
            ++opened;
            QCOMPARE(menu->defaultAction(), hide);
            clockDuringMenu = m_show->intervalClockRunning;
            if (command == u"hide")
                m_show->hideViewer(true);
            else if (command == u"stop")
                m_show->stopSlideshow();
            else if (command == u"quit")
                closing = true;
        });

        m_view->viewerMouseUp(2, 0, 5, 5);
        QCOMPARE(opened, 0); // not inside the mouse event
        QTRY_COMPARE(opened, 1);
        QVERIFY(!clockDuringMenu);
        QCOMPARE(m_show->intervalClockRunning, resumed);
    }

    void theMenuKeyOpensThePopup()
    {
        startWith(m_small);
        m_view->setPopupMenu(m_menu, nullptr, [] { return false; });
        int opened = 0;
        m_view->setPopupRunner([&](QMenu *, const QPoint &) { ++opened; });
        QTest::keyClick(m_view.get(), Qt::Key_Menu);
        QTest::keyClick(m_view.get(), Qt::Key_F10, Qt::ShiftModifier);
        QTest::keyClick(m_view.get(), Qt::Key_F10);
        QCOMPARE(opened, 2);
    }
};

QTEST_MAIN(TestViewerInput)
#include "tst_viewerinput.moc"
