// Runs on a private session bus (the test is started under dbus-run-session): a stand-in screen
// saver service lives in a thread of its own, so the program's blocking calls reach it.
#include "winsvc/ScreenAwake.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMutex>
#include <QThread>
#include <QtTest>

class ScreenSaverStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList log() const
    {
        QMutexLocker lock(&m_mutex);
        return m_log;
    }

public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        QMutexLocker lock(&m_mutex);
        Q_UNUSED(reason);
        ++m_next;
        m_log << QStringLiteral("Inhibit %1 -> %2").arg(application).arg(m_next);
        return m_next;
    }
    void UnInhibit(uint cookie)
    {
        QMutexLocker lock(&m_mutex);
        m_log << QStringLiteral("UnInhibit %1").arg(cookie);
    }

private:
    mutable QMutex m_mutex;
    QStringList m_log;
    uint m_next = 40;
};

class tst_ScreenAwake : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus");
        m_thread.start();
        m_standIn.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_standIn,
            [this] {
                auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                         QStringLiteral("standin"));
                bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &m_standIn,
                                   QDBusConnection::ExportAllSlots);
                bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
            },
            Qt::BlockingQueuedConnection);
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                     QStringLiteral("org.freedesktop.ScreenSaver")),
                                 15000);
    }
    void cleanupTestCase()
    {
        m_thread.quit();
        m_thread.wait();
    }

    // Each letter is a state the show reports: r = running, p = paused or stopped; x = the
    // program ends. Only a change from one to the other reaches the service.
    void holdsFollowTheShow_data()
    {
        QTest::addColumn<QString>("states");
        QTest::addColumn<QString>("expected");
        QTest::newRow("start then stop")
            << QStringLiteral("rp") << QStringLiteral("Inhibit Lunetta -> 41|UnInhibit 41");
        QTest::newRow("start, pause, resume, quit")
            << QStringLiteral("rprx")
            << QStringLiteral("Inhibit Lunetta -> 42|UnInhibit 42|Inhibit Lunetta -> 43|"
                              "UnInhibit 43");
        QTest::newRow("repeated reports take one hold")
            << QStringLiteral("rrrpp") << QStringLiteral("Inhibit Lunetta -> 44|UnInhibit 44");
        QTest::newRow("stopped show holds nothing") << QStringLiteral("ppx") << QString();
    }
    void holdsFollowTheShow()
    {
        QFETCH(QString, states);
        QFETCH(QString, expected);
        const qsizetype before = m_standIn.log().size();
        {
            ScreenAwake awake(ScreenAwake::sessionInhibitor());
            for (const QChar state : states) {
                if (state == u'x')
                    break;
                awake.setShowActive(state == u'r');
                QCOMPARE(awake.isHeld(), state == u'r');
            }
        }
        QCOMPARE(m_standIn.log().mid(before).join(u'|'), expected);
    }

private:
    QThread m_thread;
    ScreenSaverStandIn m_standIn;
};

QTEST_GUILESS_MAIN(tst_ScreenAwake)
#include "tst_screenawake.moc"
