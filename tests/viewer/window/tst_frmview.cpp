#include "FakeServices.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/picture/PictureView.h"
#include "viewer/picture/cImage.h"
#include "viewer/window/frmView.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <memory>

// Counts the events of one type a widget receives.
class EventCounter : public QObject
{
public:
    EventCounter(QObject *watched, QEvent::Type type, int &count)
        : m_type(type)
        , m_count(count)
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++m_count;
        return false;
    }

private:
    QEvent::Type m_type;
    int &m_count;
};

class TestViewerWindow : public QObject
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

    QRect workArea() const { return m_view->screen()->availableGeometry(); }

    // The show running over the given files, the viewer measured as a start does.
    void startWith(const QStringList &paths)
    {
        for (const QString &p : paths)
            m_show->playList.appendToPlayList(p);
        m_show->nextIndex = 1;
        m_show->stateFlags = StateBit::Running;
        m_view->measureViewer();
        m_show->showNextFile();
    }
    void showViewer()
    {
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        // The frame is checked once more after showing.
        auto *frameCheck = m_view->findChild<QTimer *>(u"tmrFrameCheck"_qs);
        QVERIFY(frameCheck);
        QTRY_VERIFY(!frameCheck->isActive());
    }
    static QString makePicture(const QString &path, QSize size)
    {
        // Four coloured quadrants make position checks easy.
        QImage image(size, QImage::Format_RGB32);
        QPainter p(&image);
        const int w = size.width() / 2, h = size.height() / 2;
        p.fillRect(0, 0, w, h, Qt::red);
        p.fillRect(w, 0, size.width() - w, h, Qt::green);
        p.fillRect(0, h, w, size.height() - h, Qt::blue);
        p.fillRect(w, h, size.width() - w, size.height() - h, Qt::yellow);
        p.end();
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
        // Framed once, as after an earlier start, so that its frame is known.
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->hide();
        m_view->move(workArea().topLeft());
    }

    void cleanup()
    {
        m_view.reset();
        m_show.reset();
    }

    void aLargePictureIsLimitedByTheWorkArea()
    {
        startWith({ m_large, m_small });
        showViewer();

        const QRect frame = m_view->frameGeometry();
        QCOMPARE(frame, workArea()); // the window took all the room it had, and no more
        QVERIFY(!m_view->hsbView->isHidden());
        QVERIFY(!m_view->vsbView->isHidden());
        const auto &m = m_view->metrics();
        const int bar = m_view->vsbView->width();
        QCOMPARE(m_view->picView->size(),
                 QSize(m.viewAreaWidth - bar, m.viewAreaHeight - m_view->hsbView->height()));
        QCOMPARE(m_view->hsbView->maximum(), 3000 - m.viewAreaWidth + bar);
        QCOMPARE(m_view->vsbView->pageStep(), m.viewAreaHeight);
        QCOMPARE(m_view->statusPanelText(u"FileName"_qs), m_large);
        QCOMPARE(m_view->statusPanelText(u"Page"_qs), u"1/2"_qs);
        QCOMPARE(m_view->windowTitle(), u"large.png"_qs);
        QCOMPARE(m.viewAreaHeight, m_view->height() - m_view->stbView->height());

        // The picture starts at its top-left corner; the bars scroll it.
        cImage &surface = *m_view->g_clsImage;
        QCOMPARE(QRect(surface.left(), surface.top(), surface.width(), surface.height()),
                 QRect(0, 0, 3000, 2000));
        QCOMPARE(m_view->picView->shownImage().pixelColor(5, 5), QColor(Qt::red));
        m_view->hsbView->setValue(m_view->hsbView->maximum());
        m_view->vsbView->setValue(m_view->vsbView->maximum());
        QCOMPARE(surface.left(), -m_view->hsbView->maximum());
        QCOMPARE(surface.top(), -m_view->vsbView->maximum());
        QCOMPARE(m_view->picView->shownImage().pixelColor(m_view->picView->width() - 1,
                                                          m_view->picView->height() - 1),
                 QColor(Qt::yellow));

        // A smaller window keeps the bars in step with it.
        m_view->resize(500, 400);
        QVERIFY(m_show->layoutDone);
        QCOMPARE(m_view->hsbView->maximum(), 3000 - 500 + bar);
        QCOMPARE(m_view->picView->width(), 500 - bar);
    }

    // The bars of one large picture stay on screen for the next, rather than leaving it and
    // being painted anew at every step; the layout still drops them where they are not needed.
    void theScrollBarsStayOnScreenFromOneLargePictureToTheNext_data()
    {
        QTest::addColumn<QString>("next");
        QTest::addColumn<bool>("barsAfter");
        QTest::addColumn<int>("hides");
        QTest::newRow("another large picture") << u"large"_qs << true << 0;
        QTest::newRow("a small picture") << u"small"_qs << false << 1;
        QTest::newRow("no layout follows") << u""_qs << false << 1;
    }

    void theScrollBarsStayOnScreenFromOneLargePictureToTheNext()
    {
        QFETCH(QString, next);
        QFETCH(bool, barsAfter);
        QFETCH(int, hides);
        const QString nextPath = next == u"large" ? m_box.path(u"large-2.png"_qs) : m_small;
        if (next == u"large")
            QVERIFY(QFile::copy(m_large, nextPath));
        startWith({ m_large, nextPath });
        showViewer();
        QScrollBar *bar = m_view->hsbView;
        QVERIFY(!bar->isHidden());
        int hidden = 0;
        EventCounter counter(bar, QEvent::Hide, hidden);

        if (next.isEmpty())
            m_view->hideScrollBars(); // as a step does that waits for a plug-in
        else
            m_show->showNextFile();
        QCoreApplication::processEvents();
        QCOMPARE(!bar->isHidden(), barsAfter);
        QCOMPARE(hidden, hides);
    }

    void theFirstFramingSizesTheFileAgain()
    {
        // Never shown: the frame measures as nothing until the window is framed.
        m_view = std::make_unique<frmView>(*m_options, *m_show);
        m_view->move(workArea().topLeft() + QPoint(100, 100));
        startWith({ m_large });
        QCOMPARE(m_view->metrics().frameWidth, 0);
        showViewer();
        const QRect frame = m_view->frameGeometry();
        QVERIFY(frame.width() > m_view->width());
        QCOMPARE(m_view->metrics().frameWidth, frame.width() - m_view->width());
        QCOMPARE(m_view->metrics().frameHeight,
                 frame.height() - m_view->picView->height() - m_view->hsbView->height());
        QVERIFY(!m_view->hsbView->isHidden() && !m_view->vsbView->isHidden());
    }

    void aSmallPictureInAFixedWindowIsCentredOnTheBackground()
    {
        m_options->setCheck(Opt::chkFixFormSize, 1);
        m_options->setText(Opt::txtBackColor, u"204060"_qs);
        m_view->resize(600, 500);
        startWith({ m_small });
        showViewer();

        const QSize area = m_view->picView->size();
        QCOMPARE(area, QSize(600, 500 - m_view->stbView->height()));
        QVERIFY(m_view->hsbView->isHidden() && m_view->vsbView->isHidden());
        const cImage &surface = *m_view->g_clsImage;
        QCOMPARE(QPoint(surface.left(), surface.top()),
                 QPoint((area.width() - 320) / 2, (area.height() - 240) / 2));
        const QImage &canvas = m_view->picView->shownImage();
        QCOMPARE(canvas.pixelColor(0, 0), QColor(0x20, 0x40, 0x60));
        QCOMPARE(canvas.pixelColor(surface.left() + 5, surface.top() + 5), QColor(Qt::red));
        QCOMPARE(canvas.pixelColor(surface.left() + 315, surface.top() + 235), QColor(Qt::yellow));

        // A new colour redraws at once.
        m_options->setText(Opt::txtBackColor, u"00ff00"_qs);
        QCOMPARE(m_view->picView->shownImage().pixelColor(0, 0), QColor(0, 255, 0));
    }

    void theFirstFileOfAShowIsPlacedForTheNewSize()
    {
        // The viewer was large in the last show; the new show's first file is sized while the
        // viewer is still hidden.
        m_view->resize(1000, 800);
        startWith({ m_small });
        showViewer();
        const cImage &surface = *m_view->g_clsImage;
        QCOMPARE(m_view->picView->size(), QSize(320, 240));
        QCOMPARE(QPoint(surface.left(), surface.top()), QPoint(0, 0));
        QCOMPARE(m_view->picView->shownImage().pixelColor(5, 5), QColor(Qt::red));
    }

    void stretchingFitsThePictureWithoutBars()
    {
        m_options->setCheck(Opt::chkStretchImage, 1);
        startWith({ m_large });
        showViewer();
        QVERIFY(m_view->hsbView->isHidden() && m_view->vsbView->isHidden());
        const cImage &surface = *m_view->g_clsImage;
        QVERIFY(surface.Stretch());
        QVERIFY(workArea().contains(m_view->frameGeometry()));
        // The width bound the window: the height follows the picture's 3 : 2.
        QCOMPARE(surface.width(), m_view->picView->width());
        QCOMPARE(surface.height(), qRound(surface.width() * 2000.0 / 3000.0));
        QCOMPARE(
            m_view->picView->shownImage().pixelColor(surface.width() - 3, surface.height() - 3),
            QColor(Qt::yellow));
    }

    // What the layout foretells of the next stretched picture, for the decode ahead to scale it
    // on a worker, is the size the step then draws it at.
    void theStretchedSizeForetoldIsTheOneDrawn_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QSize>("next");
        QTest::newRow("limited by the work area") << u""_qs << QSize(2400, 900);
        QTest::newRow("limited by a maximum width") << u"max width"_qs << QSize(2400, 900);
        QTest::newRow("fits unscaled") << u""_qs << QSize(320, 240);
        QTest::newRow("fixed window, ratio kept") << u"fixed, ratio"_qs << QSize(2400, 900);
        QTest::newRow("fixed window, ratio not kept") << u"fixed"_qs << QSize(2400, 900);
        QTest::newRow("fixed window, enlarged") << u"fixed, ratio"_qs << QSize(320, 240);
    }

    void theStretchedSizeForetoldIsTheOneDrawn()
    {
        QFETCH(QString, options);
        QFETCH(QSize, next);
        m_options->setCheck(Opt::chkStretchImage, 1);
        if (options.contains(u"max width")) {
            m_options->setCheck(Opt::chkMaxWidth, 1);
            m_options->setText(Opt::txtMaxWidth, u"700"_qs);
        }
        if (options.contains(u"fixed")) {
            m_options->setCheck(Opt::chkFixFormSize, 1);
            m_view->resize(640, 480);
        }
        m_options->setCheck(Opt::chkFixHeightWidthRate, options.contains(u"ratio") ? 1 : 0);
        const QString nextPath = makePicture(m_box.path(u"next.png"_qs), next);
        // Hidden, framed once: the window manager's late answers to the sizing of the first
        // file cannot move the second file's layout away from what the window was then.
        startWith({ m_large, nextPath });

        const std::function<QSize(QSize)> forecast = m_view->layout().stretchedSizeForecast();
        QVERIFY(forecast);
        const QSize foretold = forecast(next);
        m_show->showNextFile();
        const cImage &surface = *m_view->g_clsImage;
        // Unforeseen, the picture is drawn at its natural size: there is nothing to scale.
        const QSize expected = foretold.isValid() ? foretold : next;
        QCOMPARE(QSize(surface.width(), surface.height()), expected);
    }

    void theFixedBottomRightCornerIsTheWorkAreas()
    {
        m_options->setCheck(Opt::chkFixForm, 1);
        m_options->setComboIndex(Opt::cmbFixFormLocation, 4);
        startWith({ m_small });
        showViewer();
        QCOMPARE(m_view->frameGeometry().bottomRight(), workArea().bottomRight());
        QCOMPARE(m_view->size(), QSize(320, 240 + m_view->stbView->height()));
    }

    void geometryIsKeptInTwips()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Left, u"1500"_qs);
        store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Top, u"750"_qs);
        store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Width, u"6000"_qs);
        m_view->loadWindowRect(store); // no height stored: 3000 twips
        m_view->measureViewer();
        QCOMPARE(m_view->frameGeometry(), QRect(100, 50, 400, 200));

        m_view->move(20, 30);
        m_view->saveWindowRect(store);
        QCOMPARE(store.GetSetting(SettingKeys::Section::Viewer, SettingKeys::Left), u"300"_qs);
        QCOMPARE(store.GetSetting(SettingKeys::Section::Viewer, SettingKeys::Top), u"450"_qs);
        QCOMPARE(store.GetSetting(SettingKeys::Section::Viewer, SettingKeys::Width), u"6000"_qs);
        QCOMPARE(store.GetSetting(SettingKeys::Section::Viewer, SettingKeys::Height), u"3000"_qs);
    }

    void aDamagedGeometryReadsAsAbsent_data()
    {
        QTest::addColumn<QStringList>("stored"); // left, top, width, height in twips
        QTest::addColumn<QRect>("expected");
        QTest::newRow("no numbers")
            << QStringList { u"abc"_qs, u"nan"_qs, u"inf"_qs, u"-inf"_qs } << QRect(0, 0, 200, 200);
        QTest::newRow("far off") << QStringList { u"1e300"_qs, u"-1e300"_qs, u"6000"_qs,
                                                  u"1500"_qs }
                                 << QRect(666667, -666667, 400, 100);
    }
    void aDamagedGeometryReadsAsAbsent()
    {
        QFETCH(QStringList, stored);
        QFETCH(QRect, expected);
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        const QString keys[]
            = { SettingKeys::Left, SettingKeys::Top, SettingKeys::Width, SettingKeys::Height };
        for (int i = 0; i < 4; ++i)
            store.SaveSetting(SettingKeys::Section::Viewer, keys[i], stored[i]);
        m_view->loadWindowRect(store);
        QCOMPARE(m_view->frameGeometry(), expected);
    }

    void switchingTheStatusBarKeepsTheDisplayArea()
    {
        startWith({ m_small });
        showViewer();
        const int before = m_view->height();
        const int barHeight = m_view->stbView->height();
        m_options->setCheck(Opt::chkShowStatusbar, 0);
        QVERIFY(m_view->stbView->isHidden());
        QCOMPARE(m_view->height(), before - barHeight);
        QCOMPARE(m_view->metrics().viewAreaHeight, 240);
        m_options->setCheck(Opt::chkShowStatusbar, 1);
        QCOMPARE(m_view->height(), before);
        QCOMPARE(m_view->metrics().viewAreaHeight, 240);
    }

    void zoomScalesTheNaturalSize()
    {
        m_options->setCheck(Opt::chkZoomImage, 1);
        m_options->setText(Opt::txtZoomImage, u"1.5"_qs);
        startWith({ m_small });
        showViewer();
        const cImage &surface = *m_view->g_clsImage;
        QVERIFY(surface.Stretch());
        QCOMPARE(QSize(surface.width(), surface.height()), QSize(480, 360));
        QCOMPARE(m_view->size(), QSize(480, 360 + m_view->stbView->height()));
        QCOMPARE(m_view->picView->shownImage().pixelColor(470, 350), QColor(Qt::yellow));
        QCOMPARE(m_show->aspectRatio, 0.75f); // of the natural size
    }

    void theTitleBarSwitchKeepsTheWindowsTop()
    {
        startWith({ m_small });
        showViewer();
        const int top = m_view->frameGeometry().top();
        m_options->setCheck(Opt::chkShowTitlebar, 0);
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QVERIFY(m_view->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(m_view->windowTitle().isEmpty());
        QCOMPARE(m_view->frameGeometry().top(), top);
        QCOMPARE(m_view->metrics().frameWidth, m_view->frameGeometry().width() - m_view->width());

        // The next file's caption stays empty without a title bar.
        m_show->nextIndex = 1;
        m_show->showNextFile();
        QVERIFY(m_view->windowTitle().isEmpty());

        m_options->setCheck(Opt::chkShowTitlebar, 1);
        QVERIFY(!(m_view->windowFlags() & Qt::FramelessWindowHint));
        QCOMPARE(m_view->windowTitle(), u"Lunetta"_qs);
    }

    void closingTheViewerStopsTheShow()
    {
        startWith({ m_small });
        showViewer();
        QVERIFY(!m_view->close());
        QCOMPARE(m_show->stateFlags, 0);
        QVERIFY(m_view->isHidden());
        QVERIFY(!m_view->tmrView->isActive());
    }

    void theMouseHidesTheViewerUntilTheCursorLeaves()
    {
        m_options->setCheck(Opt::chkHideWithMouse, 1);
        startWith({ m_small });
        showViewer();
        QCursor::setPos(m_view->mapToGlobal(QPoint(10, 10)));
        QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10),
                         m_view->mapToGlobal(QPointF(10, 10)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(m_view->picView, &move);
        QVERIFY(m_show->isHidden());
        QVERIFY(m_view->isHidden());
        QVERIFY(m_view->tmrCursorPos->isActive());

        // The cursor is still where the window was: the watch looks twice and leaves it hidden.
        QSignalSpy looks(m_view->tmrCursorPos, &QTimer::timeout);
        QTRY_VERIFY(looks.size() >= 2);
        QVERIFY(m_show->isHidden());
        QCursor::setPos(m_view->frameGeometry().bottomRight() + QPoint(5, 5));
        QTRY_VERIFY(!m_show->isHidden());
        QVERIFY(m_view->isVisible());
        QVERIFY(!m_view->tmrCursorPos->isActive());
    }

    void aFailedDrawingDropsTheFile()
    {
        startWith({ m_small, m_large });
        showViewer();
        QCOMPARE(m_show->playList.count(), 2);
        emit m_view->g_clsImage->drawingFailed();
        QTRY_COMPARE(m_show->playList.count(), 1);
        QCOMPARE(m_view->statusPanelText(u"FileName"_qs), m_large);
        QCOMPARE(m_view->statusPanelText(u"Page"_qs), u"1/1"_qs);
    }
};

QTEST_MAIN(TestViewerWindow)
#include "tst_frmview.moc"
