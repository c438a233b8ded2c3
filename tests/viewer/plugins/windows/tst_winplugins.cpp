#include "FakeServices.h"
#include "FakeWindowsPlugin.h"
#include "KumoFormat.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/plugins/PluginFileKind.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/cSusie.h"
#include "viewer/plugins/windows/WindowsPluginHost.h"
#include "viewer/plugins/windows/WineHostLauncher.h"
#include "viewer/plugins/windows/WinePrefix.h"
#include "viewer/window/frmView.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace {

QString winPlugin(const char *name)
{
    return QStringLiteral(WIN_SPI_DIR "/") + QString::fromLatin1(name);
}

// A picture with runs and single pixels, an odd width (rows padded) and distinct rows, so a
// picture upside down, mirrored or shifted never passes.
QImage pattern(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y,
                           x < w / 3 ? qRgb(200, 30, y * 7 % 256)
                                     : qRgb(x * 11 % 256, y * 13 % 256, (x + y) % 256));
    }
    return image;
}

// A host played by the shell that greets, reads the offer of the shared file, writes "PIXELS"
// into it, does `effect` there ($f is the file), answers the offer with `shareResult` and the
// next call with `answer` (printf's escapes).
QString sharingHost(const QString &shareResult, const QString &effect, const QString &answer)
{
    return u"frame() { n=$(head -c 4 | od -An -tu4); head -c $n; }; printf '"_qs
        + FakeWindowsPlugin::greeting()
        + uR"('; f=$(frame | tail -c +6 | tr '\\' / | cut -c3-); printf PIXELS 1<>"$f"; )"_qs
        + effect + u"; printf '\\005\\0\\0\\0\\005"_qs + shareResult
        + u"'; frame >/dev/null; printf '"_qs + answer + u"'; sleep 30"_qs;
}

// The bits of a picture as a plug-in hands them over: bottom-up rows of blue, green, red,
// padded to 4 bytes.
QByteArray dibBits(const QImage &image)
{
    QByteArray bits;
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            bits.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p)));
        }
        bits.append((4 - image.width() * 3 % 4) % 4, '\0');
    }
    return bits;
}

} // namespace

class TestWinPlugins : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<SettingsStore> m_store;
    Options m_options;
    RecordingMessageService m_messages;
    PictureBuffer m_back;
    std::unique_ptr<cSusie> m_susie;

    // Why the Windows plug-ins given cannot run here, or empty when they can. A 32-bit one
    // (*.spi) needs the 32-bit Wine loader, which Debian ships apart (wine32, through i386
    // multiarch) and which a package index out of step can keep from being installed.
    static QString whyNotRunnable(const QStringList &plugins)
    {
        if (QStandardPaths::findExecutable(u"wine"_qs).isEmpty())
            return u"Wine is not installed (scripts/deps --windows-plugins)"_qs;
        for (const QString &plugin : plugins) {
            if (!QFile::exists(plugin))
                return plugin + u" was not built: the MinGW compilers are missing"_qs;
            const bool wine32 = QFile::exists(u"/usr/lib/wine/wine"_qs)
                || QFile::exists(u"/usr/lib/i386-linux-gnu/wine/i386-unix"_qs);
            if (plugin.endsWith(u".spi"_qs) && !wine32)
                return u"32-bit Wine (wine32) is not installed: 32-bit plug-ins cannot run"_qs;
        }
        return QString();
    }

