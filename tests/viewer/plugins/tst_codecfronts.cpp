// The HEIF, AVIF and JPEG XL plug-ins answer IsSupported without their codec libraries, which
// load only with the first picture; their answers must be the libraries' own. The GIF plug-in
// refuses a picture over the limit from its header.
#include "lunetta_plugin.h"

#include "Sandbox.h"

#include <QFile>
#include <QTest>

#include <dlfcn.h>

#include <functional>
#include <random>

namespace {

using IsSupportedFunction = int (*)(const char *, const void *);
using GetPictureFunction = int (*)(const char *, long, unsigned int, void **, void **,
                                   LunettaProgressCallback, intptr_t);

struct Shipped
{
    const char *name;
    const char *library; // the codec library's file name prefix, as the loader lists it
    const char *fixture;
};

const Shipped shipped[] = { { "heif", "libheif.so", "sample.heic" },
                            { "avif", "libavif.so", "sample.avif" },
                            { "jxl", "libjxl.so", "sample.jxl" } };

QByteArray pluginPath(const char *name)
{
    return QByteArray(SHIPPED_SPI_DIR "/") + name + ".spi";
}

bool libraryLoaded(const char *prefix)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return true;
    return maps.readAll().contains(QByteArray("/") + prefix);
}

// File heads shaped like the starts of ISO media and JPEG XL files, with the sizes, brands and
// signatures the tests turn on, and random bytes around them.
QByteArray madeUpHead(std::mt19937 &random)
{
    static const char *const brands[]
        = { "heic", "heix", "avif", "avis", "mif1", "isom", "msf1", "hevc", "abcd" };
    static const char *const types[] = { "ftyp", "ftyp", "ftyp", "uuid", "moov" };
    static const uint64_t sizes[]
        = { 0, 1, 4, 7, 8, 12, 15, 16, 17, 20, 24, 28, 32, 100, 2044, 2047, 2048, 2049, 4096 };
    QByteArray head(LUNETTA_PLUGIN_HEAD_SIZE, '\0');
    auto *d = reinterpret_cast<uint8_t *>(head.data());
    const int fill = int(random() % 3);
    for (int i = 0; i < head.size(); ++i)
        d[i] = fill == 0 ? 0 : fill == 1 ? uint8_t(random()) : uint8_t("avifheic"[random() % 8]);
    if (random() % 8 == 0) {
        static const uint8_t container[]
            = { 0, 0, 0, 0x0C, 'J', 'X', 'L', ' ', 0x0D, 0x0A, 0x87, 0x0A };
        static const uint8_t codestream[] = { 0xFF, 0x0A };
        const bool bare = random() % 2;
        const size_t length = bare ? sizeof codestream : sizeof container;
        std::memcpy(d, bare ? codestream : container, length);
        if (random() % 3 == 0)
            d[random() % length] ^= uint8_t(1 + random() % 255);
        return head;
    }
    const uint64_t size = sizes[random() % std::size(sizes)];
    for (int i = 0; i < 4; ++i)
        d[i] = uint8_t(size >> (24 - 8 * i));
    std::memcpy(d + 4, types[random() % std::size(types)], 4);
    int offset = 8;
    if (size == 1 || random() % 10 == 0) {
        const uint64_t large = random() % 2 ? sizes[random() % std::size(sizes)]
                                            : uint64_t(random()) << (random() % 40);
        for (int i = 0; i < 8; ++i)
            d[8 + i] = uint8_t(large >> (56 - 8 * i));
        offset = 16;
    }
    const int count = int(random() % 6);
    for (int i = 0; i < count; ++i) {
        if (i != 1) // the minor version
            std::memcpy(d + offset + 4 * i, brands[random() % std::size(brands)], 4);
    }
    return head;
}

void putU16(QByteArray &b, int v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}

// A GIF of a few bytes: a screen, a two-colour palette and one frame with a single code.
QByteArray tinyGif(int screenWidth, int screenHeight, int left, int frameWidth, int frameHeight)
{
    QByteArray b("GIF89a");
    putU16(b, screenWidth);
    putU16(b, screenHeight);
    b.append("\x80\0\0", 3).append("\0\0\0\xFF\xFF\xFF", 6);
    b.append(',');
    putU16(b, left);
    putU16(b, 0);
    putU16(b, frameWidth);
    putU16(b, frameHeight);
    b.append("\0\x02\x02\x4C\x01\0;", 7);
    return b;
}

} // namespace

