#pragma once

#include "winsvc/HotKeyBackend.h"
#include "winsvc/MessageListener.h"

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

    bool mAddHotKey(const QString &strNewKey, int lngVirtualKey, int enumMask);
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