private slots:
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        m_store = std::make_unique<SettingsStore>(m_box->path(u"config"_qs));
        m_messages.messages.clear();
        m_back.clear();
        m_susie = std::make_unique<cSusie>(m_options, &m_back, m_messages, *m_store);
        m_options.setSusiePlugins({});
    }

    void pluginKindsFromTheFileHead_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("kind");
        QByteArray elf64("\x7f"
                         "ELF\x02\x01\x01",
                         7);
        QByteArray elf32 = elf64;
        elf32[4] = 1;
        QTest::newRow("ELF, 64 bits") << elf64 << int(PluginFileKind::Native);
        QTest::newRow("ELF, 32 bits") << elf32 << int(PluginFileKind::Unknown);
        QTest::newRow("PE i386") << FakeWindowsPlugin::head(0x14C)
                                 << int(PluginFileKind::Windows32);
        QTest::newRow("PE x86-64")
            << FakeWindowsPlugin::head(0x8664) << int(PluginFileKind::Windows64);
        QTest::newRow("PE ARM64") << FakeWindowsPlugin::head(0xAA64)
                                  << int(PluginFileKind::Unknown);
        QByteArray farOff = FakeWindowsPlugin::head(0x14C);
        farOff[0x3D] = char(0x70); // the PE header beyond the bytes read
        QTest::newRow("PE header outside") << farOff << int(PluginFileKind::Unknown);
        QTest::newRow("MZ only") << QByteArray("MZ") << int(PluginFileKind::Unknown);
        QTest::newRow("text") << QByteArray("not a plug-in") << int(PluginFileKind::Unknown);
    }

    void pluginKindsFromTheFileHead()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, kind);
        QCOMPARE(int(PluginFileKind::ofHead(head)), kind);
    }

    void winePrefixPathsAndRegistry()
    {
        QCOMPARE(WinePrefix::toWinePath(u"/home/ユーザー/a b.spi"_qs),
                 u"Z:\\home\\ユーザー\\a b.spi"_qs);
        const QString prefix = m_box->folder(u"prefix"_qs);
        m_box->folder(u"prefix/drive_c/Program Files/Susie/Plug-In"_qs);
        m_box->folder(u"prefix/dosdevices"_qs);
        QVERIFY(QFile::link(u"../drive_c"_qs, prefix + u"dosdevices/c:"_qs));
        m_box->file(u"prefix/user.reg"_qs,
                    "WINE REGISTRY Version 2\n\n"
                    "[Software\\\\Kestrel\\\\Susie] 1700000000\n\"Path\"=\"C:\\\\wrong\"\n\n"
                    "[Software\\\\Kestrel\\\\Susie\\\\Plug-in] 1700000000\n#time=1d\n"
                    "\"Other\"=\"x\"\n"
                    "\"Path\"=\"c:\\\\program files\\\\SUSIE\\\\plug-in\"\n");
        QCOMPARE(WinePrefix::susiePluginPath(prefix), u"c:\\program files\\SUSIE\\plug-in"_qs);
        // Letter case is ignored as on Windows; the folder keeps its real spelling.
        QCOMPARE(WinePrefix::toUnixPath(prefix, WinePrefix::susiePluginPath(prefix)),
                 QFileInfo(prefix + u"drive_c"_qs).canonicalFilePath()
                     + u"/Program Files/Susie/Plug-In/"_qs);
        QVERIFY(WinePrefix::toUnixPath(prefix, u"D:\\none"_qs).isEmpty());
        QVERIFY(WinePrefix::toUnixPath(prefix, u"C:\\missing"_qs).isEmpty());
        QVERIFY(WinePrefix::susiePluginPath(m_box->folder(u"empty"_qs)).isEmpty());
        // Wine's escapes: \x with up to four hex digits, and \0 ends the text.
        m_box->file(u"escaped/user.reg"_qs,
                    "[Software\\\\Kestrel\\\\Susie\\\\Plug-in]\n"
                    "\"Path\"=\"C:\\\\Caf\\x00e9\\x41x\\n\\0rest\"\n");
        QCOMPARE(WinePrefix::susiePluginPath(m_box->path(u"escaped"_qs)), u"C:\\Caf\u00e9Ax\n"_qs);

        // The automatic search looks in Lunetta's folder, the user's old plug-in folder and
        // the registry's, each once.
        const QByteArray savedPrefix = qgetenv("WINEPREFIX");
        qputenv("WINEPREFIX", prefix.toLocal8Bit());
        m_store->SaveSetting(u"Susie"_qs, u"WindowsPath"_qs, u"/old/spi"_qs);
        const QStringList folders = m_susie->pluginSearchFolders();
        qputenv("WINEPREFIX", savedPrefix);
        QCOMPARE(folders.size(), 3);
        QCOMPARE(folders[1], u"/old/spi/"_qs);
        QVERIFY(folders[2].endsWith(u"/Program Files/Susie/Plug-In/"_qs));
    }

    // Hosts that misbehave, played by the shell: each call fails within its limit, the host
    // is started again for the next call, and after three failures in a row it is given up.
    void brokenHostsFailTheirCalls_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("greets");
        const QString g = FakeWindowsPlugin::greeting();
        QTest::newRow("never greets") << u"sleep 30"_qs << false;
        QTest::newRow("ends at once") << u"exit 0"_qs << false;
        QTest::newRow("greets with garbage") << u"printf 'hello there'; sleep 30"_qs << false;
        QTest::newRow("cannot load the plug-in")
            << u"printf '\\020\\0\\0\\0LSH1\\001\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0'"_qs << false;
        QTest::newRow("silent after greeting") << u"printf '"_qs + g + u"'; sleep 30"_qs << true;
        QTest::newRow("ends after greeting") << u"printf '"_qs + g + u"'"_qs << true;
        QTest::newRow("answers another call") << u"printf '"_qs + g
                + u"'; head -c 9 >/dev/null; printf '\\005\\0\\0\\0\\002\\001\\0\\0\\0'; sleep 30"_qs
                                              << true;
        QTest::newRow("huge answer") << u"printf '"_qs + g
                + u"'; head -c 9 >/dev/null; printf '\\377\\377\\377\\377\\001'; sleep 30"_qs
                                     << true;
    }

    void brokenHostsFailTheirCalls()
    {
        QFETCH(QString, script);
        QFETCH(bool, greets);
        WindowsPluginHost::Limits limits;
        limits.startMs = 800;
        limits.callMs = 400;
        WindowsPluginHost host({ u"/bin/sh"_qs, u"-c"_qs, script }, limits);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(host.start(), greets);
        QVERIFY(clock.elapsed() < limits.startMs + 1000);
        if (greets) {
            QCOMPARE(host.infos(), (QList<QByteArray> { "00IN", "x" }));
            for (int call = 1; call <= 3; ++call) {
                clock.restart();
                PluginBlock info, bits;
                QCOMPARE(call == 2 ? host.getPicture(u"/a.kmo"_qs, info, bits)
                                   : host.isSupported(u"/a.kmo"_qs, "KUMO"),
                         call == 2 ? -1 : 0);
                QVERIFY(!info.data && !bits.data);
                QVERIFY2(clock.elapsed() < limits.startMs + limits.callMs + 1000,
                         qPrintable(QString::number(clock.elapsed())));
                QVERIFY(!host.isRunning());
                QCOMPARE(host.failures(), call);
            }
            QCOMPARE(host.starts(), 3);
        }
        // Given up: nothing is started any more.
        while (!host.givenUp())
            host.start();
        const int starts = host.starts();
        QCOMPARE(host.isSupported(u"/a.kmo"_qs, "KUMO"), 0);
        QCOMPARE(host.starts(), starts);
    }

    // The pixels may come through the shared file instead of the pipe; whatever the host claims
    // or does to the file, Lunetta takes only what the file holds and fails the call otherwise.
    void sharedFileAnswersAreChecked_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("shared");
        const QString ok = u"\\0\\0\\0\\0"_qs;
        const QString refused = u"\\001\\0\\0\\0"_qs;
        // A decoded picture: the info "INFO", then the bits length (top bit: in the file).
        const QString head = u"\\002\\0\\0\\0\\0\\004\\0\\0\\0INFO"_qs;
        const QString inFile = u"\\021\\0\\0\\0"_qs + head + u"\\006\\0\\0\\200"_qs;
        QTest::newRow("pixels in the file") << sharingHost(ok, u":"_qs, inFile) << 0 << true;
        QTest::newRow("more than the file holds")
            << sharingHost(ok, u":"_qs, u"\\021\\0\\0\\0"_qs + head + u"\\007\\0\\0\\200"_qs) << -1
            << true;
        // The file is sealed: it cannot be cut under Lunetta's mapping.
        QTest::newRow("file cut by the host")
            << sharingHost(ok, u"truncate -s 0 \"$f\" 2>/dev/null"_qs, inFile) << 0 << true;
        QTest::newRow("pixels in the file and the frame")
            << sharingHost(ok, u":"_qs, u"\\027\\0\\0\\0"_qs + head + u"\\006\\0\\0\\200PIXELS"_qs)
            << -1 << true;
        QTest::newRow("host without the file, pixels in the frame") << sharingHost(
            refused, u":"_qs, u"\\027\\0\\0\\0"_qs + head + u"\\006\\0\\0\\0PIXELS"_qs)
                                                                    << 0 << false;
        QTest::newRow("host without the file, pixels claimed in it")
            << sharingHost(refused, u":"_qs, inFile) << -1 << false;
    }

    void sharedFileAnswersAreChecked()
    {
        QFETCH(QString, script);
        QFETCH(int, result);
        QFETCH(bool, shared);
        WindowsPluginHost::Limits limits;
        limits.startMs = 2000;
        limits.callMs = 2000;
        WindowsPluginHost host({ u"/bin/sh"_qs, u"-c"_qs, script }, limits);
        PluginBlock info, bits;
        QCOMPARE(host.getPicture(u"/a.kmo"_qs, info, bits), result);
        if (result == 0) {
            QCOMPARE(host.bitsInSharedFile(), shared);
            QCOMPARE(QByteArray(static_cast<const char *>(info.data.get()), qsizetype(info.size)),
                     "INFO");
            QCOMPARE(QByteArray(static_cast<const char *>(bits.data.get()), qsizetype(bits.size)),
                     "PIXELS");
        } else {
            QVERIFY(!info.data && !bits.data);
            QCOMPARE(host.failures(), 1);
            QVERIFY(!host.isRunning());
        }
    }

    // A host that claims more pixels than the picture's header describes, or more than the
    // limit, fails at once, before anything is taken for them; one that answers in good form
    // but without a picture counts against the plug-in until it is given up, though it runs on.
    void hostAnswersAreHeldToThePicture_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("keepsRunning");
        // A 100 x 100 picture of 24 bits: 30,000 bytes of pixels.
        const QString header = u"\\050\\0\\0\\0\\144\\0\\0\\0\\144\\0\\0\\0\\001\\0\\030\\0"_qs
            + QString(u"\\0"_qs).repeated(24);
        // The frame's length, the call, success and the header; then the announced bits.
        const QString picture = u"\\002\\0\\0\\0\\0\\050\\0\\0\\0"_qs + header;
        QTest::newRow("2 GB for 100 x 100")
            << u"\\065\\0\\0\\177"_qs + picture + u"\\0\\0\\0\\177"_qs << -1 << false;
        // 32768 x 32769 at 1 bit: 128 MiB of bits, but 4 GiB once shown at 32 bits.
        QTest::newRow("1 bit, over the limit at 32 bits")
            << u"\\065\\020\\0\\010\\002\\0\\0\\0\\0\\050\\0\\0\\0\\050\\0\\0\\0\\0\\200\\0\\0"_qs
               u"\\001\\200\\0\\0\\001\\0\\001\\0"_qs
                + QString(u"\\0"_qs).repeated(24) + u"\\0\\020\\0\\010"_qs
            << -1 << false;
        QTest::newRow("one byte more than the header")
            << u"\\146\\165\\0\\0"_qs + picture + u"\\061\\165\\0\\0"_qs << -1 << false;
        QTest::newRow("no header, 1.5 GB")
            << u"\\015\\0\\0\\140\\002\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\140"_qs << -1 << false;
        QTest::newRow("refused in good form")
            << u"\\015\\0\\0\\0\\002\\002\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0"_qs << 2 << true;
        QTest::newRow("success without a picture")
            << u"\\015\\0\\0\\0\\002\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0"_qs << -1 << true;
    }

    void hostAnswersAreHeldToThePicture()
    {
        QFETCH(QString, answer);
        QFETCH(int, result);
        QFETCH(bool, keepsRunning);
        WindowsPluginHost::Limits limits;
        limits.startMs = 5000;
        limits.callMs = 4000;
        // Refuses the shared file, then gives every call the same answer (sent in full only
        // when it is small).
        const QString script = u"frame() { n=$(head -c 4 | od -An -tu4); head -c $n; }; printf '"_qs
            + FakeWindowsPlugin::greeting()
            + u"'; frame >/dev/null; printf '\\005\\0\\0\\0\\005\\001\\0\\0\\0'; "
              u"while frame >/dev/null; do printf '"_qs
            + answer + u"'; done; sleep 30"_qs;
        WindowsPluginHost host({ u"/bin/sh"_qs, u"-c"_qs, script }, limits);
        for (int call = 1; call <= limits.maxFailures; ++call) {
            QElapsedTimer clock;
            clock.start();
            PluginBlock info, bits;
            QCOMPARE(host.getPicture(u"/a.kmo"_qs, info, bits), result);
            QVERIFY(!info.data && !bits.data);
            QCOMPARE(host.failures(), call);
            QCOMPARE(host.isRunning(), keepsRunning && call < limits.maxFailures);
            // Not left waiting for gigabytes that never come.
            QVERIFY2(clock.elapsed() < limits.callMs - 1000,
                     qPrintable(QString::number(clock.elapsed())));
        }
        QVERIFY(host.givenUp());
        PluginBlock info, bits;
        QCOMPARE(host.getPicture(u"/a.kmo"_qs, info, bits), -1);
        QCOMPARE(host.failures(), limits.maxFailures);
    }

    // Only a picture clears the failures: a plug-in whose settings dialog answers but that
    // decodes no file is still given up after three files.
    void dialogsDoNotClearFailures()
    {
        WindowsPluginHost::Limits limits;
        limits.startMs = 5000;
        limits.callMs = 4000;
        limits.dialogMs = 4000;
        // Refuses the shared file; answers a dialog with 0 and a picture without one.
        const QString script = u"frame() { n=$(head -c 4 | od -An -tu4); head -c $n; }; printf '"_qs
            + FakeWindowsPlugin::greeting()
            + u"'; frame >/dev/null; printf '\\005\\0\\0\\0\\005\\001\\0\\0\\0'; "
              u"while op=$(frame | od -An -tu1 -N1); [ -n \"$op\" ]; do "
              u"if [ $op = 3 ]; then printf '\\005\\0\\0\\0\\003\\0\\0\\0\\0'; "
              u"else printf '\\015\\0\\0\\0\\002\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0'; fi; "
              u"done; sleep 30"_qs;
        WindowsPluginHost host({ u"/bin/sh"_qs, u"-c"_qs, script }, limits);
        for (int call = 1; call <= limits.maxFailures; ++call) {
            PluginBlock info, bits;
            QCOMPARE(host.getPicture(u"/a.kmo"_qs, info, bits), -1);
            QCOMPARE(host.failures(), call);
            if (call < limits.maxFailures) {
                QCOMPARE(host.configurationDlg(0), 0);
                QCOMPARE(host.failures(), call);
            }
        }
        QVERIFY(host.givenUp());
    }

    // The real hosts take the shared file, grow it for a larger picture and go on using it for
    // a smaller one.
    void hostsPutPicturesIntoTheSharedFile_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<int>("kind");
        QTest::newRow("32-bit .spi") << winPlugin("kumo.spi") << int(PluginFileKind::Windows32);
        QTest::newRow("64-bit .sph") << winPlugin("kumo.sph") << int(PluginFileKind::Windows64);
    }

    void hostsPutPicturesIntoTheSharedFile()
    {
        QFETCH(QString, plugin);
        QFETCH(int, kind);
        if (const QString why = whyNotRunnable({ plugin }); !why.isEmpty())
            QSKIP(qPrintable(why));
        WindowsPluginHost host(WineHostLauncher::command(PluginFileKind::Kind(kind), plugin),
                               WineHostLauncher::limits());
        // 1 MiB, then 2.6 MiB, then a little again.
        for (const QSize size : { QSize(37, 23), QSize(1001, 900), QSize(13, 7) }) {
            const QImage expected = pattern(size.width(), size.height());
            const QString file
                = m_box->file(QStringLiteral("%1.kmo").arg(size.width()), encodeKumo(expected));
            PluginBlock info, bits;
            QCOMPARE(host.getPicture(file, info, bits), 0);
            QVERIFY(host.bitsInSharedFile());
            QCOMPARE(QByteArray(static_cast<const char *>(bits.data.get()), qsizetype(bits.size)),
                     dibBits(expected));
        }
        QCOMPARE(host.starts(), 1);
    }

    void withoutWineWindowsPluginsDoNotLoad()
    {
        const QString spi = m_box->file(u"old.spi"_qs, FakeWindowsPlugin::head(0x14C));
        const QString sph = m_box->file(u"old.sph"_qs, FakeWindowsPlugin::head(0x8664));
        const QByteArray saved = qgetenv("LUNETTA_WINE");
        qputenv("LUNETTA_WINE", "/nonexistent/wine");
        QVERIFY(!m_susie->IsPlugin(spi));
        QVERIFY(!m_susie->IsPlugin(sph));
        QStringList found;
        QCOMPARE(m_susie->GetPluginFileName(m_box->root(), found), -1);
        qputenv("LUNETTA_WINE", saved);
        QVERIFY(m_messages.messages.isEmpty());
    }

    void windowsPluginsDecodeThroughTheHost_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::newRow("32-bit .spi") << winPlugin("kumo.spi");
        QTest::newRow("64-bit .sph") << winPlugin("kumo.sph");
        QTest::newRow("chattering on its standard output") << winPlugin("noisy.spi");
        QTest::newRow("Lunetta's own build") << QStringLiteral(NATIVE_KUMO);
    }

    void windowsPluginsDecodeThroughTheHost()
    {
        QFETCH(QString, plugin);
        if (plugin.startsWith(QStringLiteral(WIN_SPI_DIR)))
            if (const QString why = whyNotRunnable({ plugin }); !why.isEmpty())
                QSKIP(qPrintable(why));
        QCOMPARE(m_susie->GetPluginAPIVersion(plugin), u"00IN"_qs);
        // Its texts were written in code page 932.
        QCOMPARE(m_susie->ShowAbout(plugin), u"Kumo 画像 (くも)"_qs);
        QStringList patterns, types;
        QCOMPARE(m_susie->GetPluginCorrespondExtension(plugin, patterns, types), 1);
        QCOMPARE(patterns, QStringList { u"*.kmo"_qs });
        QCOMPARE(types, QStringList { u"Kumo picture"_qs });
        QCOMPARE(m_susie->ShowConfigurationDlg(plugin, 0, 0), 0);

        const QImage expected = pattern(37, 23);
        // A name the system's code page may not spell reaches the plug-in too.
        const QString file = m_box->file(u"雲の絵.kmo"_qs, encodeKumo(expected));
        m_options.setSusiePlugins({ plugin });
        QCOMPARE(m_susie->GetSupportPlugin(file), plugin);
        QVERIFY(m_susie->GetSupportPlugin(m_box->file(u"plain.txt"_qs, "hello")).isEmpty());
        QVERIFY(m_susie->LoadPicture(file));
        QCOMPARE(m_back.size(), expected.size());
        QCOMPARE(m_back.image().convertToFormat(QImage::Format_RGB32), expected);
        // A damaged file is a failed decode, and the plug-in goes on working.
        QVERIFY(!m_susie->LoadPicture(m_box->file(u"cut.kmo"_qs, encodeKumo(expected).left(300))));
        QVERIFY(m_susie->LoadPicture(file));
        QCOMPARE(m_susie->library().runningHosts(), plugin.contains(u"winspi") ? 1 : 0);
        QCOMPARE(m_messages.messages.size(), 1); // the about box
    }

    void hangingAndCrashingPluginsAreGivenUp_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<int>("limitMs");
        QTest::newRow("hangs") << winPlugin("hang.spi") << 2000;
        QTest::newRow("crashes") << winPlugin("crash.sph") << 0;
    }

    // The show goes on: each file the bad plug-in claims fails within the time limit and is
    // dropped; after three failures the plug-in is skipped and the next one decodes.
    void hangingAndCrashingPluginsAreGivenUp()
    {
        QFETCH(QString, plugin);
        QFETCH(int, limitMs);
        if (const QString why = whyNotRunnable({ plugin, winPlugin("kumo.spi") }); !why.isEmpty())
            QSKIP(qPrintable(why));
        QStringList files;
        for (int i = 0; i < 5; ++i)
            files << m_box->file(QStringLiteral("%1.kmo").arg(i), encodeKumo(pattern(8 + i, 6)));

        Options options;
        FakeClock clock;
        FakeRandom random;
        FakeEventPump events;
        Slideshow show(options, m_messages, clock, random, events);
        frmView view(options, show);
        cSusie susie(options, &view.picBack, m_messages, *m_store);
        show.setViewer(&view);
        show.setPluginBridge(&susie);
        options.setSusiePlugins({ plugin, winPlugin("kumo.spi") });
        options.setCheck(Opt::chkUseSusiePlugin, 1);
        for (const QString &p : files)
            show.playList.appendToPlayList(p);
        show.nextIndex = 1;
        show.stateFlags = StateBit::Running;
        view.measureViewer();

        QElapsedTimer elapsed;
        elapsed.start();
        show.showNextFile();
        // The step waits for the plug-ins' answers with the event loop running.
        QVERIFY(QTest::qWaitFor([&] { return !show.isStepPending(); }, 6 * (limitMs + 3000)));
        // Three files failed, each within the limit and a host start; the fourth showed.
        QVERIFY2(elapsed.elapsed() < 3 * (limitMs + 3000),
                 qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(show.playList.count(), 2);
        QCOMPARE(view.pictureSize(), QSize(11, 6));
        show.showNextFile();
        QVERIFY(QTest::qWaitFor([&] { return !show.isStepPending(); }, limitMs + 3000));
        QCOMPARE(view.pictureSize(), QSize(12, 6));
        QVERIFY(!susie.IsPlugin(plugin));
        QVERIFY(m_messages.messages.isEmpty());
    }
};

QTEST_MAIN(TestWinPlugins)
#include "tst_winplugins.moc"
