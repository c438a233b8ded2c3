#pragma once

#include "winsvc/HotKeyBackend.h"

#include <QDBusConnection>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QDBusMessage;
class QEventLoop;

// Hot keys through the desktop portal's global shortcuts, where a Wayland desktop lets no
// program see keys meant for others. The program holds one portal session, opened with the
// first key. Each key is a shortcut named after its function, the function's name also as its
// description and the combination as the preferred trigger; the desktop may let the user
// confirm or change the trigger, and reports presses as the shortcut's activation.
//
// The portal answers every request later, by a signal. A registration waits for that answer
// with the event loop running, user input held back, for at most answerWaitMs; a desktop that
// is still asking its user by then has accepted the request so far, and the key counts as
// registered until the desktop refuses it.
class PortalHotKeyBackend : public QObject, public HotKeyBackend
{
    Q_OBJECT
public:
    explicit PortalHotKeyBackend(const QDBusConnection &bus, QObject *parent = nullptr);
    ~PortalHotKeyBackend() override;

    // The combination as the portal writes triggers ("CTRL+ALT+N"); empty for a code the key
    // table does not hold.
    static QString triggerOf(int virtualKey, int mask);

    static constexpr int answerWaitMs = 2500;

protected:
    bool grab(int id, int virtualKey, int mask, const QString &name) override;
    void ungrab(int id) override;

private slots:
    // QtDBus delivers signals only to slots named by their signature.
    void onResponse(const QDBusMessage &message);
    void onActivated(const QDBusMessage &message);

private:
    enum class Answer { Granted, Refused, Pending };
    struct Shortcut
    {
        QString name;
        QString trigger;
    };
    struct Request
    {
        bool opensSession = false;
        // The keys a bind asked for anew, dropped when the desktop refuses them late.
        QList<int> ids;
    };

    bool openSession();
    // Sends a portal call whose last argument is its options and waits for the answer;
    // `results` receives the answer's results.
    Answer request(QDBusMessage call, QVariantMap options, Request kind, QVariantMap *results);
    QDBusMessage bindCall() const;
    void bindAgainLater();

    QDBusConnection m_bus;
    // The session's object path; empty while there is none.
    QString m_session;
    // Ordered by id, so that the desktop lists the keys in the order they were made.
    QMap<int, Shortcut> m_shortcuts;
    // Requests whose answer has not come, by their object path.
    QHash<QString, Request> m_requests;
    // The request a registration waits for, and its answer once there.
    QString m_waitingFor;
    uint m_response = 2;
    QVariantMap m_results;
    bool m_answered = false;
    QEventLoop *m_waitLoop = nullptr;
    bool m_sessionPending = false;
    int m_tokens = 0;
    bool m_bindQueued = false;
};
