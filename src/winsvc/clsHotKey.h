#pragma once

#include "winsvc/HotKeyBackend.h"
#include "winsvc/MessageListener.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class clsMessage;

// System-wide hot keys for one target window, each known by a text name. A name is held once
// only in the whole process (see HotKeyAtoms); its number identifies the grab. The presses
// reach the target window as hot-key messages, which this object hears through the window's
// message hook. Every grab and name is released when the object ends.
class clsHotKey : public QObject, public MessageListener
{
    Q_OBJECT
public:
    explicit clsHotKey(std::unique_ptr<HotKeyBackend> backend, QObject *parent = nullptr);
    ~clsHotKey() override;

    // False also when another of this object's names holds the same combination: X11 grants a
    // second grab of a key to the same program, and releasing either then kills both.
    bool mAddHotKey(const QString &strNewKey, int lngVirtualKey, int enumMask);
    // The name that holds the key combination, empty when none does.
    QString holderOf(int lngVirtualKey, int enumMask) const;
    bool mDeleteHotKey(const QString &strDestKey);
    qintptr CallBackWindow(QObject *hWnd, int uMsg, qintptr wParam, qintptr lParam,
                           bool &booReturn) override;
    // Taken only while no target is set, and hooks the window; a second assignment is
    // ignored.
    void setPTarget(QObject *lngDestWindow);
    QObject *pTarget() const { return m_target; }
    // Stops listening to the target window.
    bool PrcUnHook();
    QStringList keyNames() const { return m_keyNames; }

    // The longest name the HotKey event gives back.
    static constexpr int maxNameLength = 55;

signals:
    void HotKey(const QString &key, int Mask, int VertualKey);

private:
    bool unregister(const QString &name);

    std::unique_ptr<HotKeyBackend> m_backend;
    QPointer<QObject> m_target;
    // The target's hook, kept alive while this object listens to it.
    std::shared_ptr<clsMessage> m_hook;
    QStringList m_keyNames;
    // Each registered name's key and modifiers.
    QHash<QString, std::pair<int, int>> m_combinations;
};

// A process-wide table of names and small numbers, as global atoms are on other systems.
namespace HotKeyAtoms {
// 0 when the name is not held.
int find(const QString &name);
// 0 when the name is already held.
int add(const QString &name);
void remove(int id);
QString name(int id);
} // namespace HotKeyAtoms
