#include "viewer/picture/DeferredDecode.h"
#include "viewer/picture/PictureView.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// A decode ahead waits for the picture drawn before it to be painted, and only the last
// request counts.
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
        QTest::addColumn<QStringList>("startedAtOnce");
        QTest::addColumn<QStringList>("startedLater");
        // Nothing waits to be painted: each request starts as it comes.
        QTest::newRow("nothing drawn")
            << true << false << true << false << QStringList { u"a"_s, u"b"_s } << QStringList {};
        QTest::newRow("painted") << true << true << true << false << QStringList {}
                                 << QStringList { u"b"_s };
        // The paint never comes (updates held back, or the window hidden): the decode starts
        // after the wait.
        QTest::newRow("no paint") << true << true << false << false << QStringList {}
                                  << QStringList { u"b"_s };
        QTest::newRow("hidden") << false << true << true << false << QStringList {}
                                << QStringList { u"b"_s };
        QTest::newRow("cancelled")
            << true << true << true << true << QStringList {} << QStringList {};
    }
    void startsAfterThePaint()
    {
        QFETCH(bool, shown);
        QFETCH(bool, drawn);
        QFETCH(bool, paints);
        QFETCH(bool, cancelled);
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
        QTRY_COMPARE(started, startedAtOnce + startedLater);
        QVERIFY(ahead.waiting().isEmpty());
    }
};

QTEST_MAIN(TestDeferredDecode)
#include "tst_deferreddecode.moc"
