#include "winsvc/PortalHotKeyBackend.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <QTimer>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

// One entry of a BindShortcuts call: the shortcut's id and its description and trigger.
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

QString keyNameOf(int vk)
{
    if (vk >= 112 && vk <= 123)
        return u"F"_qs + QString::number(vk - 111);
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '1' && vk <= '9'))
        return QString(QChar(vk));
    switch (vk) {
    case 8:
        return u"BackSpace"_qs;
    case 9:
        return u"Tab"_qs;
    case 19:
        return u"Pause"_qs;
    case 27:
        return u"Escape"_qs;
    case 32:
        return u"space"_qs;
    case 33:
        return u"Page_Up"_qs;
    case 34:
        return u"Page_Down"_qs;
    case 35:
        return u"End"_qs;
    case 36:
        return u"Home"_qs;
    case 37:
        return u"Left"_qs;
    case 38:
        return u"Up"_qs;
    case 39:
        return u"Right"_qs;
    case 40:
        return u"Down"_qs;
    case 42:
        return u"Print"_qs;
    case 45:
        return u"Insert"_qs;
    case 46:
        return u"Delete"_qs;
    case 144:
        return u"Num_Lock"_qs;
    case 145:
        return u"Scroll_Lock"_qs;
    default:
        return QString();
    }
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalHotKeyBackend::PortalHotKeyBackend(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalHotKeyBackend::~PortalHotKeyBackend()
{
    if (m_session.isEmpty())
        return;
    m_bus.disconnect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"),
                     this, SLOT(onActivated(QDBusMessage)));
    // Closing the session gives every key back to the desktop. Waited for, so that it has
    // reached the portal before the program ends.
    m_bus.call(QDBusMessage::createMethodCall(portalService, m_session,
                                              QStringLiteral("org.freedesktop.portal.Session"),
                                              QStringLiteral("Close")),
               QDBus::Block, 1000);
}

QString PortalHotKeyBackend::triggerOf(int virtualKey, int mask)
{
    const QString key = keyNameOf(virtualKey);
    if (key.isEmpty())
        return QString();
    QStringList parts;
    if (mask & 2)
        parts << u"CTRL"_qs;
    if (mask & 1)
        parts << u"ALT"_qs;
    if (mask & 4)
        parts << u"SHIFT"_qs;
    if (mask & 8)
        parts << u"LOGO"_qs;
    parts << key;
    return parts.join(u'+');
}

bool PortalHotKeyBackend::grab(int id, int virtualKey, int mask, const QString &name)
{
    const QString trigger = triggerOf(virtualKey, mask);
    // One request at a time: a second registration while one waits is refused.
    if (trigger.isEmpty() || name.isEmpty() || !m_waitingFor.isEmpty() || !m_bus.isConnected())
        return false;
    if (m_session.isEmpty() && !openSession())
        return false;
    m_shortcuts.insert(id, { name, trigger });
    QVariantMap results;
    Request kind;
    kind.ids = { id };
    if (request(bindCall(), {}, kind, &results) == Answer::Refused) {
        m_shortcuts.remove(id);
        return false;
    }
    return true;
}

void PortalHotKeyBackend::ungrab(int id)
{
    if (m_shortcuts.remove(id))
        bindAgainLater();
}

bool PortalHotKeyBackend::openSession()
{
    // A portal that has not answered the last request for a session is not asked again (at
    // start every stored key would wait for it in turn); its late answer still counts.
    if (m_sessionPending)
        return false;
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"),
                   QStringLiteral("lunetta%1").arg(++m_tokens));
    QVariantMap results;
    Request kind;
    kind.opensSession = true;
    const Answer answer
        = request(QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface,
                                                 QStringLiteral("CreateSession")),
                  options, kind, &results);
    m_sessionPending = answer == Answer::Pending;
    if (answer != Answer::Granted)
        return false;
    m_session = results.value(QStringLiteral("session_handle")).toString();
    if (m_session.isEmpty())
        return false;
    m_bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
                  SLOT(onActivated(QDBusMessage)));
    return true;
}

