#include "Sandbox.h"
#include "core/AppPaths.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

// Runs the real program headless, its messages written to a log instead of shown.
class TestApp : public QObject
{
    Q_OBJECT

    Sandbox m_box;

    QString configFolder() const { return m_box.path(u"config"_qs); }
    QString logPath() const { return m_box.path(u"messages.log"_qs); }

    std::unique_ptr<QProcess> start(const QStringList &args)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        env.insert(u"LUNETTA_CONFIG_DIR"_qs, configFolder());
        env.insert(u"LUNETTA_MESSAGE_LOG"_qs, logPath());
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(LUNETTA_BINARY), args);
        return p;
    }

    QString log() const
    {
        QFile f(logPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // The first instance holds its lock once it is up.
    bool waitUntilRunning(QProcess &p)
    {
        const QString lock = AppPaths::instanceLockPath(configFolder());
        // Generous: a busy machine takes seconds to start the program.
        return QTest::qWaitFor(
                   [&] {
                       return p.state() == QProcess::NotRunning
                           || (QFile::exists(lock) && p.state() == QProcess::Running);
                   },
                   30000)
            && p.state() == QProcess::Running;
    }

private slots:
    void secondInstanceIsRefusedAndAKilledOneDoesNotBlock()
    {
        auto first = start({});
        QVERIFY(waitUntilRunning(*first));

        auto second = start({});
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(
            log().contains(u"message\terror\tLunetta\tok\tok\tLunettaは複数起動できません。"_qs));

        ::kill(pid_t(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));

        // The lock of the killed instance is stale: a new start runs.
        QFile::remove(logPath());
        auto third = start({});
        QVERIFY(waitUntilRunning(*third));
        QVERIFY(!third->waitForFinished(500));
        QVERIFY(!log().contains(u"複数起動"_qs));
        third->terminate();
        QVERIFY(third->waitForFinished(5000));
    }

    // The two arguments a Linux program answers on standard output, without starting and
    // without touching the settings.
    void helpAndVersionAnswerOnStandardOutput_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("answer");
        QTest::newRow("version") << u"--version"_qs << u"Lunetta "_qs;
        QTest::newRow("help") << u"--help"_qs << u"使い方: lunetta"_qs;
    }
    void helpAndVersionAnswerOnStandardOutput()
    {
        QFETCH(QString, argument);
        QFETCH(QString, answer);
        QFile::remove(logPath());
        auto p = start({ argument });
        QVERIFY(p->waitForFinished(30000));
        QCOMPARE(p->exitCode(), 0);
        QVERIFY(QString::fromUtf8(p->readAllStandardOutput()).startsWith(answer));
        QCOMPARE(log(), QString()); // no message: it answered before anything else
    }

    void uninstallRemovesTheSettings()
    {
        m_box.file(u"config/Lunetta.ini"_qs, "[Main]\nTop=0\n");
        QFile::remove(logPath());
        auto p = start({ u"/UNINSTALL"_qs });
        QVERIFY(p->waitForFinished(10000));
        QVERIFY(!QFile::exists(configFolder()));
        QVERIFY(log().contains(u"\tレジストリの削除に成功しました。"_qs));
    }
};

QTEST_GUILESS_MAIN(TestApp)
#include "tst_app.moc"
