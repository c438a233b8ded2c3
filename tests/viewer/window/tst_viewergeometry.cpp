#include "viewer/window/ViewerGeometry.h"

#include <QTest>

#include <limits>

using namespace ViewerGeometry;

namespace {
// A 1600 × 1000 work area: right() 1599, bottom() 999.
const QRect workArea(0, 0, 1600, 1000);
constexpr int bar = 17;
} // namespace

class TestViewerGeometry : public QObject
{
    Q_OBJECT

private slots:
    void roundingAndTwips()
    {
        QCOMPARE(roundHalfEven(2.5), 2);
        QCOMPARE(roundHalfEven(3.5), 4);
        QCOMPARE(roundHalfEven(-2.5), -2);
        QCOMPARE(roundHalfEven(2.4999), 2);
        // Far out of range (a number field) clamps instead of wrapping around.
        QCOMPARE(roundHalfEven(99999999999.0), std::numeric_limits<int>::max());
        QCOMPARE(roundHalfEven(-1e300), std::numeric_limits<int>::min());
        // Content as wide as an int can hold is clipped, not wrapped to a tiny window.
        const WindowFit huge = fitWindowToContent(QSize(std::numeric_limits<int>::max(), 10), 1600,
                                                  1000, 8, 50, 16, 16, false, 1.0 / 3e8);
        QCOMPARE(huge.width, 1600);
        QCOMPARE(zoomed(QSize(3, 5), 1.5), QSize(4, 8)); // 4.5 → 4, 7.5 → 8
        QCOMPARE(twipsPerPixel(96), 15);
        QCOMPARE(twipsPerPixel(120), 12);
        QCOMPARE(twipsPerPixel(144), 10);
    }

    void limitsFollowTheOptions()
    {
        SizeLimitOptions o;
        // Free window: up to the work area's edge from where the window stands.
        QCOMPARE(sizeLimits(o, workArea, QPoint(100, 50)), QSize(1500, 950));
        o.fixFormOn = true;
        o.fixX = 200;
        o.fixY = 300;
        QCOMPARE(sizeLimits(o, workArea, QPoint(100, 50)), QSize(1400, 700));
        o.fixLocation = 4;
        QCOMPARE(sizeLimits(o, workArea, QPoint(100, 50)), QSize(1600, 1000));
        o.maxWidthOn = true;
        o.maxWidth = 640;
        QCOMPARE(sizeLimits(o, workArea, QPoint(100, 50)), QSize(640, 1000));
    }

    // A window placed above or left of the work area (under a top panel) moves into it.
    void windowsStayInsideTheWorkArea()
    {
        const QRect work(0, 32, 1600, 968);
        QCOMPARE(topLeftInside(QPoint(0, 0), work), QPoint(0, 32));
        QCOMPARE(topLeftInside(QPoint(-50, 500), work), QPoint(0, 500));
        QCOMPARE(topLeftInside(QPoint(300, 200), work), QPoint(300, 200));
        QCOMPARE(topLeftInside(QPoint(5000, 5000), work), QPoint(1599, 999));
        QCOMPARE(topLeftInside(QPoint(-5, -5), QRect()), QPoint(-5, -5));
    }

    void stretchingAClippedPictureKeepsItsShape()
    {
        const WindowFit fit
            = fitWindowToContent(QSize(2000, 1000), 1008, 1100, 8, 50, bar, bar, true, 0.5);
        QCOMPARE(QSize(fit.width, fit.height), QSize(1008, 550));
        QCOMPARE(fit.contentSize, std::optional(QSize(1000, 500)));

        // Height binds: a tall picture.
        const WindowFit tall
            = fitWindowToContent(QSize(1000, 3000), 1600, 1050, 8, 50, bar, bar, true, 3.0);
        QCOMPARE(QSize(tall.width, tall.height), QSize(341, 1050)); // 1000 ÷ 3 = 333.3 → 333
        QCOMPARE(tall.contentSize, std::optional(QSize(333, 1000)));
    }

    void stretchingNeverEnlargesContentThatFits()
    {
        const WindowFit fit
            = fitWindowToContent(QSize(320, 240), 1600, 1000, 8, 50, bar, bar, true, 0.75);
        QCOMPARE(QSize(fit.width, fit.height), QSize(328, 290));
        QVERIFY(!fit.contentSize);
    }

    void oneClippedAxisMakesRoomForItsBar()
    {
        // Too wide only: the height grows by the horizontal bar.
        WindowFit fit = fitWindowToContent(QSize(3000, 400), 1600, 1000, 8, 50, bar, bar, false, 0);
        QCOMPARE(QSize(fit.width, fit.height), QSize(1600, 450 + bar));
        QVERIFY(!fit.contentSize);
        // ... but not beyond the limit.
        fit = fitWindowToContent(QSize(3000, 940), 1600, 1000, 8, 50, bar, bar, false, 0);
        QCOMPARE(fit.height, 1000);
        // Too tall only: the width grows by the vertical bar.
        fit = fitWindowToContent(QSize(500, 3000), 1600, 1000, 8, 50, bar, bar, false, 0);
        QCOMPARE(QSize(fit.width, fit.height), QSize(508 + bar, 1000));
        // Both clipped: the window is the limit.
        fit = fitWindowToContent(QSize(3000, 2000), 1600, 1000, 8, 50, bar, bar, false, 0);
        QCOMPARE(QSize(fit.width, fit.height), QSize(1600, 1000));
        // Never smaller than the frame.
        fit = fitWindowToContent(QSize(0, 0), 1600, 1000, 8, 50, bar, bar, false, 0);
        QCOMPARE(QSize(fit.width, fit.height), QSize(8, 50));
    }

