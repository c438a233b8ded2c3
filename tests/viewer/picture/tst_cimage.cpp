#include "Sandbox.h"

#include "viewer/picture/ColourConversion.h"
#include "viewer/picture/PictureAhead.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/picture/PictureTarget.h"
#include "viewer/picture/PlainJpegReader.h"
#include "viewer/picture/cImage.h"

#include <QColorSpace>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <cstdlib>

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
    void showInstead(QImage picture) override { instead = std::move(picture); }
    void showBackground() override
    {
        instead = QImage();
        image.fill(back);
    }
    const QImage &shown() const { return instead.isNull() ? image : instead; }
    QColor backColor() const override { return back; }
    void refresh() override { ++refreshes; }

    QImage image; // the canvas of its own
    QImage instead; // a picture shown in its place
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
    return t.shown().pixelColor(x, y);
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

    // The picture decoded ahead is used only for the same file as it was when decoded; a file
    // changed or replaced since shows what it holds now.
    void aPictureDecodedAheadIsUsedOnlyForTheUnchangedFile_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QColor>("shown"); // invalid: nothing can be shown
        QTest::newRow("unchanged") << u"none"_qs << QColor(Qt::red);
        QTest::newRow("rewritten in place") << u"rewrite"_qs << QColor(Qt::blue);
        QTest::newRow("replaced by a rename") << u"rename"_qs << QColor(Qt::blue);
        QTest::newRow("rewritten, times put back") << u"rewrite keep times"_qs << QColor(Qt::blue);
        QTest::newRow("deleted") << u"delete"_qs << QColor();
        QTest::newRow("another file asked for") << u"other"_qs << QColor(Qt::green);
    }

    void aPictureDecodedAheadIsUsedOnlyForTheUnchangedFile()
    {
        QFETCH(QString, change);
        QFETCH(QColor, shown);
        Sandbox box;
        const auto solid = [&box](const QString &name, Qt::GlobalColor colour) {
            QImage image(30, 20, QImage::Format_RGB32);
            image.fill(colour);
            const QString path = box.path(name);
            image.save(path, "PNG");
            return path;
        };
        const QString path = solid(u"picture.png"_qs, Qt::red);
        const QString blue = solid(u"blue.png"_qs, Qt::blue);
        const QString other = solid(u"other.png"_qs, Qt::green);
        const QDateTime modified = QFileInfo(path).lastModified();

        auto ahead = std::make_unique<PictureAhead>();
        ahead->start(path);
        QTRY_VERIFY(ahead->isReady());
        // File times move with the kernel's clock tick; once a file written now has a later time,
        // the change below is seen.
        const QString probe = box.path(u"probe"_qs);
        QVERIFY(QTest::qWaitFor(
            [&] {
                QFile file(probe);
                return file.open(QIODevice::WriteOnly) && file.write("tick") == 4
                    && (file.close(), QFileInfo(probe).lastModified() > modified);
            },
            5000));
        if (change.startsWith(u"rewrite")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QVERIFY(file.write(readFile(blue)) > 0);
            if (change.endsWith(u"keep times"))
                QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        } else if (change == u"rename") {
            // As a program saving through a temporary file does: the new file takes the name.
            QCOMPARE(std::rename(QFile::encodeName(blue).constData(),
                                 QFile::encodeName(path).constData()),
                     0);
        } else if (change == u"delete") {
            QVERIFY(QFile::remove(path));
        }

        CanvasTarget target(QSize(50, 50));
        PictureBuffer back;
        cImage surface(&target, &back);
        surface.setPictureAhead(std::move(ahead));
        const QString asked = change == u"other" ? other : path;
        QCOMPARE(surface.LoadPic(asked), shown.isValid());
        if (shown.isValid())
            QCOMPARE(back.image().pixelColor(5, 5), shown);
    }

    void aPictureDecodedAheadIsHandedOverOnce()
    {
        PictureAhead ahead;
        ahead.start(m_picture);
        QCOMPARE(ahead.pendingPath(), m_picture);
        const QImage first = ahead.take(m_picture).image;
        QCOMPARE(first.size(), QSize(40, 40));
        QCOMPARE(first.format(), QImage::Format_RGB32);
        QVERIFY(ahead.pendingPath().isEmpty());
        QVERIFY(ahead.take(m_picture).image.isNull());

        // A file that is no picture gives nothing to take; the caller decodes it itself.
        const QString broken = m_box.file(u"ahead-broken.jpg"_qs, "\xFF\xD8not a picture");
        ahead.start(broken);
        QVERIFY(ahead.take(broken).image.isNull());
    }

    // What a start hands over first, and what its outcome read from the header foretells, which
    // decides whether a decode begun on a guess at start-up is kept.
    void aBoundDecodesAtTheSmallestFractionCoveringIt_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<QSize>("part");
        QTest::addColumn<QSize>("held");
        QTest::addColumn<bool>("partial");
        QTest::newRow("half and a quarter cover it")
            << u"JPEG"_qs << QSize(200, 100) << QSize() << QSize(200, 100) << false;
        QTest::newRow("the height decides")
            << u"JPEG"_qs << QSize(100, 100) << QSize() << QSize(200, 100) << false;
        QTest::newRow("an eighth")
            << u"JPEG"_qs << QSize(50, 25) << QSize() << QSize(100, 50) << false;
        QTest::newRow("half would be too small")
            << u"JPEG"_qs << QSize(401, 10) << QSize() << QSize(800, 400) << false;
        QTest::newRow("no bound") << u"JPEG"_qs << QSize() << QSize() << QSize(800, 400) << false;
        QTest::newRow("a format without scaled decoding")
            << u"PNG"_qs << QSize(200, 100) << QSize() << QSize(800, 400) << false;
        QTest::newRow("a small share first")
            << u"JPEG"_qs << QSize() << QSize(300, 200) << QSize(300, 200) << true;
        QTest::newRow("too large a share for a part")
            << u"JPEG"_qs << QSize() << QSize(400, 300) << QSize(800, 400) << false;
        QTest::newRow("a format without partial decoding")
            << u"PNG"_qs << QSize() << QSize(300, 200) << QSize(800, 400) << false;
    }

    void aBoundDecodesAtTheSmallestFractionCoveringIt()
    {
        QFETCH(QString, format);
        QFETCH(QSize, bound);
        QFETCH(QSize, part);
        QFETCH(QSize, held);
        QFETCH(bool, partial);
        const QString path = m_box.path(u"wide."_qs + format.toLower());
        QVERIFY(quadrants().scaled(800, 400).save(path, format.toLatin1().constData()));
        if (!part.isValid()) {
            const PictureAhead::Picture picture = PictureAhead::decode(path, bound);
            QCOMPARE(picture.image.size(), held);
            QCOMPARE(picture.natural, QSize(800, 400));
        }
        PictureAhead ahead;
        ahead.start(path, bound, part);
        const PictureAhead::Picture first = ahead.take(path);
        QCOMPARE(first.image.size(), held);
        QCOMPARE(first.partial, partial);
        const PictureAhead::Outcome foretold
            = PictureAhead::firstOutcome(PictureAhead::Header::of(path), bound, part);
        QCOMPARE(foretold.size, held);
        QCOMPARE(foretold.partial, partial);
    }

    // A picture foretold to be drawn smaller than it decodes is scaled down on the worker as the
    // step would scale it; one drawn at its decoded size or larger is not.
    void aPictureForetoldSmallerIsScaledDownAhead_data()
    {
        QTest::addColumn<QSize>("drawn");
        QTest::newRow("smaller") << QSize(150, 80);
        QTest::newRow("the decoded size") << QSize(400, 200);
        QTest::newRow("larger along one side") << QSize(300, 250);
        QTest::newRow("not foreseen") << QSize();
    }

    void aPictureForetoldSmallerIsScaledDownAhead()
    {
        QFETCH(QSize, drawn);
        const QString path = m_box.path(u"foretold.jpg"_qs);
        QVERIFY(quadrants().scaled(800, 400).save(path, "JPEG", 95));
        const QSize bound(400, 200);
        QSize askedFor;
        const auto forecast = [&askedFor, drawn](QSize natural) {
            askedFor = natural;
            return drawn;
        };
        PictureAhead ahead;
        ahead.start(path, bound, QSize(), forecast);
        const PictureAhead::Picture picture = ahead.take(path);
        QCOMPARE(picture.image.size(), bound);
        QCOMPARE(askedFor, QSize(800, 400));
        const bool smaller = drawn.isValid() && drawn.width() < 400 && drawn.height() < 200;
        QCOMPARE(picture.downscaled.isNull(), !smaller);
        if (!smaller)
            return;
        QCOMPARE(picture.downscaled, PictureBuffer::shrunk(picture.image, drawn));

        // On screen, the picture scaled ahead is the one a step scales itself.
        const auto shown = [&](bool scaledAhead) {
            CanvasTarget target(QSize(200, 100));
            PictureBuffer back;
            cImage surface(&target, &back);
            if (scaledAhead)
                surface.decodeAhead(path, bound, QSize(), forecast);
            surface.LoadPic(path, bound);
            surface.setStretch(true);
            surface.Move(10, 5, drawn.width(), drawn.height());
            surface.setVisible(true);
            return target.shown().copy();
        };
        QCOMPARE(shown(true), shown(false));
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

    // A reduced picture is drawn while it is drawn no larger than it is; showing it one to one
    // or larger decodes it whole, and the surface keeps the natural size throughout.
    void aReducedPictureIsDecodedWholeWhenDrawnLarger_data()
    {
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<QSize>("drawn");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("one to one")
            << false << QSize(800, 400) << QPoint(420, 20) << QColor(Qt::green);
        QTest::newRow("stretched beyond the reduced size")
            << true << QSize(400, 200) << QPoint(100, 150) << QColor(Qt::blue);
    }

    void aReducedPictureIsDecodedWholeWhenDrawnLarger()
    {
        QFETCH(bool, stretch);
        QFETCH(QSize, drawn);
        QFETCH(QPoint, probe);
        QFETCH(QColor, colour);
        const QString path = m_box.path(u"reduced.jpg"_qs);
        QVERIFY(quadrants().scaled(800, 400).save(path, "JPEG", 95));
        CanvasTarget target(QSize(900, 500));
        PictureBuffer back;
        cImage surface(&target, &back);
        QVERIFY(surface.LoadPic(path, QSize(200, 100)));
        QCOMPARE(back.image().size(), QSize(200, 100));
        QCOMPARE(QSize(surface.width(), surface.height()), QSize(800, 400));

        surface.setStretch(true);
        surface.Move(0, 0, 160, 80);
        surface.setVisible(true);
        QVERIFY(back.isReduced());
        const auto near = [&target](QPoint p, const QColor &c) {
            const QColor got = target.shown().pixelColor(p);
            return std::abs(got.red() - c.red()) < 24 && std::abs(got.green() - c.green()) < 24
                && std::abs(got.blue() - c.blue()) < 24;
        };
        QVERIFY(near(QPoint(100, 10), Qt::green));

        surface.setStretch(stretch);
        surface.Move(0, 0, drawn.width(), drawn.height());
        QVERIFY(!back.isReduced());
        QCOMPARE(back.image().size(), QSize(800, 400));
        QCOMPARE(back.size(), QSize(800, 400));
        QVERIFY(near(probe, colour));
    }

    // A picture shown at natural size is drawn first from the part a window shows of it; the
    // whole replaces it once decoded, also where the file changed in between.
    void aLargePictureIsDrawnFromItsPartUntilTheWholeArrives_data()
    {
        // "start": part and whole decoded from the start; "next": the part decoded ahead of
        // the step, the whole after it.
        QTest::addColumn<QString>("ahead");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<bool>("replace");
        QTest::newRow("decoded by the step") << u""_qs << false << false;
        QTest::newRow("decoded at start, part first") << u"start"_qs << false << false;
        QTest::newRow("decoded at start, whole ready before the surface")
            << u"start, whole ready"_qs << false << false;
        QTest::newRow("part decoded ahead") << u"next"_qs << false << false;
        QTest::newRow("part decoded ahead, replaced") << u"next"_qs << false << true;
        QTest::newRow("replaced before the whole is in place") << u""_qs << false << true;
        QTest::newRow("stretched: the whole at once") << u"start"_qs << true << false;
    }

    void aLargePictureIsDrawnFromItsPartUntilTheWholeArrives()
    {
        QFETCH(QString, ahead);
        QFETCH(bool, stretch);
        QFETCH(bool, replace);
        const QString path = m_box.path(u"large.jpg"_qs);
        QVERIFY(quadrants().scaled(1200, 800).save(path, "JPEG", 95));
        const QSize part(400, 300);
        CanvasTarget target(QSize(300, 200));
        PictureBuffer back;
        cImage surface(&target, &back);
        if (ahead.startsWith(u"start")) {
            auto atStart = std::make_unique<PictureAhead>();
            atStart->start(path, QSize(), part);
            if (ahead.endsWith(u"whole ready"))
                QTRY_VERIFY(atStart->isRestReady());
            surface.setPictureAhead(std::move(atStart));
        } else if (ahead == u"next") {
            surface.decodeAhead(path, QSize(), part);
        }
        QVERIFY(surface.LoadPic(path, stretch ? QSize(300, 200) : QSize(), part));
        QCOMPARE(QSize(surface.width(), surface.height()), QSize(1200, 800));
        QCOMPARE(back.isPartial(), !stretch);
        if (replace) {
            // Same size, other colours; the stamp differs by its times at least.
            QImage other(1200, 800, QImage::Format_RGB32);
            other.fill(Qt::white);
            QVERIFY(other.save(path, "JPEG", 95));
        }
        if (stretch) {
            QVERIFY(!back.isReduced());
            QCOMPARE(back.image().size(), QSize(1200, 800));
            return;
        }
        // Scrolled to the lower right before the whole is in: only background is drawn there.
        surface.Move(-900, -600, 1200, 800);
        surface.setVisible(true);
        QCOMPARE(at(target, 100, 100), target.back);
        QTRY_VERIFY(!back.isPartial());
        QCOMPARE(back.image().size(), QSize(1200, 800));
        const QColor lowerRight = at(target, 100, 100);
        const QColor expected = replace ? QColor(Qt::white) : QColor(Qt::yellow);
        QVERIFY2(std::abs(lowerRight.red() - expected.red()) < 24
                     && std::abs(lowerRight.green() - expected.green()) < 24
                     && std::abs(lowerRight.blue() - expected.blue()) < 24,
                 qPrintable(lowerRight.name()));
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
