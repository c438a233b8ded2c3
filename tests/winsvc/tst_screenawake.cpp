// Runs on a private session bus (the test is started under dbus-run-session): a stand-in screen
// saver service lives in a thread of its own, so the program's blocking calls reach it.
#include "winsvc/ScreenAwake.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
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

// The desktop portal's request object that an inhibition returns: closing it releases the hold.
class PortalRequestStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    PortalRequestStandIn(uint number, QStringList &log, QMutex &mutex, QObject *parent)
        : QObject(parent)
        , m_number(number)
        , m_log(log)
        , m_mutex(mutex)
    { }
public slots:
    void Close()
    {
        QMutexLocker lock(&m_mutex);
        m_log << QStringLiteral("Close %1").arg(m_number);
    }

private:
    uint m_number;
    QStringList &m_log;
    QMutex &m_mutex;
};

// The portal's inhibition, for desktops without the screen saver service.
class PortalStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
public:
    QStringList log() const
    {
        QMutexLocker lock(&m_mutex);
        return m_log;
    }

public slots:
    QDBusObjectPath Inhibit(const QString &window, uint flags, const QVariantMap &options)
    {
        Q_UNUSED(window);
        QMutexLocker lock(&m_mutex);
        ++m_next;
        m_log << QStringLiteral("Inhibit %1 %2 -> %3")
                     .arg(flags)
                     .arg(options.value(QStringLiteral("reason")).toString())
                     .arg(m_next);
        const QString path
            = QStringLiteral("/org/freedesktop/portal/desktop/request/x/r%1").arg(m_next);
        QDBusConnection(QStringLiteral("standin"))
            .registerObject(path, new PortalRequestStandIn(m_next, m_log, m_mutex, this),
                            QDBusConnection::ExportAllSlots);
        return QDBusObjectPath(path);
    }

private:
    mutable QMutex m_mutex;
    QStringList m_log;
    uint m_next = 0;
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
        m_portal.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_standIn,
            [this] {
                auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                         QStringLiteral("standin"));
                bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &m_standIn,
                                   QDBusConnection::ExportAllSlots);
                bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &m_portal,
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

    // Without the screen saver service, the desktop portal holds the screen awake.
    void thePortalHoldsWhereNoScreenSaverServiceRuns()
    {
        setService(QStringLiteral("org.freedesktop.ScreenSaver"), false);
        setService(QStringLiteral("org.freedesktop.portal.Desktop"), true);
        const qsizetype before = m_standIn.log().size();
        {
            ScreenAwake awake(ScreenAwake::sessionInhibitor());
            awake.setShowActive(true);
            QVERIFY(awake.isHeld());
            awake.setShowActive(false);
            awake.setShowActive(true);
        }
        QCOMPARE(m_portal.log().join(u'|'),
                 QStringLiteral("Inhibit 8 スライドショーの表示中 -> 1|Close 1|"
                                "Inhibit 8 スライドショーの表示中 -> 2|Close 2"));
        QCOMPARE(m_standIn.log().size(), before);
        setService(QStringLiteral("org.freedesktop.portal.Desktop"), false);
        setService(QStringLiteral("org.freedesktop.ScreenSaver"), true);
    }

private:
    void setService(const QString &name, bool on)
    {
        QMetaObject::invokeMethod(
            &m_standIn,
            [&] {
                auto bus = QDBusConnection(QStringLiteral("standin"));
                if (on)
                    bus.registerService(name);
                else
                    bus.unregisterService(name);
            },
            Qt::BlockingQueuedConnection);
        QTRY_COMPARE_WITH_TIMEOUT(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value(), on,
            15000);
    }

    QThread m_thread;
    ScreenSaverStandIn m_standIn;
    PortalStandIn m_portal;
};

QTEST_GUILESS_MAIN(tst_ScreenAwake)
#include "tst_screenawake.moc"
