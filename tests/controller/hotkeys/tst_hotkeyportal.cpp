// Runs on a private session bus (under dbus-run-session) in a Wayland session: a stand-in
// desktop portal in a thread of its own records the shortcuts bound and activates them.
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "controller/hotkeys/HotKeyPage.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "winsvc/PortalHotKeyBackend.h"
#include "winsvc/clsHotKey.h"

#include <QApplication>
#include <QCheckBox>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QListWidget>
#include <QMutex>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

const QString portalPath = u"/org/freedesktop/portal/desktop"_qs;
const QString shortcutsInterface = u"org.freedesktop.portal.GlobalShortcuts"_qs;

// Answers CreateSession and BindShortcuts as a desktop does: the request's path at once, the
// Response signal on it just after.
class PortalStandIn : public QDBusVirtualObject
{
    Q_OBJECT
public:
    // How the next bind is answered: a response code, or -1 for an error reply.
    void answerNextBind(int answer)
    {
        QMutexLocker lock(&m_mutex);
        m_answer = answer;
    }
    // Each bind as "id|description|trigger" entries, and the sessions made and closed.
    QList<QStringList> binds() const
    {
        QMutexLocker lock(&m_mutex);
        return m_binds;
    }
    QStringList sessionLog() const
    {
        QMutexLocker lock(&m_mutex);
        return m_sessions;
    }
    bool lateAnswered() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lateAnswered;
    }
    static constexpr uint lateRefusal = 1001;
    QString introspect(const QString &) const override { return QString(); }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        QMutexLocker lock(&m_mutex);
        const QList<QVariant> args = message.arguments();
        const QString sender = message.service().mid(1).replace(u'.', u'_');
        if (message.member() == u"Close") {
            m_sessions << u"closed "_qs + message.path();
            connection.send(message.createReply());
            return true;
        }
        const QVariantMap options = qdbus_cast<QVariantMap>(args.constLast());
        const QString request = portalPath + u"/request/"_qs + sender + u'/'
            + options.value(u"handle_token"_qs).toString();
        QVariantMap results;
        uint response = 0;
        if (message.member() == u"CreateSession") {
            m_session = portalPath + u"/session/"_qs + sender + u'/'
                + options.value(u"session_handle_token"_qs).toString();
            m_sessions << u"created "_qs + m_session;
            results.insert(u"session_handle"_qs, m_session);
        } else if (message.member() == u"BindShortcuts") {
            QStringList bound;
            const QDBusArgument list = qvariant_cast<QDBusArgument>(args.at(1));
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                QVariantMap properties;
                list.beginStructure();
                list >> id >> properties;
                list.endStructure();
                bound << id + u'|' + properties.value(u"description"_qs).toString() + u'|'
                        + properties.value(u"preferred_trigger"_qs).toString();
            }
            list.endArray();
            m_binds << bound;
            if (m_answer < 0) {
                m_answer = 0;
                connection.send(message.createErrorReply(QDBusError::AccessDenied, u"no"_qs));
                return true;
            }
            response = uint(std::exchange(m_answer, 0));
            if (response == lateRefusal) {
                // Still asking its user when the program stops waiting, then "no".
                connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
                QTimer::singleShot(
                    PortalHotKeyBackend::answerWaitMs + 1000, this, [this, connection, request] {
                        QDBusMessage no = QDBusMessage::createSignal(
                            request, u"org.freedesktop.portal.Request"_qs, u"Response"_qs);
                        no << 1u << QVariantMap();
                        connection.send(no);
                        QMutexLocker lock(&m_mutex);
                        m_lateAnswered = true;
                    });
                return true;
            }
        } else {
            return false;
        }
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage answer = QDBusMessage::createSignal(
            request, u"org.freedesktop.portal.Request"_qs, u"Response"_qs);
        answer << response << results;
        connection.send(answer);
        return true;
    }
    void activate(const QString &id)
    {
        QMutexLocker lock(&m_mutex);
        QDBusMessage signal
            = QDBusMessage::createSignal(portalPath, shortcutsInterface, u"Activated"_qs);
        signal << QVariant::fromValue(QDBusObjectPath(m_session)) << id << quint64(1)
               << QVariantMap();
        QDBusConnection(u"portal"_qs).send(signal);
    }

private:
    mutable QMutex m_mutex;
    int m_answer = 0;
    bool m_lateAnswered = false;
    QString m_session;
    QList<QStringList> m_binds;
    QStringList m_sessions;
};

} // namespace

class TestHotKeyPortal : public QObject
{
    Q_OBJECT

    QThread m_thread;
    PortalStandIn m_portal;
    Sandbox m_box;
    std::unique_ptr<SettingsStore> m_store;
    RecordingMessageService m_messages;
    QWidget m_target;
    std::unique_ptr<clsHotKey> m_keys;
    std::unique_ptr<HotKeyPage> m_page;

