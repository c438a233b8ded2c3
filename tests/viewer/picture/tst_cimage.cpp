#include "PictureFixtures.h"
#include "Sandbox.h"

#include "viewer/picture/ColourConversion.h"
#include "viewer/picture/PictureAhead.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/picture/PlainJpegReader.h"
#include "viewer/picture/cImage.h"

#include <QColorSpace>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>

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
        QVERIFY(allOf(target.shown(), target.back));
        surface.setLeft(10);
        surface.setTop(20);
        QCOMPARE(target.refreshes, 1);
        QVERIFY(allOf(target.shown(), target.back));

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
        QVERIFY(allOf(target.shown().copy(0, 0, 20, 20), Qt::red));
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
        QVERIFY(allOf(target.shown(), target.back));
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

    // The usual JPEG is decoded by the program's own reader, anything else by Qt's; either way
    // the picture is the one Qt's reader gives.
    void aJpegDecodesAsQtsReaderDecodesIt_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("plain");
        QTest::newRow("baseline") << u"baseline"_qs << true;
        QTest::newRow("progressive") << u"progressive"_qs << true;
        QTest::newRow("optimised tables") << u"optimised"_qs << true;
        QTest::newRow("grey") << u"grey"_qs << false;
        QTest::newRow("colour profile") << u"profile"_qs << false;
        QTest::newRow("cut short") << u"truncated"_qs << false;
        QTest::newRow("not a JPEG") << u"png"_qs << false;
    }
    void aJpegDecodesAsQtsReaderDecodesIt()
    {
        QFETCH(QString, kind);
        QFETCH(bool, plain);
        // Odd sizes leave partial blocks at the edges; smooth colours and fine detail tell the
        // colour conversion and the chroma upsampling apart.
        QImage picture(97, 61, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 255 / 96, y * 4, (x * y + (x ^ y) * 7) & 0xff));
        const QString path = m_box.path(kind + u".jpg"_qs);
        QImageWriter writer(path, kind == u"png"_qs ? "png" : "jpeg");
        writer.setQuality(90);
        writer.setProgressiveScanWrite(kind == u"progressive"_qs);
        writer.setOptimizedWrite(kind == u"optimised"_qs);
        if (kind == u"grey"_qs)
            picture.convertTo(QImage::Format_Grayscale8);
        if (kind == u"profile"_qs)
            picture.setColorSpace(QColorSpace::AdobeRgb);
        QVERIFY(writer.write(picture));
        if (kind == u"truncated"_qs) {
            QFile file(path);
            QVERIFY(file.resize(file.size() * 6 / 10));
        }

        QCOMPARE(!PlainJpegReader::read(path).isNull(), plain);
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage qts = PictureBuffer::drawingForm(ColourConversion::toDisplay(reader.read()));
        QVERIFY(!qts.isNull());
        const QImage decoded = PictureAhead::decode(path).image;
        QCOMPARE(decoded.format(), qts.format());
        QCOMPARE(decoded.colorSpace(), qts.colorSpace());
        QCOMPARE(decoded, qts);
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

    // A picture that covers the whole area unscaled is shown as it is, without a copy; the
    // canvas of the target's own comes back, with no trace of earlier pictures, when it does not.
    void aPictureCoveringTheAreaIsShownWithoutCopying()
    {
        CanvasTarget target(QSize(30, 30));
        PictureBuffer back;
        cImage surface(&target, &back);
        QVERIFY(surface.LoadPic(m_picture));
        surface.setVisible(true);
        QVERIFY(!target.instead.isNull());
        QCOMPARE(target.shown().constBits(), back.image().constBits());
        QCOMPARE(at(target, 0, 0), QColor(Qt::red));
        QCOMPARE(at(target, 29, 29), QColor(Qt::yellow));

        surface.Move(-5, -5); // scrolled: the view starts inside the picture
        QVERIFY(!target.instead.isNull());
        QCOMPARE(at(target, 14, 14), QColor(Qt::red));
        QCOMPARE(at(target, 15, 15), QColor(Qt::yellow));
        QCOMPARE(at(target, 29, 29), QColor(Qt::yellow));

        const struct
        {
            int left, top, width, height;
            bool stretch;
        } uncovered[] = { { 5, -5, 40, 40, false }, // a bare strip on the left
                          { -5, -5, 20, 20, false }, // drawn smaller than the area
                          { 0, 0, 20, 20, true } }; // stretched down
        for (const auto &u : uncovered) {
            surface.setStretch(false);
            surface.Move(-5, -5, 40, 40);
            QVERIFY(!target.instead.isNull());
            surface.setStretch(u.stretch);
            surface.Move(u.left, u.top, u.width, u.height);
            QVERIFY(target.instead.isNull());
            const QRect drawn = QRect(u.left, u.top, u.width, u.height) & QRect(0, 0, 30, 30);
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 30; ++x)
                    if (!drawn.contains(x, y))
                        QCOMPARE(at(target, x, y), target.back);
        }

        // A picture with transparency keeps the background beneath it.
        QImage seeThrough(40, 40, QImage::Format_ARGB32);
        seeThrough.fill(Qt::transparent);
        QVERIFY(surface.LoadPic(savePng(u"clear.png"_qs, seeThrough)));
        surface.setStretch(false);
        surface.Move(0, 0, 40, 40);
        QVERIFY(target.instead.isNull());
        QVERIFY(allOf(target.shown(), target.back));
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

    // A photo in a wide gamut shows the colour its profile means on the display (sRGB, or the
    // screen's own profile); with the option off, its numbers are drawn unchanged. Large enough
    // to be converted in strips.
    void aProfiledPictureIsShownInTheDisplaysColours_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("managed");
        QTest::addColumn<QSize>("part");
        QTest::addColumn<QColorSpace>("display");
        const QColorSpace srgb(QColorSpace::SRgb);
        for (const char *format : { "PNG", "JPEG" }) {
            const QString name = QString::fromLatin1(format);
            QTest::newRow(qPrintable(name + u" converted"_qs)) << name << true << QSize() << srgb;
            QTest::newRow(qPrintable(name + u" unchanged"_qs)) << name << false << QSize() << srgb;
        }
        QTest::newRow("JPEG part converted") << u"JPEG"_qs << true << QSize(300, 200) << srgb;
        QTest::newRow("PNG on a P3 screen")
            << u"PNG"_qs << true << QSize() << QColorSpace(QColorSpace::DisplayP3);
    }
    void aProfiledPictureIsShownInTheDisplaysColours()
    {
        QFETCH(QString, format);
        QFETCH(bool, managed);
        QFETCH(QSize, part);
        QFETCH(QColorSpace, display);
        const QColor stored(180, 120, 60);
        QImage picture(1200, 1000, QImage::Format_RGB32);
        picture.fill(stored);
        picture.setColorSpace(QColorSpace::AdobeRgb);
        const QString path = m_box.path(u"adobe."_qs + format.toLower());
        QVERIFY(picture.save(path, format.toLatin1().constData(), 95));
        const QColor meant
            = QColorSpace(QColorSpace::AdobeRgb).transformationToColorSpace(display).map(stored);

        ColourConversion::setEnabled(managed);
        ColourConversion::setDisplay(display);
        const PictureAhead::Picture decoded
            = part.isValid() ? PictureAhead::decodePart(path, part) : PictureAhead::decode(path);
        ColourConversion::setEnabled(true);
        ColourConversion::setDisplay(QColorSpace());
        QCOMPARE(decoded.partial, part.isValid());
        const QColor expected = managed ? meant : stored;
        for (const QPoint at : { QPoint(5, 5), QPoint(150, 190),
                                 QPoint(decoded.image.width() - 5, decoded.image.height() - 5) }) {
            const QColor got = decoded.image.pixelColor(at);
            QVERIFY2(std::abs(got.red() - expected.red()) <= 2
                         && std::abs(got.green() - expected.green()) <= 2
                         && std::abs(got.blue() - expected.blue()) <= 2,
                     qPrintable(got.name() + u" instead of "_qs + expected.name()));
        }
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