class TestCodecFronts : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: nothing else in this test has loaded a codec library yet.
    void codecLibrariesLoadWithTheFirstPicture()
    {
        for (const Shipped &plugin : shipped) {
            void *front = dlopen(pluginPath(plugin.name).constData(), RTLD_NOW | RTLD_LOCAL);
            QVERIFY2(front, dlerror());
            auto isSupported = reinterpret_cast<IsSupportedFunction>(dlsym(front, "IsSupported"));
            auto getPicture = reinterpret_cast<GetPictureFunction>(dlsym(front, "GetPicture"));
            QVERIFY(isSupported && getPicture);

            QFile file(QStringLiteral(PLUGIN_FIXTURES "/") + QLatin1String(plugin.fixture));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QByteArray head = file.read(LUNETTA_PLUGIN_HEAD_SIZE);
            head.resize(LUNETTA_PLUGIN_HEAD_SIZE, '\0');
            const QByteArray path = file.fileName().toLocal8Bit();
            QVERIFY(isSupported(path.constData(), head.constData()));
            QVERIFY2(!libraryLoaded(plugin.library), plugin.library);

            void *info = nullptr;
            void *bits = nullptr;
            QCOMPARE(
                getPicture(path.constData(), 0, LUNETTA_SPI_INPUT_FILE, &info, &bits, nullptr, 0),
                LUNETTA_SPI_OK);
            QVERIFY(info && bits);
            QVERIFY(static_cast<const LunettaBitmapInfoHeader *>(info)->biWidth > 0);
            std::free(info);
            std::free(bits);
            QVERIFY2(libraryLoaded(plugin.library), plugin.library);
            dlclose(front);
        }
    }

    // Refused before any row is read: reading them would fail on the missing data instead.
    void oversizedGifsAreRefusedFromTheHeader_data()
    {
        QTest::addColumn<QByteArray>("gif");
        QTest::newRow("one row over 1 GiB") << tinyGif(16385, 16384, 0, 16385, 16384);
        QTest::newRow("largest frame, small screen") << tinyGif(1, 1, 0, 65535, 65535);
        QTest::newRow("frame past the screen") << tinyGif(16384, 16384, 1, 16384, 16384);
    }

    void oversizedGifsAreRefusedFromTheHeader()
    {
        QFETCH(QByteArray, gif);
        void *plugin = dlopen(pluginPath("gif").constData(), RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(plugin, dlerror());
        auto getPicture = reinterpret_cast<GetPictureFunction>(dlsym(plugin, "GetPicture"));
        QVERIFY(getPicture);
        Sandbox box;
        const QByteArray path = QFile::encodeName(box.file(u"huge.gif"_qs, gif));
        void *info = nullptr;
        void *bits = nullptr;
        QCOMPARE(getPicture(path.constData(), 0, LUNETTA_SPI_INPUT_FILE, &info, &bits, nullptr, 0),
                 LUNETTA_SPI_NO_MEMORY);
        QVERIFY(!info && !bits);
        dlclose(plugin);
    }

    void headTestsAgreeWithTheCodecLibraries()
    {
        // The codec modules link the libraries, so their own tests are found through them.
        auto codec = [](const char *name) {
            const QByteArray path = QByteArray(SHIPPED_SPI_DIR "/codecs/") + name + ".so";
            return dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        };
        void *heif = codec("heif");
        void *avif = codec("avif");
        void *jxl = codec("jxl");
        QVERIFY(heif && avif && jxl);
        auto checkFiletype
            = reinterpret_cast<int (*)(const uint8_t *, int)>(dlsym(heif, "heif_check_filetype"));
        auto readMainBrand = reinterpret_cast<uint32_t (*)(const uint8_t *, int)>(
            dlsym(heif, "heif_read_main_brand"));
        struct AvifData
        {
            const uint8_t *data;
            size_t size;
        };
        auto peekAvif = reinterpret_cast<int (*)(const AvifData *)>(
            dlsym(avif, "avifPeekCompatibleFileType"));
        auto jxlSignature
            = reinterpret_cast<int (*)(const uint8_t *, size_t)>(dlsym(jxl, "JxlSignatureCheck"));
        QVERIFY(checkFiletype && readMainBrand && peekAvif && jxlSignature);

        // What the plug-ins asked the libraries before they answered by themselves.
        const auto heifAnswer = [&](const uint8_t *d) {
            const uint32_t brand = readMainBrand(d, LUNETTA_PLUGIN_HEAD_SIZE);
            if (brand == 0x61766966 || brand == 0x61766973) // avif, avis: the AVIF plug-in's
                return false;
            return checkFiletype(d, LUNETTA_PLUGIN_HEAD_SIZE) == 1; // heif_filetype_yes_supported
        };
        const auto avifAnswer = [&](const uint8_t *d) {
            const AvifData data { d, LUNETTA_PLUGIN_HEAD_SIZE };
            return peekAvif(&data) != 0;
        };
        const auto jxlAnswer = [&](const uint8_t *d) {
            const int s = jxlSignature(d, LUNETTA_PLUGIN_HEAD_SIZE);
            return s == 2 || s == 3; // JXL_SIG_CODESTREAM, JXL_SIG_CONTAINER
        };
        const std::function<bool(const uint8_t *)> answers[]
            = { heifAnswer, avifAnswer, jxlAnswer };

        std::mt19937 random(20261209);
        std::vector<QByteArray> heads;
        for (int i = 0; i < 200000; ++i)
            heads.push_back(madeUpHead(random));
        for (size_t p = 0; p < std::size(shipped); ++p) {
            void *front = dlopen(pluginPath(shipped[p].name).constData(), RTLD_NOW | RTLD_LOCAL);
            QVERIFY(front);
            auto isSupported = reinterpret_cast<IsSupportedFunction>(dlsym(front, "IsSupported"));
            int accepted = 0;
            for (const QByteArray &head : heads) {
                const auto *d = reinterpret_cast<const uint8_t *>(head.constData());
                const bool expected = answers[p](d);
                if ((isSupported("x", d) != 0) != expected)
                    QFAIL(qPrintable(QStringLiteral("%1 answers %2 for %3")
                                         .arg(QLatin1String(shipped[p].name))
                                         .arg(!expected)
                                         .arg(QString::fromLatin1(head.left(32).toHex(' ')))));
                accepted += expected;
            }
            // The heads reach both answers often, or the comparison would prove little.
            QVERIFY2(accepted > 5000 && accepted < 195000, shipped[p].name);
            dlclose(front);
        }
        dlclose(heif);
        dlclose(avif);
        dlclose(jxl);
    }
};

QTEST_GUILESS_MAIN(TestCodecFronts)
#include "tst_codecfronts.moc"
