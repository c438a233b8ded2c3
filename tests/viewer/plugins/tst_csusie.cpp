#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "viewer/picture/ColourConversion.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/plugins/PluginDefaults.h"
#include "viewer/plugins/cSusie.h"

#include <QColorSpace>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

QString testPlugin(const char *name)
{
    return QStringLiteral(TEST_SPI_DIR "/") + QString::fromLatin1(name) + u".spi"_qs;
}

QString shipped(const char *name)
{
    return QStringLiteral(SHIPPED_SPI_DIR "/") + QString::fromLatin1(name) + u".spi"_qs;
}

QString fixture(const QString &name)
{
    return QStringLiteral(PLUGIN_FIXTURES "/") + name;
}

} // namespace

class TestSusie : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<SettingsStore> m_store;
    Options m_options;
    RecordingMessageService m_messages;
    PictureBuffer m_back;
    std::unique_ptr<cSusie> m_susie;

    // A file the test plug-ins accept, answered as `mode` says.
    QString testFile(const QString &mode)
    {
        return m_box->file(mode + u".ltst"_qs, "LTST " + mode.toLatin1() + "\n");
    }

    void usePlugins(const QStringList &plugins) { m_options.setSusiePlugins(plugins); }

private slots:
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        m_store = std::make_unique<SettingsStore>(m_box->path(u"config"_qs));
        m_messages.messages.clear();
        m_back.clear();
        m_susie = std::make_unique<cSusie>(m_options, &m_back, m_messages, *m_store);
        usePlugins({});
    }

    void shippedPluginsDecodeTheirFixtures_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("extensions");
        QTest::addColumn<int>("tolerance");
        // Lossless but for HEIC, which x265 always codes with loss.
        QTest::newRow("gif") << shipped("gif") << u"sample.gif"_qs << u"*.gif"_qs << 0;
        QTest::newRow("avif") << shipped("avif") << u"sample.avif"_qs << u"*.avif"_qs << 2;
        QTest::newRow("heif") << shipped("heif") << u"sample.heic"_qs << u"*.heic;*.heif;*.hif"_qs
                              << 24;
        QTest::newRow("jxl") << shipped("jxl") << u"sample.jxl"_qs << u"*.jxl"_qs << 0;
    }

    void shippedPluginsDecodeTheirFixtures()
    {
        QFETCH(QString, plugin);
        QFETCH(QString, file);
        QFETCH(QString, extensions);
        QFETCH(int, tolerance);
        QCOMPARE(m_susie->GetPluginAPIVersion(plugin), u"00IN"_qs);
        QStringList patterns, types;
        QCOMPARE(m_susie->GetPluginCorrespondExtension(plugin, patterns, types), 1);
        QCOMPARE(patterns, QStringList { extensions });
        QVERIFY(!types.first().isEmpty());

        // Every shipped plug-in in the list; only the right one claims the file.
        usePlugins({ shipped("gif"), shipped("avif"), shipped("heif"), shipped("jxl") });
        QCOMPARE(m_susie->GetSupportPlugin(fixture(file)), plugin);
        QVERIFY(m_susie->LoadPicture(fixture(file)));
        QCOMPARE(m_back.size(), QSize(64, 48));
        const QImage &image = m_back.image();
        auto near = [tolerance](QRgb a, QRgb b) {
            return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
                && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
        };
        QVERIFY2(near(image.pixel(8, 8), qRgb(255, 0, 0)), "top left is red");
        QVERIFY2(near(image.pixel(56, 8), qRgb(0, 255, 0)), "top right is green");
        QVERIFY2(near(image.pixel(8, 40), qRgb(0, 0, 255)), "bottom left is blue");
        // The GIF's white quadrant is transparent: it shows the GIF's background colour, and
        // its all-red second frame is not shown.
        const QRgb corner = file.endsWith(u"gif") ? qRgb(255, 0, 255) : qRgb(255, 255, 255);
        QVERIFY2(near(image.pixel(56, 40), corner), "bottom right");
        QVERIFY(m_messages.messages.isEmpty());
    }

    // The colours a file states reach the screen as they are meant: Display P3 by HEIF's and
    // AVIF's code points, Adobe RGB by the ICC profile in a JPEG XL; with conversion off, the
    // numbers are drawn as they are.
    void shippedPluginsTellTheColoursOfTheirPictures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QColorSpace>("stated");
        QTest::addColumn<bool>("managed");
        QTest::addColumn<int>("tolerance");
        const QColorSpace p3(QColorSpace::DisplayP3);
        QTest::newRow("heif nclx") << u"p3.heic"_qs << p3 << true << 4;
        QTest::newRow("avif nclx") << u"p3.avif"_qs << p3 << true << 2;
        QTest::newRow("avif off") << u"p3.avif"_qs << p3 << false << 2;
        QTest::newRow("jxl icc") << u"adobe.jxl"_qs << QColorSpace(QColorSpace::AdobeRgb) << true
                                 << 2;
    }
    void shippedPluginsTellTheColoursOfTheirPictures()
    {
        QFETCH(QString, file);
        QFETCH(QColorSpace, stated);
        QFETCH(bool, managed);
        QFETCH(int, tolerance);
        usePlugins({ shipped("gif"), shipped("avif"), shipped("heif"), shipped("jxl") });
        const QColor stored(180, 120, 60);
        const QColor expected
            = managed ? stated.transformationToColorSpace(QColorSpace::SRgb).map(stored) : stored;
        ColourConversion::setEnabled(managed);
        const bool loaded = m_susie->LoadPicture(fixture(file));
        ColourConversion::setEnabled(true);
        QVERIFY(loaded);
        const QColor got = m_back.image().pixelColor(32, 24);
        QVERIFY2(qAbs(got.red() - expected.red()) <= tolerance
                     && qAbs(got.green() - expected.green()) <= tolerance
                     && qAbs(got.blue() - expected.blue()) <= tolerance,
                 qPrintable(got.name() + u" instead of "_qs + expected.name()));
    }

    void damagedPicturesAreNotDisplayable_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *name : { "sample.gif", "sample.avif", "sample.heic", "sample.jxl" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void damagedPicturesAreNotDisplayable()
    {
        QFETCH(QString, file);
        usePlugins({ shipped("gif"), shipped("avif"), shipped("heif"), shipped("jxl") });
        const QByteArray good = readFile(fixture(file));
        QVERIFY(!good.isEmpty());
        QRandomGenerator random(7);
        QByteArray noise(4096, '\0');
        for (char &c : noise)
            c = char(random.bounded(256));
        const QByteArray cases[] = {
            good.left(good.size() / 2), // truncated
            good.left(40), // the head only
            good.left(16) + noise, // a right head, random bytes after it
            noise, // random bytes
        };
        for (const QByteArray &bytes : cases) {
            const QString path = m_box->file(file, bytes);
            QVERIFY2(!m_susie->LoadPicture(path), qPrintable(QString::number(bytes.size())));
            QVERIFY(m_back.isEmpty());
        }
    }

    void higherPluginDecodesAndBrokenOnesAreSkipped()
    {
        const QString file = testFile(u"ok24"_qs);
        const QString notAPlugin = m_box->file(u"broken.spi"_qs, "not an ELF file");
        usePlugins({ notAPlugin, testPlugin("incomplete"), testPlugin("red"), testPlugin("blue") });
        QCOMPARE(m_susie->GetSupportPlugin(file), testPlugin("red"));
        QVERIFY(m_susie->LoadPicture(file));
        QCOMPARE(m_back.image().pixel(0, 0), qRgb(255, 0, 0));

        usePlugins({ testPlugin("blue"), testPlugin("red") });
        QVERIFY(m_susie->LoadPicture(file));
        QCOMPARE(m_back.image().pixel(0, 0), qRgb(0, 0, 255));

        // Nobody claims an ordinary file; a missing file is read by none.
        QVERIFY(!m_susie->LoadPicture(m_box->file(u"plain.txt"_qs, "hello")));
        QVERIFY(m_susie->GetSupportPlugin(m_box->path(u"gone.ltst"_qs)).isEmpty());
        QVERIFY(m_messages.messages.isEmpty());
    }

    void goodBitmapsOfEveryDepth_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QRgb>("top");
        QTest::addColumn<QRgb>("bottom");
        QTest::addColumn<bool>("alpha");
        const QRgb red = qRgb(255, 0, 0), black = qRgb(0, 0, 0);
        QTest::newRow("1 bit") << u"ok1"_qs << red << black << false;
        QTest::newRow("4 bits") << u"ok4"_qs << red << black << false;
        QTest::newRow("8 bits, index past the palette") << u"ok8"_qs << red << black << false;
        QTest::newRow("24 bits") << u"ok24"_qs << red << black << false;
        QTest::newRow("24 bits, a profile of noise") << u"noiseicc"_qs << red << black << false;
        QTest::newRow("24 bits, a profile past the block")
            << u"longicc"_qs << red << black << false;
        QTest::newRow("24 bits, the PQ curve") << u"pq"_qs << red << black << false;
        QTest::newRow("32 bits") << u"ok32"_qs << red << black << false;
        QTest::newRow("32 bits, fourth byte unused") << u"ok32clear"_qs << red << black << false;
        QTest::newRow("32 bits, half transparent")
            << u"ok32alpha"_qs << qRgba(255, 0, 0, 128) << qRgba(0, 0, 0, 128) << true;
    }

    void goodBitmapsOfEveryDepth()
    {
        QFETCH(QString, mode);
        QFETCH(QRgb, top);
        QFETCH(QRgb, bottom);
        QFETCH(bool, alpha);
        usePlugins({ testPlugin("red") });
        QVERIFY(m_susie->LoadPicture(testFile(mode)));
        const QImage image = m_back.image().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(4, 2));
        QCOMPARE(m_back.image().hasAlphaChannel(), alpha);
        for (int x = 0; x < 4; ++x) {
            QCOMPARE(image.pixel(x, 0), top);
            QCOMPARE(image.pixel(x, 1), bottom);
        }
    }

    void badAnswersAreFailedDecodes_data()
    {
        QTest::addColumn<QString>("mode");
        for (const char *m :
             { "zero", "negw", "negh", "huge", "vast", "bits16", "short", "shortsize", "palette",
               "nopalette", "shortpalette", "compressed", "nullbits", "fail" })
            QTest::newRow(m) << QString::fromLatin1(m);
    }

    void badAnswersAreFailedDecodes()
    {
        QFETCH(QString, mode);
        usePlugins({ testPlugin("red") });
        QVERIFY(m_susie->LoadPicture(testFile(u"ok24"_qs)));
        QVERIFY(!m_susie->LoadPicture(testFile(mode)));
        // The picture before stays, and nothing was said.
        QCOMPARE(m_back.size(), QSize(4, 2));
        QVERIFY(m_messages.messages.isEmpty());
    }

    void pluginFolderListsOnlyPlugins()
    {
        QStringList paths { u"/kept/first.spi"_qs };
        QCOMPARE(m_susie->GetPluginFileName(m_box->folder(u"empty"_qs), paths), 0);
        QCOMPARE(paths.size(), 1);
        paths.clear();
        QCOMPARE(m_susie->GetPluginFileName(m_box->folder(u"empty"_qs), paths), -1);
        // The test plug-ins' folder, without a trailing "/": the broken one is not listed.
        QCOMPARE(m_susie->GetPluginFileName(QStringLiteral(TEST_SPI_DIR), paths), 2);
        QCOMPARE(paths,
                 (QStringList { testPlugin("archive"), testPlugin("blue"), testPlugin("red") }));

        // The folder setting names another folder; by default it is Lunetta's own.
        QVERIFY(m_susie->GetSusiePluginFolder().endsWith(u"/plugins/"_qs));
        m_store->SaveSetting(u"Susie"_qs, u"Path"_qs, u"/opt/spi/"_qs);
        QCOMPARE(m_susie->GetSusiePluginFolder(), u"/opt/spi/"_qs);
        QCOMPARE(m_susie->GetSplayVersion(), 1);
    }

    void infoAboutAndSettings()
    {
        QCOMPARE(m_susie->GetPluginAPIVersion(testPlugin("archive")), u"00AM"_qs);
        QVERIFY(m_susie->GetPluginAPIVersion(testPlugin("incomplete")).isEmpty());
        QVERIFY(m_susie->GetPluginAPIVersion(m_box->path(u"none.spi"_qs)).isEmpty());
        QVERIFY(!m_susie->IsPlugin(m_box->file(u"x.spi"_qs, "x")));
        QStringList patterns, types;
        QCOMPARE(
            m_susie->GetPluginCorrespondExtension(m_box->path(u"none.spi"_qs), patterns, types), 0);

        QCOMPARE(m_susie->ShowAbout(testPlugin("red")), u"Test plug-in red"_qs);
        QCOMPARE(m_messages.messages.size(), 1);
        QCOMPARE(m_messages.messages[0].caption, u"Susie Plugin情報"_qs);
        QCOMPARE(m_messages.messages[0].buttons, MsgButtons::Ok);
        QVERIFY(m_susie->ShowAbout(QString()).isEmpty());
        QCOMPARE(m_messages.messages.size(), 1);

        QCOMPARE(m_susie->ShowConfigurationDlg(QString(), 0, 0), -2);
        QCOMPARE(m_susie->ShowConfigurationDlg(m_box->path(u"none.spi"_qs), 0, 0), -2);
        QCOMPARE(m_susie->ShowConfigurationDlg(testPlugin("red"), 0, 0), 0);
        QCOMPARE(m_susie->ShowConfigurationDlg(testPlugin("blue"), 0, 0), -1);
    }

    void progressTexts()
    {
        QCOMPARE(cSusie::progressText(0, 50), u"展開開始"_qs);
        QCOMPARE(cSusie::progressText(50, 50), u"展開完了 (100%)"_qs);
        QCOMPARE(cSusie::progressText(2, 3), u"展開中 (66%)"_qs);
        QString caption;
        m_susie->setCaptionSink([&caption](const QString &t) { caption = t; });
        QCOMPARE(m_susie->ProgressCallback(1, 4, 0), 0);
        QCOMPARE(caption, u"展開中 (25%)"_qs);
    }

    void newSettingsStartWithThePluginsOn()
    {
        const QStringList plugins { shipped("gif"), shipped("jxl") };
        QVERIFY(PluginDefaults::seedFirstRun(*m_store, plugins));
        QCOMPARE(m_store->GetSetting(u"Options"_qs, u"chkUseSusiePlugin"_qs), u"1"_qs);
        QCOMPARE(m_store->GetSetting(u"Options"_qs, SettingKeys::susiePlugin(2)), shipped("jxl"));

        // Settings that exist are never changed.
        SettingsStore used(m_box->path(u"used"_qs));
        used.SaveSetting(u"Options"_qs, u"chkUseSusiePlugin"_qs, u"0"_qs);
        QVERIFY(!PluginDefaults::seedFirstRun(used, plugins));
        QCOMPARE(used.GetSetting(u"Options"_qs, u"chkUseSusiePlugin"_qs), u"0"_qs);
        QVERIFY(!used.hasSetting(u"Options"_qs, SettingKeys::susiePlugin(1)));
    }
};

QTEST_GUILESS_MAIN(TestSusie)
#include "tst_csusie.moc"