QDBusMessage PortalHotKeyBackend::bindCall() const
{
    QList<PortalShortcut> shortcuts;
    for (auto it = m_shortcuts.cbegin(); it != m_shortcuts.cend(); ++it) {
        shortcuts << PortalShortcut { it->name,
                                      { { QStringLiteral("description"), it->name },
                                        { QStringLiteral("preferred_trigger"), it->trigger } } };
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, shortcutsInterface, QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariant::fromValue(shortcuts)
         << QString();
    return call;
}

PortalHotKeyBackend::Answer PortalHotKeyBackend::request(QDBusMessage call, QVariantMap options,
                                                         Request kind, QVariantMap *results)
{
    // The answer comes on an object path made of our bus name and the token; listening there
    // before the call leaves no moment in which the answer could be missed.
    const QString token = QStringLiteral("lunetta%1").arg(++m_tokens);
    options.insert(QStringLiteral("handle_token"), token);
    QString sender = m_bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    QString path = portalPath + u"/request/"_qs + sender + u'/' + token;
    m_bus.connect(QString(), path, requestInterface, QStringLiteral("Response"), this,
                  SLOT(onResponse(QDBusMessage)));
    m_requests.insert(path, kind);
    m_waitingFor = path;
    m_answered = false;

    call << options;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, answerWaitMs);
    const bool sent = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
    const QString handle
        = sent ? qdbus_cast<QDBusObjectPath>(reply.arguments().constFirst()).path() : QString();
    if (sent && handle != path) {
        // An older portal that makes its own path.
        m_bus.disconnect(QString(), path, requestInterface, QStringLiteral("Response"), this,
                         SLOT(onResponse(QDBusMessage)));
        m_requests.remove(path);
        path = handle;
        m_waitingFor = path;
        m_requests.insert(path, kind);
        m_bus.connect(QString(), path, requestInterface, QStringLiteral("Response"), this,
                      SLOT(onResponse(QDBusMessage)));
    }
    if (!sent) {
        m_bus.disconnect(QString(), path, requestInterface, QStringLiteral("Response"), this,
                         SLOT(onResponse(QDBusMessage)));
        m_requests.remove(path);
        m_waitingFor.clear();
        return Answer::Refused;
    }
    if (!m_answered) {
        QEventLoop wait;
        QTimer::singleShot(answerWaitMs, &wait, &QEventLoop::quit);
        m_waitLoop = &wait;
        wait.exec(QEventLoop::ExcludeUserInputEvents);
        m_waitLoop = nullptr;
    }
    m_waitingFor.clear();
    if (!m_answered)
        return Answer::Pending;
    *results = m_results;
    return m_response == 0 ? Answer::Granted : Answer::Refused;
}

void PortalHotKeyBackend::onResponse(const QDBusMessage &message)
{
    const QString path = message.path();
    const auto it = m_requests.find(path);
    if (it == m_requests.end() || message.arguments().size() < 2)
        return;
    const Request kind = it.value();
    m_requests.erase(it);
    m_bus.disconnect(QString(), path, requestInterface, QStringLiteral("Response"), this,
                     SLOT(onResponse(QDBusMessage)));
    const uint response = message.arguments().at(0).toUInt();
    const QVariantMap results = qdbus_cast<QVariantMap>(message.arguments().at(1));
    if (path == m_waitingFor) {
        m_response = response;
        m_results = results;
        m_answered = true;
        if (m_waitLoop)
            m_waitLoop->quit();
        return;
    }
    // An answer that came after its registration had stopped waiting.
    if (kind.opensSession)
        m_sessionPending = false;
    if (kind.opensSession && response == 0 && m_session.isEmpty()) {
        m_session = results.value(QStringLiteral("session_handle")).toString();
        if (!m_session.isEmpty())
            m_bus.connect(portalService, portalPath, shortcutsInterface,
                          QStringLiteral("Activated"), this, SLOT(onActivated(QDBusMessage)));
    } else if (response != 0) {
        for (int id : kind.ids)
            m_shortcuts.remove(id);
    }
}

void PortalHotKeyBackend::onActivated(const QDBusMessage &message)
{
    const QList<QVariant> args = message.arguments();
    if (args.size() < 2 || qdbus_cast<QDBusObjectPath>(args.at(0)).path() != m_session)
        return;
    const QString shortcut = args.at(1).toString();
    for (auto it = m_shortcuts.cbegin(); it != m_shortcuts.cend(); ++it) {
        if (it->name == shortcut) {
            pressed(it.key());
            return;
        }
    }
}

void PortalHotKeyBackend::bindAgainLater()
{
    // The keys that are left are bound anew once the current change is over (the controller
    // gives back all its keys at once when it closes); nobody waits for the answer.
    if (m_bindQueued || m_session.isEmpty())
        return;
    m_bindQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_bindQueued = false;
        QVariantMap options;
        options.insert(QStringLiteral("handle_token"), QStringLiteral("lunetta%1").arg(++m_tokens));
        QDBusMessage call = bindCall();
        call << options;
        m_bus.send(call);
    });
}