    void bind(const QString &function, const QString &key, int mask)
    {
        auto *functions = m_page->findChild<QListWidget *>(u"lstHotKey_Function"_qs);
        auto *keys = m_page->findChild<QListWidget *>(u"lstHotKey"_qs);
        functions->setCurrentItem(functions->findItems(function, Qt::MatchExactly).value(0));
        keys->setCurrentItem(keys->findItems(key, Qt::MatchExactly).value(0));
        const char *boxes[]
            = { "chkHotKey_Alt", "chkHotKey_Ctrl", "chkHotKey_Shift", "chkHotKey_Windows" };
        for (int bit = 0; bit < 4; ++bit)
            m_page->findChild<QCheckBox *>(QLatin1String(boxes[bit]))
                ->setChecked(mask & (1 << bit));
        m_page->findChild<QPushButton *>(u"cmdHotKey_Save"_qs)->click();
    }

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus");
        QCOMPARE(qgetenv("XDG_SESSION_TYPE"), QByteArray("wayland"));
        m_store = std::make_unique<SettingsStore>(m_box.path(u"config"_qs));
    }
    void cleanupTestCase()
    {
        m_page.reset();
        m_keys.reset();
        m_thread.quit();
        m_thread.wait();
    }

    // Before any portal is there: the key is refused at once.
    void withoutAPortalEveryKeyIsRefused()
    {
        clsHotKey keys(HotKeyBackend::create());
        keys.setPTarget(&m_target);
        QVERIFY(!keys.mAddHotKey(u"次の画像へ"_qs, 'N', 3));
    }

    void keysAreBoundThroughThePortal_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<bool>("registered");
        QTest::addColumn<bool>("active");

        QTest::newRow("Ctrl+Alt+N")
            << u"次の画像へ"_qs << u"N"_qs << 78 << 3 << 0 << u"CTRL+ALT+N"_qs << true << true;
        QTest::newRow("Shift+Windows+F1")
            << u"開始"_qs << u"F1"_qs << 112 << 12 << 0 << u"SHIFT+LOGO+F1"_qs << true << true;
        QTest::newRow("a key alone")
            << u"ポーズ"_qs << u"Page Down"_qs << 34 << 0 << 0 << u"Page_Down"_qs << true << true;
        QTest::newRow("the user declines")
            << u"隠す"_qs << u"Space"_qs << 32 << 2 << 1 << u"CTRL+space"_qs << false << false;
        QTest::newRow("the portal fails")
            << u"BGMの停止"_qs << u"Esc"_qs << 27 << 1 << -1 << u"ALT+Escape"_qs << false << false;
        // Counts as registered while the desktop asks; its late "no" leaves no key.
        QTest::newRow("a late refusal")
            << u"逆送り"_qs << u"R"_qs << 82 << 3 << int(PortalStandIn::lateRefusal)
            << u"CTRL+ALT+R"_qs << true << false;
    }
    void keysAreBoundThroughThePortal()
    {
        QFETCH(QString, function);
        QFETCH(QString, key);
        QFETCH(int, code);
        QFETCH(int, mask);
        QFETCH(int, answer);
        QFETCH(QString, trigger);
        QFETCH(bool, registered);
        QFETCH(bool, active);
        if (!m_page) {
            m_thread.start();
            m_portal.moveToThread(&m_thread);
            QMetaObject::invokeMethod(
                &m_portal,
                [this] {
                    auto bus
                        = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"portal"_qs);
                    bus.registerVirtualObject(portalPath, &m_portal, QDBusConnection::SubPath);
                    bus.registerService(u"org.freedesktop.portal.Desktop"_qs);
                },
                Qt::BlockingQueuedConnection);
            m_keys = std::make_unique<clsHotKey>(HotKeyBackend::create());
            m_keys->setPTarget(&m_target);
            m_page = std::make_unique<HotKeyPage>();
            m_page->initHotKeyPage(*m_keys, *m_store, m_messages);
        }
        QSignalSpy pressed(m_keys.get(), &clsHotKey::HotKey);
        m_portal.answerNextBind(answer);
        bind(function, key, mask);

        QCOMPARE(m_messages.lastText(),
                 registered ? u"登録しました。"_qs : u"登録に失敗しました。"_qs);
        QCOMPARE(m_store->hasSetting(SettingKeys::Section::HotKey, function), registered);
        // Every bind names all the keys held, each under its function's name.
        const QString entry = function + u'|' + function + u'|' + trigger;
        QCOMPARE(m_portal.binds().constLast().constLast(), entry);
        QCOMPARE(m_portal.binds().constLast().size(), m_keys->keyNames().size() + !registered);
        if (registered && !active)
            QTRY_VERIFY_WITH_TIMEOUT(m_portal.lateAnswered(), 15000);

        // A key that is not held does nothing; the one bound first marks the end of the
        // deliveries.
        const QString marker = u"次の画像へ"_qs;
        if (function != marker)
            m_portal.activate(function);
        m_portal.activate(marker);
        QTRY_VERIFY(!pressed.isEmpty() && pressed.constLast().constFirst() == marker);
        QCOMPARE(pressed.constLast(), (QList<QVariant> { marker, 3, 78 }));
        if (active)
            QCOMPARE(pressed.constFirst(), (QList<QVariant> { function, mask, code }));
        QCOMPARE(pressed.size(), active && function != marker ? 2 : 1);
    }

    // One session for the program: a removed key is bound no more, and the session closes
    // with the program's keys.
    void oneSessionForTheProgram()
    {
        if (!m_page)
            QSKIP("needs the keys bound above");
        auto *functions = m_page->findChild<QListWidget *>(u"lstHotKey_Function"_qs);
        functions->setCurrentItem(functions->findItems(u"開始"_qs, Qt::MatchExactly).value(0));
        m_page->findChild<QListWidget *>(u"lstHotKey"_qs)->setCurrentRow(0);
        m_page->findChild<QPushButton *>(u"cmdHotKey_Save"_qs)->click();
        QCOMPARE(m_messages.lastText(), u"登録しました。"_qs);
        QTRY_COMPARE(m_portal.binds().constLast(),
                     (QStringList { u"次の画像へ|次の画像へ|CTRL+ALT+N"_qs,
                                    u"ポーズ|ポーズ|Page_Down"_qs }));
        m_page.reset();
        m_keys.reset();
        const QStringList sessions = m_portal.sessionLog();
        QCOMPARE(sessions.size(), 2);
        QCOMPARE(sessions.at(1), QString(sessions.at(0)).replace(u"created"_qs, u"closed"_qs));
    }
};

QTEST_MAIN(TestHotKeyPortal)
#include "tst_hotkeyportal.moc"
