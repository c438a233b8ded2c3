// Every reader of a file that comes from outside goes through UserFileReader: a pipe or a folder
// is unreadable at once, and a file over the reader's bound is refused unread.
#include "Sandbox.h"

#include "controller/music/MusicPlayList.h"
#include "imagelist/BookmarkFile.h"
#include "imagelist/FileListFile.h"
#include "viewer/plugins/PluginFileKind.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/windows/WinePrefix.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

#include <functional>

#include <sys/stat.h>

namespace {

struct Reader
{
    const char *name;
    QByteArray goodContent; // read as something when it is a file within the bound
    qint64 bound; // 0: only the file's start is read, whatever its size
    std::function<bool(const QString &)> readsSomething;
};

// Wine's registry is found by the prefix, so every file here is named as it is.
const QString fileName = QStringLiteral("user.reg");

const std::vector<Reader> &readers()
{
    static const std::vector<Reader> all {
        { "file list", "/a.jpg\r\n", qint64(256) << 20,
          [](const QString &p) {
              const FileListFile::ReadResult r = FileListFile::read(p);
              return !r.error && !r.lines.isEmpty();
          } },
        { "bookmark", "Page=1\r\nSettingName=\r\n\r\n[Files]\r\n/a.jpg\r\n", qint64(256) << 20,
          [](const QString &p) {
              return BookmarkFile::read(p).has_value();
          } },
        { "music play list", "/a.mp3\n", qint64(64) << 20,
          [](const QString &p) {
              return !MusicPlayList::read(p).empty();
          } },
        { "Wine registry", "[Software\\\\Kestrel\\\\Susie\\\\Plug-in]\n\"Path\"=\"C:\\\\x\"\n",
          qint64(64) << 20,
          [](const QString &p) {
              return !WinePrefix::susiePluginPath(QFileInfo(p).path()).isEmpty();
          } },
        { "plug-in kind", QByteArray(), 0,
          [](const QString &p) {
              return PluginFileKind::of(p) != PluginFileKind::Unknown;
          } },
        { "plug-in file head", QByteArray(), 0,
          [](const QString &p) {
              return SplayLibrary::readHead(p).has_value();
          } },
    };
    return all;
}

} // namespace

class TestUserFileReader : public QObject
{
    Q_OBJECT

private slots:
    void pipesAndFoldersAreUnreadableAtOnce_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<bool>("pipe");
        for (int i = 0; i < int(readers().size()); ++i) {
            QTest::addRow("%s, pipe", readers()[size_t(i)].name) << i << true;
            QTest::addRow("%s, folder", readers()[size_t(i)].name) << i << false;
        }
    }

    void pipesAndFoldersAreUnreadableAtOnce()
    {
        QFETCH(int, reader);
        QFETCH(bool, pipe);
        Sandbox box;
        const QString path = box.path(fileName);
        if (pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QDir().mkpath(path));
        QElapsedTimer clock;
        clock.start();
        // Nobody writes to the pipe: a reader that opened it would wait here for ever.
        QVERIFY(!readers()[size_t(reader)].readsSomething(path));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }

    void filesOverTheBoundAreRefused_data()
    {
        QTest::addColumn<int>("reader");
        for (int i = 0; i < int(readers().size()); ++i) {
            if (readers()[size_t(i)].bound > 0)
                QTest::addRow("%s", readers()[size_t(i)].name) << i;
        }
    }

    void filesOverTheBoundAreRefused()
    {
        QFETCH(int, reader);
        const Reader &r = readers()[size_t(reader)];
        Sandbox box;
        const QString path = box.file(fileName, r.goodContent);
        QVERIFY(r.readsSomething(path));
        // One byte over, as a sparse file: the size alone must refuse it.
        QVERIFY(QFile::resize(path, r.bound + 1));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!r.readsSomething(path));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestUserFileReader)
#include "tst_userfilereader.moc"
