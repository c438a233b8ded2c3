#include "winsvc/clsHotKey.h"

#include "winsvc/clsMessage.h"

#include <QHash>

namespace {

struct AtomTable
{
    QHash<QString, int> ids;
    QHash<int, QString> names;
    int next = 0xC000; // the range global string atoms take
};

AtomTable &atoms()
{
    static AtomTable table;
    return table;
}

} // namespace

namespace HotKeyAtoms {

int find(const QString &name)
{
    return atoms().ids.value(name, 0);
}

int add(const QString &name)
{
    AtomTable &t = atoms();
    if (name.isEmpty() || t.ids.contains(name))
        return 0;
    int id = t.next;
    // Numbers are reused only once the 16-bit range has been gone through.
    while (t.names.contains(id) || id < 0xC000 || id > 0xFFFF)
        id = id >= 0xFFFF ? 0xC000 : id + 1;
    t.next = id + 1;
    t.ids.insert(name, id);
    t.names.insert(id, name);
    return id;
}

void remove(int id)
{
    AtomTable &t = atoms();
    const auto it = t.names.find(id);
    if (it == t.names.end())
        return;
    t.ids.remove(*it);
    t.names.erase(it);
}

QString name(int id)
{
    return atoms().names.value(id);
}

} // namespace HotKeyAtoms

clsHotKey::clsHotKey(std::unique_ptr<HotKeyBackend> backend, QObject *parent)
    : QObject(parent)
    , m_backend(backend ? std::move(backend) : std::make_unique<RefusingHotKeyBackend>())
{ }

clsHotKey::~clsHotKey()
{
    PrcUnHook();
    const QStringList names = m_keyNames;
    for (const QString &name : names)
        unregister(name);
    m_target = nullptr;
    m_keyNames.clear();
}

void clsHotKey::setPTarget(QObject *lngDestWindow)
{
    if (m_target || !lngDestWindow)
        return;
    std::shared_ptr<clsMessage> hook = clsMessage::MessageClass(lngDestWindow);
    if (!hook)
        hook = std::make_shared<clsMessage>();
    if (!hook->AddMessage(this, lngDestWindow, true))
        return;
    m_target = lngDestWindow;
    m_hook = std::move(hook);
}

bool clsHotKey::PrcUnHook()
{
    bool removed = false;
    if (std::shared_ptr<clsMessage> hook = clsMessage::MessageClass(m_target))
        removed = hook->DeleteMessage(this, m_target);
    else if (m_hook)
        removed = m_hook->DeleteMessage(this, m_target);
    m_hook.reset();
    return removed;
}

bool clsHotKey::mAddHotKey(const QString &strNewKey, int lngVirtualKey, int enumMask)
{
    if (!m_target)
        return false;
    if (HotKeyAtoms::find(strNewKey) || !holderOf(lngVirtualKey, enumMask).isEmpty())
        return false;
    const int id = HotKeyAtoms::add(strNewKey);
    if (!id)
        return false;
    if (!m_backend->registerHotKey(m_target, id, lngVirtualKey, enumMask, strNewKey)) {
        HotKeyAtoms::remove(id);
        return false;
    }
    m_keyNames << strNewKey;
    m_combinations.insert(strNewKey, { lngVirtualKey, enumMask });
    return true;
}

QString clsHotKey::holderOf(int lngVirtualKey, int enumMask) const
{
    for (auto it = m_combinations.cbegin(); it != m_combinations.cend(); ++it) {
        if (it.value() == std::pair(lngVirtualKey, enumMask))
            return it.key();
    }
    return QString();
}

bool clsHotKey::unregister(const QString &name)
{
    const int id = HotKeyAtoms::find(name);
    if (!m_keyNames.contains(name) || !id)
        return false;
    m_backend->unregisterHotKey(id);
    HotKeyAtoms::remove(id);
    return true;
}

bool clsHotKey::mDeleteHotKey(const QString &strDestKey)
{
    if (!unregister(strDestKey))
        return false;
    m_keyNames.removeAll(strDestKey);
    m_combinations.remove(strDestKey);
    return true;
}

qintptr clsHotKey::CallBackWindow(QObject *, int uMsg, qintptr wParam, qintptr lParam, bool &)
{
    if (uMsg != clsMessage::WM_HOTKEY)
        return 0;
    // The name comes back as a 56-character buffer would hold it.
    const QString name = HotKeyAtoms::name(int(wParam)).left(maxNameLength);
    if (!name.isEmpty())
        emit HotKey(name, clsMessage::LOWORD(qint32(lParam)), clsMessage::HIWORD(qint32(lParam)));
    return 0;
}
