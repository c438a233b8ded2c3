#pragma once

#include <QWidget>

#include <memory>

class ExternalFunctions;
class FileDialogService;
class FileOperationDialogs;
class MessageService;
class Options;
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
    ~HotKeyPage() override;

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

    // Connects the frame of the external functions and shows function 0; called after
    // initHotKeyPage. File operations ask and report over the page's window.
    void initFunctionPage(Options &options, SettingsStore &store, MessageService &messages,
                          FileDialogService &fileDialogs);
    ExternalFunctions *externalFunctions() const { return m_externalFunctions.get(); }

private:
    void lstHotKey_Function_Click();

    clsHotKey *m_hotKey = nullptr;
    SettingsStore *m_store = nullptr;
    MessageService *m_messages = nullptr;
    QListWidget *m_functions = nullptr;
    QListWidget *m_keys = nullptr;
    QCheckBox *m_modifiers[4] = {}; // Alt, Ctrl, Shift, Windows: the mask's bits 1, 2, 4, 8
    std::unique_ptr<FileOperationDialogs> m_fileOperations;
    std::unique_ptr<ExternalFunctions> m_externalFunctions;
    QMetaObject::Connection m_functionChoice;
};
