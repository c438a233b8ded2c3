#include "Sandbox.h"

#include "viewer/PictureBuffer.h"
#include "viewer/PictureTarget.h"
#include "viewer/cImage.h"

#include <QElapsedTimer>
#include <QImageWriter>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

// A canvas that counts how often it was put on screen.
class CanvasTarget : public PictureTarget
{
public:
    explicit CanvasTarget(QSize size)
        : image(size, QImage::Format_RGB32)
    {
        image.fill(Qt::black);
    }
    QSize targetSize() const override { return size; }
    QImage &canvas() override { return image; }
    QColor backColor() const override { return back; }
    void refresh() override { ++refreshes; }

    QImage image;
    QSize size = image.size();
    QColor back = QColor(0x20, 0x40, 0x60);
    int refreshes = 0;
};

// 40 × 40: red, green / blue, yellow quadrants.
QImage quadrants()
{
    QImage image(40, 40, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 20, 20, Qt::red);
    p.fillRect(20, 0, 20, 20, Qt::green);
    p.fillRect(0, 20, 20, 20, Qt::blue);
    p.fillRect(20, 20, 20, 20, Qt::yellow);
    return image;
}

QColor at(const CanvasTarget &t, int x, int y)
{
    return t.image.pixelColor(x, y);
}

bool allOf(const QImage &image, const QColor &color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != color)
                return false;
    return true;
}

} // namespace

class TestImageSurface : public QObject
{
    Q_OBJECT

    Sandbox m_box;
    QString m_picture;

private slots:
    void initTestCase() { m_picture = savePng(u"quadrants.png"_qs, quadrants()); }

    void loadingTakesTheNaturalSizeAndDoesNotDraw()
    {
        CanvasTarget target(QSize(100, 100));
        PictureBuffer back;
        cImage surface(&target, &back);
        QVERIFY(surface.LoadPic(m_picture));
        QCOMPARE(QSize(surface.width(), surface.height()), QSize(40, 40));
        QCOMPARE(back.size(), QSize(40, 40));
        QCOMPARE(target.refreshes, 0);

        // Unreadable: false, and the previous picture and size stay.
        QVERIFY(!surface.LoadPic(m_box.file(u"broken.jpg"_qs, "\xFF\xD8not a picture")));
        QVERIFY(!surface.LoadPic(m_box.path(u"missing.png"_qs)));
        QCOMPARE(QSize(surface.width(), surface.height()), QSize(40, 40));
        QCOMPARE(back.size(), QSize(40, 40));
    }

    void propertiesRedrawOnlyWhileVisible()
    {
        CanvasTarget target(QSize(100, 100));
        PictureBuffer back;
        cImage surface(&target, &back);
        QVERIFY(surface.LoadPic(m_picture));

        surface.setVisible(false); // clears the canvas to the background
        QCOMPARE(target.refreshes, 1);
        QVERIFY(allOf(target.image, target.back));
        surface.setLeft(10);
        surface.setTop(20);
        QCOMPARE(target.refreshes, 1);
        QVERIFY(allOf(target.image, target.back));

        surface.setVisible(true); // draws at the new place
        QCOMPARE(target.refreshes, 2);
        QCOMPARE(at(target, 10, 20), QColor(Qt::red));
        QCOMPARE(at(target, 49, 59), QColor(Qt::yellow));
        QCOMPARE(at(target, 9, 20), target.back);
        QCOMPARE(at(target, 50, 60), target.back);

        // Move with some arguments keeps the others and draws once.
        surface.Move(-20);
        QCOMPARE(target.refreshes, 3);
        QCOMPARE(QRect(surface.left(), surface.top(), surface.width(), surface.height()),
                 QRect(-20, 20, 40, 40));
        QCOMPARE(at(target, 0, 20), QColor(Qt::green)); // scrolled: the right half shows
        QCOMPARE(at(target, 0, 59), QColor(Qt::yellow));
        QCOMPARE(at(target, 20, 30), target.back);

        surface.setStretch(true);
        surface.setWidth(80);
        QCOMPARE(target.refreshes, 5);
    }

