#include "FileSizeLimit.h"
#include "RecordingFileOwner.h"
#include "Sandbox.h"
#include "ScratchMount.h"

#include "imagelist/ShellFileOperation.h"
#include "imagelist/modFileOperation.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace ShellFile;
namespace fo = modFileOperation;

namespace {

const QChar nul(0);

// Everything in a folder, the copies' temporary files included.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// 3 MiB and a few bytes, in several of the copy's steps, with every byte telling its place.
QByteArray bigContent()
{
    QByteArray data(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char(i * 7 + i / 4096);
    return data;
}

dev_t deviceOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_dev : 0;
}

} // namespace

class TestFileOperation : public QObject
{
    Q_OBJECT

private slots:
    void requestsCarryTheFlagsOfTheirCall_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("allowUndo");
        QTest::addColumn<bool>("noConfirm");
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("flags");
        const QString two = u"/p/a.jpg"_qs + nul + u"/p/b.jpg"_qs;
        QTest::newRow("delete to the trash")
            << u"delete"_qs << u"/p/a.jpg"_qs << true << false << 3 << 0x40;
        QTest::newRow("delete for good")
            << u"delete"_qs << u"/p/a.jpg"_qs << false << false << 3 << 0x00;
        QTest::newRow("delete two, no questions")
            << u"delete"_qs << two << true << true << 3 << 0x251;
        QTest::newRow("copy one") << u"copy"_qs << u"/p/a.jpg"_qs << false << false << 2 << 0x40;
        QTest::newRow("copy two") << u"copy"_qs << two << false << false << 2 << 0x41;
        QTest::newRow("copy, no questions")
            << u"copy"_qs << u"/p/a.jpg"_qs << false << true << 2 << 0x250;
        QTest::newRow("move one") << u"move"_qs << u"/p/a.jpg"_qs << false << false << 1 << 0x40;
        QTest::newRow("move two, no questions") << u"move"_qs << two << false << true << 1 << 0x251;
    }
    void requestsCarryTheFlagsOfTheirCall()
    {
        QFETCH(QString, call);
        QFETCH(QString, source);
        QFETCH(bool, allowUndo);
        QFETCH(bool, noConfirm);
        const ShellRequest r = call == u"copy"_qs
            ? fo::copyRequest(source, u"/q/a.jpg"_qs, noConfirm)
            : call == u"move"_qs ? fo::moveRequest(source, u"/q/a.jpg"_qs, noConfirm)
                                 : fo::deleteRequest(source, allowUndo, noConfirm);
        QTEST(r.operation, "operation");
        QTEST(r.flags, "flags");
        // Lists end in two NULs; a delete has no destination.
        QCOMPARE(r.source, source + QString(2, nul));
        QCOMPARE(r.destination.isEmpty(), call == u"delete"_qs);
        QCOMPARE(ShellFileOperation::splitList(r.source).size(), source.count(nul) + 1);
    }

    // One file copied or moved into a folder: what is asked, what is left where.
    void aTransferAsksBeforeItReplacesAndKeepsWhatItMayNot_data()
    {
        QTest::addColumn<bool>("move");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("result"); // -1: any failure
        QTest::addColumn<bool>("sourceKept");
        QTest::addColumn<QByteArray>("target"); // empty: no target file
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("errors");
        const int cancelled = resultCancelled;
        QTest::newRow("copy") << false << u""_qs << u""_qs << 0 << true << QByteArray("new") << 0
                              << 0;
        QTest::newRow("move") << true << u""_qs << u""_qs << 0 << false << QByteArray("new") << 0
                              << 0;
        QTest::newRow("copy over, replace")
            << false << u"old"_qs << u"ok"_qs << 0 << true << QByteArray("new") << 1 << 0;
        QTest::newRow("copy over, declined keeps the old file")
            << false << u"old"_qs << u"cancel"_qs << cancelled << true << QByteArray("old") << 1
            << 0;
        QTest::newRow("move over, declined keeps both")
            << true << u"old"_qs << u"cancel"_qs << cancelled << true << QByteArray("old") << 1
            << 0;
        QTest::newRow("missing folder, made")
            << false << u"no folder"_qs << u"ok"_qs << 0 << true << QByteArray("new") << 1 << 0;
        QTest::newRow("missing folder, declined") << true << u"no folder"_qs << u"cancel"_qs
                                                  << cancelled << true << QByteArray() << 1 << 0;
        QTest::newRow("missing source")
            << false << u"no source"_qs << u""_qs << -1 << false << QByteArray() << 0 << 1;
        QTest::newRow("onto itself")
            << true << u"same"_qs << u""_qs << -1 << true << QByteArray("new") << 0 << 1;
    }
    void aTransferAsksBeforeItReplacesAndKeepsWhatItMayNot()
    {
        QFETCH(bool, move);
        QFETCH(QString, setup);
        QFETCH(QString, answers);
        Sandbox box;
        const QString source = box.file(u"pics/a.jpg"_qs, "new");
        QString folder = box.folder(u"keep"_qs);
        if (setup == u"old"_qs)
            box.file(u"keep/a.jpg"_qs, "old");
        if (setup == u"no folder"_qs)
            folder = box.path(u"keep/new/deeper/"_qs);
        if (setup == u"no source"_qs)
            QFile::remove(source);
        if (setup == u"same"_qs)
            folder = box.path(u"pics/"_qs);
        RecordingFileOwner owner;
        for (const QString &a : answers.split(u',', Qt::SkipEmptyParts))
            owner.recorder.answers.enqueue(a == u"ok"_qs ? MsgResult::Ok : MsgResult::Cancel);

        const QString targetPath = folder + u"a.jpg"_qs;
        const int got = move ? fo::MoveFiles(owner, source, targetPath, false)
                             : fo::CopyFiles(owner, source, targetPath, false);

        QFETCH(int, result);
        if (result < 0)
            QVERIFY2(got != 0 && got != resultCancelled, qPrintable(QString::number(got)));
        else
            QCOMPARE(got, result);
        QTEST(QFile::exists(source), "sourceKept");
        QFETCH(QByteArray, target);
        if (target.isEmpty())
            QVERIFY(!QFileInfo(targetPath).isFile());
        else
            QCOMPARE(readFile(targetPath), target);
        int questions = 0;
        int errors = 0;
        for (const MessageRequest &m : owner.recorder.messages) {
            questions += m.icon == MsgIcon::Question;
            errors += m.icon == MsgIcon::Error;
            // Every message names what it is about.
            QVERIFY2(m.text.contains(u"a.jpg"_qs) || m.text.contains(u"deeper"_qs),
                     qPrintable(m.text));
        }
        QTEST(questions, "questions");
        QTEST(errors, "errors");
        QCOMPARE(entries(box.path(u"keep"_qs)).filter(u".lunetta"_qs), QStringList());
    }

    void aCopyKeepsTheFilesDataPermissionsAndTime()
    {
        Sandbox box;
        const QByteArray data = bigContent();
        const QString source = box.file(u"pics/big.bin"_qs, data);
        QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QDateTime stamp(QDate(2021, 5, 4), QTime(10, 20, 30));
        box.setModified(u"pics/big.bin"_qs, stamp);
        RecordingFileOwner owner;
        QCOMPARE(fo::CopyFiles(owner, source, box.folder(u"keep"_qs), false), 0);
        const QString copy = box.path(u"keep/big.bin"_qs);
        QCOMPARE(readFile(copy), data);
        QCOMPARE(QFileInfo(copy).permissions(), QFileInfo(source).permissions());
        QCOMPARE(QFileInfo(copy).lastModified(), stamp);
        // The progress went up to the whole size in several steps.
        QCOMPARE(owner.copies.size(), 1);
        QCOMPARE(owner.copies.first().bytes, data.size());
        QVERIFY(owner.steps.size() >= 3);
        QCOMPARE(owner.steps.last(), data.size());
    }

    void severalSourcesGoIntoOneFolderOrToTheirOwnTargets()
    {
        Sandbox box;
        const QString a = box.file(u"pics/a.jpg"_qs, "A");
        const QString b = box.file(u"pics/b.jpg"_qs, "B");
        RecordingFileOwner owner;
        QCOMPARE(fo::CopyFiles(owner, a + nul + b, box.folder(u"keep"_qs), false), 0);
        QCOMPARE(entries(box.path(u"keep"_qs)), (QStringList { u"a.jpg"_qs, u"b.jpg"_qs }));
        const QString targets = box.path(u"x/one.jpg"_qs) + nul + box.path(u"y/two.jpg"_qs);
        QCOMPARE(fo::MoveFiles(owner, a + nul + b, targets, true), 0);
        QCOMPARE(readFile(box.path(u"x/one.jpg"_qs)), "A");
        QCOMPARE(readFile(box.path(u"y/two.jpg"_qs)), "B");
        QCOMPARE(entries(box.path(u"pics"_qs)), QStringList());
        // Without questions: neither for the folders made nor for anything else.
        QCOMPARE(owner.recorder.messages.size(), 0);
    }

    void aDeleteAsksOnceAndSendsToTheTrash_data()
    {
        QTest::addColumn<bool>("allowUndo");
        QTest::addColumn<bool>("noConfirm");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<bool>("inTrash");
        QTest::newRow("to the trash")
            << true << false << u"ok"_qs << u"ごみ箱に移動しますか？"_qs << false << true;
        QTest::newRow("declined") << true << false << u"cancel"_qs << u"ごみ箱に移動しますか？"_qs
                                  << true << false;
        QTest::newRow("for good") << false << false << u"ok"_qs << u"完全に削除しますか？"_qs
                                  << false << false;
        QTest::newRow("no question") << true << true << u""_qs << u""_qs << false << true;
    }
    void aDeleteAsksOnceAndSendsToTheTrash()
    {
        QFETCH(bool, allowUndo);
        QFETCH(bool, noConfirm);
        QFETCH(QString, answer);
        Sandbox box;
        // The desktop trash of a home of the test's own, on the sandbox's file system.
        qputenv("HOME", QFile::encodeName(box.folder(u"home"_qs)));
        qputenv("XDG_DATA_HOME", QFile::encodeName(box.folder(u"home/data"_qs)));
        const QString a = box.file(u"pics/a.jpg"_qs, "A");
        const QString b = box.file(u"pics/sub/b.jpg"_qs, "B");
        RecordingFileOwner owner;
        owner.recorder.answers.enqueue(answer == u"ok"_qs ? MsgResult::Ok : MsgResult::Cancel);
        const int result
            = fo::DeleteFiles(owner, a + nul + box.path(u"pics/sub/"_qs), allowUndo, noConfirm);
        QFETCH(bool, kept);
        QCOMPARE(result == 0, !kept);
        QCOMPARE(QFile::exists(a), kept);
        QCOMPARE(QFile::exists(b), kept);
        QFETCH(QString, question);
        if (question.isEmpty()) {
            QCOMPARE(owner.recorder.messages.size(), 0);
        } else {
            QCOMPARE(owner.recorder.messages.size(), 1);
            QCOMPARE(owner.recorder.lastText(), u"これらの 2 個の項目を"_qs + question);
            QCOMPARE(owner.recorder.messages.first().icon, MsgIcon::Question);
        }
        const QString trash = box.path(u"home/data/Trash/files/"_qs);
        QFETCH(bool, inTrash);
        QCOMPARE(readFile(trash + u"a.jpg"_qs), inTrash ? QByteArray("A") : QByteArray());
        QCOMPARE(readFile(trash + u"sub/b.jpg"_qs), inTrash ? QByteArray("B") : QByteArray());
        qunsetenv("HOME");
        qunsetenv("XDG_DATA_HOME");
    }

    // A new user's first delete: the trash, or the folders above it, do not exist yet. The
    // file goes into the trash, made as the desktop makes it, never into the working folder.
    void aTrashNotMadeYetIsMade_data()
    {
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("trash");
        QTest::newRow("XDG_DATA_HOME not made yet") << u"home/data"_qs << u"home/data/Trash"_qs;
        QTest::newRow("no XDG_DATA_HOME, no ~/.local/share")
            << QString() << u"home/.local/share/Trash"_qs;
    }
    void aTrashNotMadeYetIsMade()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, trash);
        Sandbox box;
        qputenv("HOME", QFile::encodeName(box.folder(u"home"_qs)));
        if (dataHome.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", QFile::encodeName(box.path(dataHome)));
        const QString savedCwd = QDir::currentPath();
        QDir::setCurrent(box.folder(u"cwd"_qs));
        const QString a = box.file(u"pics/a.jpg"_qs, "A");
        RecordingFileOwner owner;
        const int result = fo::DeleteFiles(owner, a, true, true);
        QDir::setCurrent(savedCwd);
        qunsetenv("HOME");
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(result, 0);
        QVERIFY(!QFile::exists(a));
        QCOMPARE(readFile(box.path(trash + u"/files/a.jpg"_qs)), QByteArray("A"));
        QVERIFY(QFile::exists(box.path(trash + u"/info/a.jpg.trashinfo"_qs)));
        QCOMPARE(QFileInfo(box.path(trash)).permissions() & 0x0077, QFile::Permissions());
        QVERIFY(QDir(box.path(u"cwd"_qs)).isEmpty());
    }

    // A copy that cannot finish leaves the source and no part of the copy; the user is told
    // which file and why.
    void aCopyThatCannotFinishLeavesNoHalfFile_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<bool>("move");
        QTest::addColumn<QString>("reason");
        QTest::newRow("file size limit")
            << u"limit"_qs << false << u"ファイルが大きすぎて書き込めません。"_qs;
        QTest::newRow("full disk") << u"full"_qs << false << u"ディスクの空き容量が足りません。"_qs;
        QTest::newRow("full disk, move")
            << u"full"_qs << true << u"ディスクの空き容量が足りません。"_qs;
        QTest::newRow("read-only")
            << u"read-only"_qs << false << u"書き込みできないファイルシステムです。"_qs;
        QTest::newRow("read-only, move")
            << u"read-only"_qs << true << u"書き込みできないファイルシステムです。"_qs;
        QTest::newRow("cancelled") << u"cancel"_qs << false << u""_qs;
    }
    void aCopyThatCannotFinishLeavesNoHalfFile()
    {
        QFETCH(QString, destination);
        QFETCH(bool, move);
        Sandbox box;
        const QByteArray data = bigContent();
        const QString source = box.file(u"pics/big.bin"_qs, data);
        std::unique_ptr<ScratchMount> mount;
        QString folder = box.folder(u"keep"_qs);
        if (destination == u"full"_qs || destination == u"read-only"_qs) {
            mount = std::make_unique<ScratchMount>(u"1m"_qs, destination == u"read-only"_qs);
            if (!mount->isMounted())
                QSKIP("mounting a tmpfs needs root");
            folder = mount->root();
        }
        RecordingFileOwner owner;
        if (destination == u"cancel"_qs)
            owner.onProgress = [](qint64 copied) {
                return copied > 1024 * 1024;
            };
        std::unique_ptr<FileSizeLimit> limit;
        if (destination == u"limit"_qs)
            limit = std::make_unique<FileSizeLimit>(data.size() / 2);
        const int result = move ? fo::MoveFiles(owner, source, folder, false)
                                : fo::CopyFiles(owner, source, folder, false);
        limit.reset();

        QVERIFY(result != 0);
        QCOMPARE(readFile(source), data);
        QCOMPARE(entries(folder).filter(u"big.bin"_qs), QStringList());
        QCOMPARE(entries(folder).filter(u".lunetta"_qs), QStringList());
        QFETCH(QString, reason);
        if (reason.isEmpty()) {
            QCOMPARE(result, resultCancelled);
            QCOMPARE(owner.recorder.messages.size(), 0);
        } else {
            QCOMPARE(owner.recorder.messages.size(), 1);
            const MessageRequest &m = owner.recorder.messages.first();
            QCOMPARE(m.icon, MsgIcon::Error);
            QVERIFY2(m.text.startsWith(u"「"_qs + source + u"」を"_qs), qPrintable(m.text));
            QVERIFY2(m.text.endsWith(u"\r\n"_qs + reason), qPrintable(m.text));
        }
    }

    // A move to another file system copies first; the source stays until the copy is whole.
    void aMoveToAnotherDeviceRemovesTheSourceLast_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("completed") << false;
        QTest::newRow("cancelled") << true;
    }
    void aMoveToAnotherDeviceRemovesTheSourceLast()
    {
        QFETCH(bool, cancel);
        Sandbox box;
        const QByteArray data = bigContent();
        const QString source = box.file(u"pics/big.bin"_qs, data);
        ScratchMount mount(u"16m"_qs);
        QString folder = mount.root();
        if (!mount.isMounted()) {
            folder = u"/dev/shm/"_qs;
            if (deviceOf(folder) == 0 || deviceOf(folder) == deviceOf(box.root()))
                QSKIP("no second file system: needs root for a tmpfs, or /dev/shm");
        }
        QTemporaryDir other(folder + u"lunetta-XXXXXX"_qs);
        QVERIFY(other.isValid());
        folder = other.path() + u'/';
        const QString target = folder + u"big.bin"_qs;
        RecordingFileOwner owner;
        int sourceSeen = 0;
        int targetSeen = 0;
        owner.onProgress = [&](qint64 copied) {
            sourceSeen += QFile::exists(source);
            targetSeen += QFile::exists(target);
            return cancel && copied > 1024 * 1024;
        };
        const int result = fo::MoveFiles(owner, source, target, false);
        QCOMPARE(owner.copies.size(), 1);
        QVERIFY(owner.copies.first().moving);
        QCOMPARE(sourceSeen, owner.steps.size());
        QCOMPARE(targetSeen, 0);
        QCOMPARE(result, cancel ? resultCancelled : 0);
        QCOMPARE(QFile::exists(source), cancel);
        QCOMPARE(readFile(cancel ? source : target), data);
        QCOMPARE(entries(folder), cancel ? QStringList() : QStringList { u"big.bin"_qs });
    }
};

QTEST_GUILESS_MAIN(TestFileOperation)

#include "tst_fileoperation.moc"
