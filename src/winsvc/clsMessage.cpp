#include "winsvc/clsMessage.h"

#include "winsvc/MessageListener.h"

#include <QCoreApplication>
#include <QVariant>

namespace {

// The window's property that names its hook; it holds no reference to it.
constexpr char hookProperty[] = "clsMessage";

} // namespace

clsMessage::MessageEvent::MessageEvent(int msg, qintptr w, qintptr l)
    : QEvent(eventType())
    , uMsg(msg)
    , wParam(w)
    , lParam(l)
{ }

QEvent::Type clsMessage::MessageEvent::eventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

clsMessage::clsMessage() = default;

clsMessage::~clsMessage()
{
    uninstall();
}

std::shared_ptr<clsMessage> clsMessage::MessageClass(QObject *lngDesthWnd)
{
    if (!lngDesthWnd)
        return nullptr;
    const quintptr address = lngDesthWnd->property(hookProperty).value<quintptr>();
    if (address < 1)
        return nullptr;
    return reinterpret_cast<clsMessage *>(address)->weak_from_this().lock();
}

bool clsMessage::AddMessage(MessageListener *objDest, QObject *lngDesthWnd, bool booMessage)
{
    if (!objDest)
        return false;
    for (const Entry &e : std::as_const(m_subscribers)) {
        if (e.key != lngDesthWnd)
            return false;
    }
    m_subscribers.append({ objDest, lngDesthWnd, booMessage });
    // A window that cannot be hooked keeps the entry, which then receives nothing.
    if (m_subscribers.size() == 1)
        install(lngDesthWnd);
    return true;
}

bool clsMessage::DeleteMessage(MessageListener *objDest, QObject *)
{
    const auto removed
        = m_subscribers.removeIf([objDest](const Entry &e) { return e.subscriber == objDest; });
    if (m_subscribers.isEmpty())
        uninstall();
    return removed > 0;
}

bool clsMessage::AddChildMessage(MessageListener *objDest, QObject *lngDestChildhWnd,
                                 bool booMessage)
{
    if (!objDest || !lngDestChildhWnd)
        return false;
    for (const Entry &e : std::as_const(m_childSubscribers)) {
        if (e.key == lngDestChildhWnd)
            return false;
    }
    m_childSubscribers.append({ objDest, lngDestChildhWnd, booMessage });
    return true;
}

bool clsMessage::DeleteChildMessage(MessageListener *, QObject *lngDestChildhWnd)
{
    return m_childSubscribers.removeIf([lngDestChildhWnd](const Entry &e) {
        return e.key == lngDestChildhWnd;
    }) > 0;
}

bool clsMessage::install(QObject *window)
{
    if (!window)
        return false;
    m_window = window;
    window->setProperty(hookProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    window->installEventFilter(this);
    return true;
}

void clsMessage::uninstall()
{
    if (m_window) {
        m_window->removeEventFilter(this);
        m_window->setProperty(hookProperty, QVariant());
    }
    m_window = nullptr;
}

qintptr clsMessage::serve(const Entry &entry, QObject *hWnd, int uMsg, qintptr wParam,
                          qintptr lParam, bool &booReturn)
{
    // A listener's failure must not keep the message from the others.
    try {
        return entry.subscriber->CallBackWindow(hWnd, uMsg, wParam, lParam, booReturn);
    } catch (...) {
        return 0;
    }
}

qintptr clsMessage::CallBackWindow(QObject *hWnd, int uMsg, qintptr wParam, qintptr lParam,
                                   bool &booReturn)
{
    booReturn = false;
    if (m_busy)
        return 0;
    // A listener may drop the last reference to this hook while it runs.
    const std::shared_ptr<clsMessage> keepAlive = weak_from_this().lock();
    m_busy = true;
    qintptr result = 0;

    QObject *child = nullptr;
    if (uMsg == WM_COMMAND)
        child = reinterpret_cast<QObject *>(lParam);
    else if (uMsg == WM_NOTIFY && lParam)
        child = reinterpret_cast<const NotifyHeader *>(lParam)->hwndFrom;
    if (child) {
        for (const Entry &e : std::as_const(m_childSubscribers)) {
            if (e.key == child && e.booMessage) {
                const Entry entry = e;
                result = serve(entry, hWnd, uMsg, wParam, lParam, booReturn);
                break;
            }
        }
    }
    // By index: a listener may add or remove entries while it runs.
    for (qsizetype i = 0; i < m_subscribers.size(); ++i) {
        const Entry entry = m_subscribers.at(i);
        if (entry.booMessage)
            result = serve(entry, hWnd, uMsg, wParam, lParam, booReturn);
    }
    m_busy = false;
    return result;
}

bool clsMessage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    auto *message
        = event->type() == MessageEvent::eventType() ? static_cast<MessageEvent *>(event) : nullptr;
    bool handled = false;
    const qintptr result = message
        ? CallBackWindow(watched, message->uMsg, message->wParam, message->lParam, handled)
        : CallBackWindow(watched, QtEventMessage + int(event->type()), 0,
                         reinterpret_cast<qintptr>(event), handled);
    if (handled && message)
        message->result = result;
    return handled;
}

qintptr clsMessage::sendMessage(QObject *window, int uMsg, qintptr wParam, qintptr lParam)
{
    if (!window)
        return 0;
    MessageEvent event(uMsg, wParam, lParam);
    QCoreApplication::sendEvent(window, &event);
    return event.result;
}

void clsMessage::postMessage(QObject *window, int uMsg, qintptr wParam, qintptr lParam)
{
    if (window)
        QCoreApplication::postEvent(window, new MessageEvent(uMsg, wParam, lParam));
}
