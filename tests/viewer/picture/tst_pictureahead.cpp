#include "PictureFixtures.h"
#include "Sandbox.h"

#include "viewer/picture/PictureAhead.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/picture/cImage.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <memory>

// The decode ahead of the next file and what the surface takes from it: only for the unchanged
// file, once; reduced to a bound, in a part first, or scaled down to the size it is drawn at.
class TestPictureAhead : public QObject
{
    Q_OBJECT

    Sandbox m_box;
    QString m_picture;

private slots:
    void initTestCase()
    {
        m_picture = m_box.path(u"quadrants.png"_qs);
        QVERIFY(quadrants().save(m_picture, "PNG"));
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
};

QTEST_GUILESS_MAIN(TestPictureAhead)
#include "tst_pictureahead.moc"
