#pragma once

#include "winsvc/HotKeyBackend.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

// System-wide hot keys for one target window, each known by a text name. A name is held once
// only in the whole process (see HotKeyAtoms); its number identifies the grab. Every grab
// and name is released when the object ends.
class clsHotKey : public QObject
{
    Q_OBJECT
public:
    explicit clsHotKey(std::unique_ptr<HotKeyBackend> backend = HotKeyBackend::create(),
                       QObject *parent = nullptr);
    ~clsHotKey() override;

    bool mAddHotKey(const QString &strNewKey, int lngVirtualKey, int enumMask);
    bool mDeleteHotKey(const QString &strDestKey);
    // Taken only while no target is set; a second assignment is ignored.
    void setPTarget(QWidget *lngDestWindow);
    QWidget *pTarget() const { return m_target; }
    bool PrcUnHook();
    QStringList keyNames() const { return m_keyNames; }

    // The longest name the HotKey event gives back.
    static constexpr int maxNameLength = 55;

signals:
    void HotKey(const QString &key, int Mask, int VertualKey);

private:
    struct Binding
    {
        int virtualKey = 0;
        int mask = 0;
    };
    bool unregister(const QString &name);
    void keyPressed(int id);

    std::unique_ptr<HotKeyBackend> m_backend;
    QPointer<QWidget> m_target;
    bool m_targetSet = false;
    QStringList m_keyNames;
    QHash<int, Binding> m_bindings;
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