    void scrollBars()
    {
        // Exactly as wide as the area: no bar.
        ScrollBarLayout l = layoutScrollBars(QSize(800, 600), QSize(800, 600), bar, bar);
        QVERIFY(!l.needH && !l.needV);
        QCOMPARE(l.picView, QSize(800, 600));

        // The vertical bar takes the width the picture needed: a horizontal bar follows.
        l = layoutScrollBars(QSize(790, 900), QSize(800, 600), bar, bar);
        QVERIFY(l.needV && l.needH);
        QCOMPARE(l.hMax, 790 - 800 + bar);
        QCOMPARE(l.vMax, 900 - 600 + bar);
        QCOMPARE(l.hBar, QRect(0, 600 - bar, 800 - bar, bar));
        QCOMPARE(l.vBar, QRect(800 - bar, 0, bar, 600 - bar));
        QCOMPARE(l.hLargeChange, 800);
        QCOMPARE(l.vLargeChange, 600);
        QCOMPARE(l.picView, QSize(800 - bar, 600 - bar));

        // Wide only.
        l = layoutScrollBars(QSize(3000, 400), QSize(800, 600), bar, bar);
        QVERIFY(l.needH && !l.needV);
        QCOMPARE(l.hMax, 2200);
        QCOMPARE(l.hBar, QRect(0, 600 - bar, 800, bar));
        QCOMPARE(l.picView, QSize(800, 600 - bar));

        // A bar thicker than the area never shows.
        l = layoutScrollBars(QSize(3000, 10), QSize(800, 10), bar, bar);
        QVERIFY(!l.needH);
        l = layoutScrollBars(QSize(10, 3000), QSize(10, 800), bar, bar);
        QVERIFY(!l.needV);
    }

    void fixedPositions_data()
    {
        QTest::addColumn<int>("location");
        QTest::addColumn<std::optional<QPoint>>("expected");
        // Outer window 400 × 300 pixels = 6000 × 4500 twips; txtFixX 10, txtFixY 20.
        QTest::newRow("0 coordinates") << 0 << std::optional(QPoint(150, 300));
        QTest::newRow("1 top left") << 1 << std::optional(QPoint(0, 0));
        QTest::newRow("2 bottom left") << 2 << std::optional(QPoint(0, 10500));
        QTest::newRow("3 top right") << 3 << std::optional(QPoint(18000, 0));
        QTest::newRow("4 bottom right") << 4 << std::optional(QPoint(18000, 10500));
        QTest::newRow("5 stays") << 5 << std::optional<QPoint>();
    }
    void fixedPositions()
    {
        QFETCH(int, location);
        QFETCH(std::optional<QPoint>, expected);
        QCOMPARE(fixedPosition(location, 10, 20, workArea, 15, 15, QSize(6000, 4500)), expected);
    }

    void centringAndPlacing()
    {
        const QSize view(800, 600);
        // Smaller on both axes: centred.
        QCOMPARE(centreContent(QRect(-10000, 0, 321, 240), view), QPoint(239, 180));
        // Exactly as large, at an offset kept from a larger area: back at 0.
        QCOMPARE(centreContent(QRect(479, 238, 800, 600), view), QPoint(0, 0));
        // Wider but not taller: left alone by centring, started at 0 by placing.
        QCOMPARE(centreContent(QRect(-50, 7, 3000, 400), QSize(800, 583)), QPoint(-50, 91));
        QCOMPARE(placeContent(QRect(-50, 7, 3000, 400), QSize(800, 583)), QPoint(0, 91));
        // Larger on both axes: both offsets back to 0.
        QCOMPARE(placeContent(QRect(-30, -40, 3000, 2000), view), QPoint(0, 0));
    }

    void fittingContentToAnArea()
    {
        QCOMPARE(fitContentToArea(800, 600, false, 0.5), QSize(800, 600));
        QCOMPARE(fitContentToArea(800, 600, true, 0.5), QSize(800, 400));
        QCOMPARE(fitContentToArea(800, 600, true, 1.0), QSize(600, 600));
        QCOMPARE(fitContentToArea(800, 600, true, 0.75), QSize(800, 600));
        QCOMPARE(fitContentToArea(0, 0, true, 0.75), QSize(0, 0)); // no undefined results
    }

    void cursorOverTheWindow()
    {
        const QRect outer(100 * 15, 50 * 15, 200 * 15, 100 * 15);
        QVERIFY(isCursorOverViewer(QPoint(100, 50), outer, 15, 15));
        QVERIFY(isCursorOverViewer(QPoint(299, 149), outer, 15, 15));
        QVERIFY(!isCursorOverViewer(QPoint(300, 100), outer, 15, 15));
        QVERIFY(!isCursorOverViewer(QPoint(150, 150), outer, 15, 15));
        QVERIFY(!isCursorOverViewer(QPoint(99, 100), outer, 15, 15));
    }
};

QTEST_APPLESS_MAIN(TestViewerGeometry)
#include "tst_viewergeometry.moc"
