// The tray on desktops that host tray icons over D-Bus (StatusNotifierItem) rather than an X11
// tray: on its own X display and a private session bus (under dbus-run-session), with a
// stand-in watcher in a thread of its own and no X11 tray running.
#include "DesktopSession.h"
#include "FakeServices.h"
#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "controller/window/ControllerCommands.h"
#include "controller/window/ControllerMenus.h"
#include "controller/window/frmOptions.h"
#include "core/AppContext.h"
#include "core/Startup.h"
#include "engine/Slideshow.h"
#include "viewer/window/frmView.h"
#include "winsvc/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMenu>
#include <QMutex>
#include <QTest>
#include <QThread>
#include <QTimer>

class WatcherStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const
    {
        QMutexLocker lock(&m_mutex);
        return m_items;
    }

public slots:
    void RegisterStatusNotifierItem(const QString &service)
    {
        QMutexLocker lock(&m_mutex);
        m_items << service;
    }
    void RegisterStatusNotifierHost(const QString &) { }

private:
    mutable QMutex m_mutex;
    QStringList m_items;
};

class TestTraySni : public QObject
{
    Q_OBJECT

public:
    explicit TestTraySni(DesktopSession &desktop)
        : m_desktop(desktop)
    { }

private:
    DesktopSession &m_desktop;
    QThread m_thread;
    WatcherStandIn m_watcher;

    static QDBusMessage itemCall(const QString &item, const QString &interface,
                                 const QString &method)
    {
        return QDBusMessage::createMethodCall(item, u"/StatusNotifierItem"_qs, interface, method);
    }
    // The title of the item's tool tip, a (icon name, pixmaps, title, text) structure.
    static QString toolTipTitle(const QString &item)
    {
        QDBusMessage get = itemCall(item, u"org.freedesktop.DBus.Properties"_qs, u"Get"_qs);
        get << u"org.kde.StatusNotifierItem"_qs << u"ToolTip"_qs;
        // The item is served by this very thread: the answer is awaited with events running.
        const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::BlockWithGui);
        if (reply.type() != QDBusMessage::ReplyMessage)
            return QString();
        const QDBusArgument tip = qvariant_cast<QDBusArgument>(
            qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant());
        QString iconName, title, text;
        tip.beginStructure();
        tip >> iconName;
        tip.beginArray();
        while (!tip.atEnd()) {
            int width = 0, height = 0;
            QByteArray pixels;
            tip.beginStructure();
            tip >> width >> height >> pixels;
            tip.endStructure();
        }
        tip.endArray();
        tip >> title >> text;
        tip.endStructure();
        return title;
    }

private slots:
    void initTestCase()
    {
        if (!m_desktop.isReady())
            QSKIP(qPrintable(u"needs an X display: "_qs + m_desktop.missing()));
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus");
        // Before anything asks for a tray: Qt decides once per run how it shows tray icons.
        m_thread.start();
        m_watcher.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_watcher,
            [this] {
                auto bus
                    = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"watcher"_qs);
                bus.registerObject(u"/StatusNotifierWatcher"_qs, &m_watcher,
                                   QDBusConnection::ExportAllContents);
                bus.registerService(u"org.kde.StatusNotifierWatcher"_qs);
            },
            Qt::BlockingQueuedConnection);
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            u"org.kde.StatusNotifierWatcher"_qs));
    }
    void cleanupTestCase()
    {
        // Back to this thread, where the stand-in ends with the test.
        if (m_thread.isRunning())
            QMetaObject::invokeMethod(
                &m_watcher, [this] { m_watcher.moveToThread(thread()); },
                Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    // The icon registers with the watcher and carries the tip of the X11 tray's icon; a click
    // pauses the show and the right button opens the tray menu.
    void theIconRegistersWithTheWatcher()
    {
        QVERIFY(TrayIcon::isAvailable());
        Sandbox box;
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        box.folder(u"pics"_qs);
        for (const QString &name : { u"a.png"_qs, u"b.png"_qs })
            QVERIFY(picture.save(box.path(u"pics/"_qs + name)));
        AppContext ctx(box.path(u"config"_qs), std::make_unique<RecordingMessageService>(),
                       std::make_unique<RecordingFileDialogService>(),
                       std::make_unique<FakeClock>());
        Slideshow show(ctx.options, *ctx.messages, *ctx.clock, *ctx.random, *ctx.events);
        frmOptions window(ctx);
        frmView viewer(ctx.options, show);
        show.setViewer(&viewer);
        window.attach(show, viewer);
        window.Form_Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A show started from a folder minimises the controller into the tray.
        Startup::dispatchArgument(box.path(u"pics/"_qs), *window.commands(), *ctx.messages);
        QVERIFY(show.isRunning());
        QTRY_VERIFY(window.isTrayIconShown());
        QTRY_COMPARE(m_watcher.items().size(), 1);
        const QString item = m_watcher.items().constFirst();
        QVERIFY(window.trayIcon()->tip().startsWith(u"Lunetta - "_qs));
        QTRY_COMPARE(toolTipTitle(item), window.trayIcon()->tip());
        QVERIFY(!window.isVisible());

        QDBusMessage activate = itemCall(item, u"org.kde.StatusNotifierItem"_qs, u"Activate"_qs)
            << 0 << 0;
        QDBusConnection::sessionBus().send(activate);
        QTRY_VERIFY(show.isPaused());

        // The menu runs its own event loop: it is looked at and closed from inside it.
        QMenu *menu = window.menus().mnuTasktray();
        QStringList items;
        QTimer poll;
        connect(&poll, &QTimer::timeout, menu, [&] {
            if (!menu->isVisible())
                return;
            for (const QAction *action : menu->actions())
                items << action->objectName();
            menu->close();
        });
        poll.start(50);
        QDBusConnection::sessionBus().send(
            itemCall(item, u"org.kde.StatusNotifierItem"_qs, u"ContextMenu"_qs) << 0 << 0);
        QTRY_VERIFY(items.contains(u"mnuTasktray_Quit"_qs));
    }
};

int main(int argc, char **argv)
{
    DesktopSession desktop;
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (!desktop.isReady())
        qInfo("SKIP desktop tests: %s", qPrintable(desktop.missing()));
    TestTraySni test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_traysni.moc"
