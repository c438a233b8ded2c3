#include "core/QuitSignals.h"

#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

// A termination signal becomes one call on the event loop; a second one ends the program.
class TestQuitSignals : public QObject
{
    Q_OBJECT

private slots:
    void aSignalIsHandedToTheEventLoop_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void aSignalIsHandedToTheEventLoop()
    {
        QFETCH(int, signal);
        int calls = 0;
        QuitSignals watch([&calls] { ++calls; });
        QVERIFY(watch.isWatching());
        ::raise(signal);
        QCOMPARE(calls, 0); // not inside the handler
        QTRY_COMPARE(calls, 1);
    }

    void aSecondSignalEndsTheProgram()
    {
        const pid_t child = ::fork();
        if (child == 0) {
            int calls = 0;
            QuitSignals watch([&calls] { ++calls; });
            ::raise(SIGTERM);
            // The notice comes through the event loop; waited for, with a deadline.
            QTest::qWaitFor([&calls] { return calls > 0; }, 20000);
            if (calls != 1)
                ::_exit(3);
            ::raise(SIGTERM);
            ::_exit(0); // not reached when the signal ends the process
        }
        QVERIFY(child > 0);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status), qPrintable(QString::number(WEXITSTATUS(status))));
        QCOMPARE(WTERMSIG(status), SIGTERM);
    }
};

QTEST_GUILESS_MAIN(TestQuitSignals)
#include "tst_quitsignals.moc"