    void stretchScalesTheWholePictureAndCopyTakesAPart()
    {
        CanvasTarget target(QSize(100, 100));
        PictureBuffer back;
        cImage surface(&target, &back);
        QVERIFY(surface.LoadPic(m_picture));
        surface.setVisible(true);

        // One to one, 20 × 20: only the top-left quadrant.
        surface.Move(0, 0, 20, 20);
        QVERIFY(allOf(target.image.copy(0, 0, 20, 20), Qt::red));
        QCOMPARE(at(target, 20, 0), target.back);

        // Stretched down into 20 × 20: all four quadrants, smaller.
        surface.setStretch(true);
        QCOMPARE(at(target, 4, 4), QColor(Qt::red));
        QCOMPARE(at(target, 15, 4), QColor(Qt::green));
        QCOMPARE(at(target, 4, 15), QColor(Qt::blue));
        QCOMPARE(at(target, 15, 15), QColor(Qt::yellow));
        QCOMPARE(at(target, 25, 25), target.back);

        // Stretched up into 80 × 80 at (10, 10).
        surface.Move(10, 10, 80, 80);
        QCOMPARE(at(target, 20, 20), QColor(Qt::red));
        QCOMPARE(at(target, 80, 20), QColor(Qt::green));
        QCOMPARE(at(target, 80, 80), QColor(Qt::yellow));
        QCOMPARE(at(target, 95, 95), target.back);
    }

    void clsEmptiesTheBuffer()
    {
        CanvasTarget target(QSize(60, 60));
        PictureBuffer back;
        cImage surface(&target, &back);
        QVERIFY(surface.LoadPic(m_picture));
        surface.setVisible(true);
        QCOMPARE(at(target, 0, 0), QColor(Qt::red));
        surface.Cls();
        QVERIFY(back.isEmpty());
        QVERIFY(surface.RefreshImage());
        QVERIFY(allOf(target.image, target.back));
    }

    void exifOrientationIsApplied()
    {
        // Stored 40 wide and 20 high, tagged to be shown turned a quarter: 20 wide, 40 high.
        const QString path = m_box.path(u"turned.jpg"_qs);
        QImageWriter writer(path, "jpeg");
        writer.setTransformation(QImageIOHandler::TransformationRotate90);
        QVERIFY(writer.write(quadrants().copy(0, 0, 40, 20)));
        CanvasTarget target(QSize(10, 10));
        PictureBuffer back;
        cImage surface(&target, &back);
        QVERIFY(surface.LoadPic(path));
        QCOMPARE(QSize(surface.width(), surface.height()), QSize(20, 40));
    }

    void aPictureAboveQtsDefaultDecodeLimitLoads()
    {
        // 6000 × 6000 at four bytes a pixel is 144 MB, more than Qt allows by default.
        QImage big(6000, 6000, QImage::Format_RGB32);
        big.fill(QColor(0x80, 0xA0, 0x40));
        const QString path = m_box.path(u"big.jpg"_qs);
        QVERIFY(big.save(path, "JPEG", 50));
        big = QImage();
        CanvasTarget target(QSize(10, 10));
        PictureBuffer back;
        cImage surface(&target, &back);
        QVERIFY(surface.LoadPic(path));
        QCOMPARE(back.size(), QSize(6000, 6000));
    }

    void aFailedDrawingIsReported()
    {
        CanvasTarget target(QSize(50, 50));
        PictureBuffer back;
        cImage surface(&target, &back);
        QVERIFY(surface.LoadPic(m_picture));
        QSignalSpy failed(&surface, &cImage::drawingFailed);
        target.image = QImage(); // the canvas could not be allocated
        surface.setVisible(true);
        QCOMPARE(failed.size(), 1);
        QVERIFY(!surface.RefreshImage());
        QCOMPARE(failed.size(), 2);

        // An area of no size is nothing to draw, not a failure.
        target.size = QSize(0, 40);
        QVERIFY(surface.RefreshImage());
        QCOMPARE(failed.size(), 2);
    }

private:
    QString savePng(const QString &name, const QImage &image)
    {
        const QString path = m_box.path(name);
        image.save(path, "PNG");
        return path;
    }
};

QTEST_GUILESS_MAIN(TestImageSurface)
#include "tst_cimage.moc"
