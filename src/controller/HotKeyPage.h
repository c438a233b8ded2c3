#pragma once

#include <QWidget>

class MessageService;
class QCheckBox;
class QListWidget;
class SettingsStore;
class clsHotKey;

// "ﾎｯﾄｷｰ": the controls of the hot key bindings and of the external functions. The lists of
// functions and keys, and what the buttons do, belong to the hot key and function logic,
// which finds the controls by their object names.
class HotKeyPage : public QWidget
{
    Q_OBJECT
public:
    explicit HotKeyPage(QWidget *parent = nullptr);

    // The function names in the order of the list: the names the hot keys are registered and
    // stored under.
    static const QStringList &functionNames();

    // Fills both lists, registers the stored bindings with `hotKey` and selects the first
    // function.
    void initHotKeyPage(clsHotKey &hotKey, SettingsStore &store, MessageService &messages);
    void registerStoredHotKeys();
    void showHotKeyOf(const QString &name);
    bool registerSelectedHotKey();
    void cmdHotKey_Save_Click();

private:
    void lstHotKey_Function_Click();

    clsHotKey *m_hotKey = nullptr;
    SettingsStore *m_store = nullptr;
    MessageService *m_messages = nullptr;
    QListWidget *m_functions = nullptr;
    QListWidget *m_keys = nullptr;
    QCheckBox *m_modifiers[4] = {}; // Alt, Ctrl, Shift, Windows: the mask's bits 1, 2, 4, 8
};
