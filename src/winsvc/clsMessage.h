#pragma once

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>

class MessageListener;

// Hands the messages of one window to the objects listening to it, before the window's own
// processing or instead of it. A window's messages are its own Qt events (number
// QtEventMessage + the event's type, the event itself in lParam) and the messages sent or
// posted to it with sendMessage/postMessage, such as a pressed hot key.
//
// The hook is installed on the window with its first subscriber and removed with its last.
// Subscribers own it through a shared pointer; the window only names it (MessageClass).
class clsMessage : public QObject, public std::enable_shared_from_this<clsMessage>
{
    Q_OBJECT
public:
    enum : int {
        WM_NOTIFY = 78, // a child control's notification; lParam points to a NotifyHeader
        WM_COMMAND = 273, // a child control's command; lParam is the control
        WM_HOTKEY = 786, // wParam the hot key's id, lParam MAKELONG(modifiers, virtual key)
        QtEventMessage = 0x8000,
    };

    // The start of every notification's data.
    struct NotifyHeader
    {
        QObject *hwndFrom = nullptr;
        quintptr idFrom = 0;
        int code = 0;
    };

    // A message on its way to a window; a handler of the window sets `result`.
    class MessageEvent : public QEvent
    {
    public:
        MessageEvent(int msg, qintptr w, qintptr l);
        static QEvent::Type eventType();
        int uMsg;
        qintptr wParam;
        qintptr lParam;
        qintptr result = 0;
    };

    clsMessage();
    ~clsMessage() override;

    static constexpr int16_t LOWORD(qint32 value) { return int16_t(value & 0xFFFF); }
    static constexpr int16_t HIWORD(qint32 value) { return int16_t((value >> 16) & 0xFFFF); }
    static constexpr qint32 MAKELONG(int low, int high)
    {
        return qint32((uint32_t(high & 0xFFFF) << 16) | uint32_t(low & 0xFFFF));
    }

    // The highest index of the two lists, from 1; 0 when empty.
    int MessageCount() const { return int(m_subscribers.size()); }
    int ChildMessageCount() const { return int(m_childSubscribers.size()); }
    QObject *window() const { return m_window; }

    // The hook installed on a window, or none.
    static std::shared_ptr<clsMessage> MessageClass(QObject *lngDesthWnd);
    // Refused when the hook already serves another window.
    bool AddMessage(MessageListener *objDest, QObject *lngDesthWnd, bool booMessage);
    // Removes every entry of the object; true when there was one.
    bool DeleteMessage(MessageListener *objDest, QObject *lngDesthWnd);
    // Refused when the child control already has a listener.
    bool AddChildMessage(MessageListener *objDest, QObject *lngDestChildhWnd, bool booMessage);
    bool DeleteChildMessage(MessageListener *objDest, QObject *lngDestChildhWnd);
    // Hands one message out: first to the listener of the child control it comes from, then
    // to every subscriber in order. A message that arrives while listeners run reaches none.
    qintptr CallBackWindow(QObject *hWnd, int uMsg, qintptr wParam, qintptr lParam,
                           bool &booReturn);

    // Delivers a message to a window at once and returns what its listeners or the window
    // itself made of it (0 when nobody did).
    static qintptr sendMessage(QObject *window, int uMsg, qintptr wParam, qintptr lParam);
    // Queues a message for the window; it is dropped when the window goes first.
    static void postMessage(QObject *window, int uMsg, qintptr wParam, qintptr lParam);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        MessageListener *subscriber = nullptr;
        QPointer<QObject> key;
        bool booMessage = false;
    };
    bool install(QObject *window);
    void uninstall();
    static qintptr serve(const Entry &entry, QObject *hWnd, int uMsg, qintptr wParam,
                         qintptr lParam, bool &booReturn);

    QPointer<QObject> m_window;
    QList<Entry> m_subscribers;
    QList<Entry> m_childSubscribers;
    bool m_busy = false;
};
