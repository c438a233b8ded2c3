#include "viewer/picture/DeferredDecode.h"
#include "viewer/picture/PictureView.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// A decode ahead waits for the picture drawn before it to be painted, and for the start-up's
// hold to be released; only the last request counts.
class TestDeferredDecode : public QObject
{
    Q_OBJECT

private slots:
    void startsAfterThePaint_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("drawn"); // something was drawn before the requests
        QTest::addColumn<bool>("paints"); // whether the area paints what is drawn
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<bool>("held"); // held before the requests, released after the check
        QTest::addColumn<QStringList>("startedAtOnce");
        QTest::addColumn<QStringList>("startedLater");
        // Nothing waits to be painted: each request starts as it comes.
        QTest::newRow("nothing drawn") << true << false << true << false << false
                                       << QStringList { u"a"_s, u"b"_s } << QStringList {};
        QTest::newRow("painted") << true << true << true << false << false << QStringList {}
                                 << QStringList { u"b"_s };
        // The paint never comes (updates held back, or the window hidden): the decode starts
        // after the wait.
        QTest::newRow("no paint") << true << true << false << false << false << QStringList {}
                                  << QStringList { u"b"_s };
        QTest::newRow("hidden") << false << true << true << false << false << QStringList {}
                                << QStringList { u"b"_s };
        QTest::newRow("cancelled")
            << true << true << true << true << false << QStringList {} << QStringList {};
        // Held: not even a request with nothing to paint starts before the release; a hold
        // released after the paint starts what waits at once.
        QTest::newRow("held, nothing drawn")
            << true << false << true << false << true << QStringList {} << QStringList { u"b"_s };
        QTest::newRow("held, painted")
            << true << true << true << false << true << QStringList {} << QStringList { u"b"_s };
        QTest::newRow("held, cancelled")
            << true << true << true << true << true << QStringList {} << QStringList {};
    }
    void startsAfterThePaint()
    {
        QFETCH(bool, shown);
        QFETCH(bool, drawn);
        QFETCH(bool, paints);
        QFETCH(bool, cancelled);
        QFETCH(bool, held);
        QFETCH(QStringList, startedAtOnce);
        QFETCH(QStringList, startedLater);

        PictureView view;
        view.resize(64, 48);
        if (shown) {
            // Shown and painted once, so that no paint of the showing is still due.
            QSignalSpy firstPaint(&view, &PictureView::painted);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QTRY_VERIFY(!firstPaint.isEmpty());
        }
        view.setUpdatesEnabled(paints);
        QStringList started;
        DeferredDecode ahead(&view, [&started](const QString &path) { started << path; });
        ahead.setHeld(held);

        if (drawn) {
            view.showBackground();
            view.refresh();
        }
        ahead.request(QStringLiteral("a"));
        ahead.request(QStringLiteral("b"));
        if (cancelled)
            ahead.cancel();
        QCOMPARE(started, startedAtOnce);
        // Only what waits can start later: with nothing waiting, nothing will.
        if (startedLater.isEmpty())
            QVERIFY(ahead.waiting().isEmpty());
        if (held) {
            // Long past the paint and the longest wait, still held.
            QTRY_VERIFY(!view.isPaintDue());
            QTest::qWait(DeferredDecode::longestWaitMs * 2);
            QCOMPARE(started, startedAtOnce);
            ahead.setHeld(false);
        }
        QTRY_COMPARE(started, startedAtOnce + startedLater);
        QVERIFY(ahead.waiting().isEmpty());
    }
};

QTEST_MAIN(TestDeferredDecode)
#include "tst_deferreddecode.moc"
