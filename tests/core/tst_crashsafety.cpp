#include "FileSizeLimit.h"
#include "core/SettingsStore.h"
#include "imagelist/BookmarkFile.h"
#include "imagelist/FileListFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The three files the program rewrites while it runs must survive a crash at any moment, a full
// disk and a read-only folder: afterwards each holds one whole generation of its content.
namespace {

// Enough lines that a write takes several system calls and a kill can land inside one.
constexpr int linesPerGeneration = 1000;

QString line(int generation, int i)
{
    return u"/写真/世代"_qs + QString::number(generation) + u'/' + QString::number(i)
        + u" a=b\\[c].jpg"_qs;
}

QStringList lines(int generation)
{
    QStringList all;
    for (int i = 0; i < linesPerGeneration; ++i)
        all.append(line(generation, i));
    return all;
}

enum class Kind { Settings, Bookmark, FileList };

QString fileOf(Kind kind, const QString &dir)
{
    switch (kind) {
    case Kind::Settings:
        return SettingsStore::filePathIn(dir);
    case Kind::Bookmark:
        return dir + u"/resume.kvs"_qs;
    case Kind::FileList:
        return dir + u"/list.txt"_qs;
    }
    return {};
}

bool save(Kind kind, const QString &dir, int generation)
{
    switch (kind) {
    case Kind::Settings: {
        SettingsStore store(dir);
        SettingsStore::Batch batch(store);
        store.SaveSetting(u"Saved"_qs, u"Generation"_qs, QString::number(generation));
        const QStringList all = lines(generation);
        for (int i = 0; i < all.size(); ++i)
            store.SaveSetting(u"Saved"_qs, u"Path"_qs + QString::number(i), all[i]);
        return batch.commit();
    }
    case Kind::Bookmark:
        return !BookmarkFile::write(fileOf(kind, dir), generation, u"旅行"_qs, lines(generation));
    case Kind::FileList: {
        QStringList all = lines(generation);
        all.prepend(QString::number(generation));
        return !FileListFile::write(fileOf(kind, dir), all);
    }
    }
    return false;
}

// The generation the file holds whole, or -1 when it is missing, short, damaged or mixed.
int generationIn(Kind kind, const QString &dir)
{
    int generation = -1;
    QStringList paths;
    switch (kind) {
    case Kind::Settings: {
        const SettingsStore store(dir);
        if (store.wasDamaged() || !store.hasSetting(u"Saved"_qs, u"Generation"_qs))
            return -1;
        generation = store.GetSetting(u"Saved"_qs, u"Generation"_qs).toInt();
        const auto pairs = store.GetAllSettings(u"Saved"_qs);
        for (qsizetype i = 1; i < pairs.size(); ++i)
            paths.append(pairs[i].second);
        break;
    }
    case Kind::Bookmark: {
        const auto contents = BookmarkFile::read(fileOf(kind, dir));
        if (!contents || contents->settingName != u"旅行"_qs)
            return -1;
        generation = contents->page;
        paths = contents->paths;
        break;
    }
    case Kind::FileList: {
        const FileListFile::ReadResult read = FileListFile::read(fileOf(kind, dir));
        if (read.error || read.lines.isEmpty())
            return -1;
        generation = read.lines.first().toInt();
        paths = read.lines.mid(1);
        break;
    }
    }
    return paths == lines(generation) ? generation : -1;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void kinds_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("settings") << Kind::Settings;
        QTest::newRow("bookmark") << Kind::Bookmark;
        QTest::newRow("file list") << Kind::FileList;
    }

    void survivesKillsAtRandomMoments_data() { kinds_data(); }
    void survivesKillsAtRandomMoments()
    {
        QFETCH(Kind, kind);
        QTemporaryDir dir;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(save(kind, dir.path(), 1));
        // Kills are spread over a few saves' time, so that they hit every stage of one.
        const int spreadUs = int(std::max<qint64>(2000, 2 * timer.nsecsElapsed() / 1000));
        const int kills = qEnvironmentVariableIntValue("LUNETTA_KILLS") > 0
            ? qEnvironmentVariableIntValue("LUNETTA_KILLS")
            : 300;
        int last = 1;
        int midWrite = 0; // kills that left a named temporary file behind
        for (int k = 0; k < kills; ++k) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                // The child saves generation after generation until it is killed.
                for (int g = last + 1;; ++g)
                    save(kind, dir.path(), g);
            }
            usleep(QRandomGenerator::global()->bounded(spreadUs));
            kill(child, SIGKILL);
            int status = 0;
            waitpid(child, &status, 0);
            QVERIFY(WIFSIGNALED(status));

            const int now = generationIn(kind, dir.path());
            QVERIFY2(
                now >= last,
                qPrintable(
                    u"kill %1 left a broken or older file (%2 < %3)"_qs.arg(k).arg(now).arg(last)));
            last = now;
            // Temporary files of interrupted writes are left beside the file; clear them.
            const QString kept = QFileInfo(fileOf(kind, dir.path())).fileName();
            for (const QString &name : QDir(dir.path()).entryList(QDir::Files)) {
                if (name != kept) {
                    ++midWrite;
                    QFile::remove(dir.filePath(name));
                }
            }
        }
        qInfo("%d kills, %d left a temporary file, generation %d reached", kills, midWrite, last);
    }

    // A full disk or a folder that cannot be written: the old file stays as it was, the failure
    // is reported, and the next write once the disk has room succeeds.
    void failedSavesKeepTheOldFile_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("readOnly");
        for (const auto &[name, kind] :
             { std::pair { "settings", Kind::Settings }, std::pair { "bookmark", Kind::Bookmark },
               std::pair { "file list", Kind::FileList } }) {
            QTest::addRow("%s, full disk", name) << kind << false;
            QTest::addRow("%s, read-only folder", name) << kind << true;
        }
    }
    void failedSavesKeepTheOldFile()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, readOnly);
        if (readOnly && geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        QVERIFY(save(kind, dir.path(), 1));
        const QByteArray before = readAll(fileOf(kind, dir.path()));
        bool saved = true;
        if (readOnly) {
            QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), 0500) == 0);
            saved = save(kind, dir.path(), 2);
            chmod(QFile::encodeName(dir.path()).constData(), 0700);
        } else {
            FileSizeLimit full(before.size() / 2);
            saved = save(kind, dir.path(), 2);
        }
        QVERIFY(!saved);
        QCOMPARE(readAll(fileOf(kind, dir.path())), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
        QVERIFY(save(kind, dir.path(), 3));
        QCOMPARE(generationIn(kind, dir.path()), 3);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
