#include "viewer/picture/WindowMemory.h"

#include <QBackingStore>
#include <QPainter>
#include <QTest>
#include <QWidget>

namespace {

class RedWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), Qt::red); }
};

} // namespace

// The drawing memory made ahead of the first paint is the one the paint draws into.
class TestWindowMemory : public QObject
{
    Q_OBJECT

private slots:
    void preparesTheShownWindowsStore_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("storeBeforePaint");
        QTest::newRow("shown") << true << QSize(300, 200) << QSize(300, 200);
        QTest::newRow("hidden") << false << QSize(300, 200) << QSize();
    }
    void preparesTheShownWindowsStore()
    {
        QFETCH(bool, shown);
        QFETCH(QSize, size);
        QFETCH(QSize, storeBeforePaint);

        RedWindow window;
        window.resize(size);
        window.setVisible(shown);
        WindowMemory::prepare(&window);
        if (storeBeforePaint.isValid())
            QCOMPARE(window.backingStore()->size(), storeBeforePaint);
        else
            QVERIFY(!window.backingStore() || window.backingStore()->size().isEmpty());
        if (!shown)
            return;

        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(window.backingStore()->size(), size);
        const auto corner = [&] {
            const auto *store = static_cast<const QImage *>(window.backingStore()->paintDevice());
            return store->pixelColor(size.width() - 1, size.height() - 1);
        };
        QTRY_COMPARE(corner(), QColor(Qt::red));
    }
};

QTEST_MAIN(TestWindowMemory)
#include "tst_windowmemory.moc"
