#pragma once

#include <QString>
#include <QStringList>

class FileDialogService;
class FileOperationOwner;
class MessageService;
class Options;
class QWidget;
class SettingsStore;

// The ten external functions "機能0" … "機能9": their page (the function, its operation and
// path in the options model), their stored values in section "Function" (code, "|", path)
// and running one on a file. The path dialogs open over `dialogOwner`, which outlives this.
class ExternalFunctions
{
public:
    ExternalFunctions(Options &options, SettingsStore &store, MessageService &messages,
                      FileOperationOwner &owner, FileDialogService &fileDialogs,
                      QWidget *dialogOwner);

    // The items of cmbFunction_Operate, whose index is the operation.
    static const QStringList &operationNames();

    // Selects the first function and the first operation, then shows function 0.
    void initFunctionPage();
    // Shows the stored state of the selected function.
    void showFunction();
    // False, with a message, when the operation needs a path and none was typed.
    bool saveFunction(int number, int operation);
    void cmdFunction_Save_Click();
    // A program to start is chosen in a file dialog, a destination in a folder dialog.
    void cmdFunction_Path_Click();
    // Applies function `number` to `file`; an unset function does nothing.
    void runFunction(int number, const QString &file);

private:
    Options &m_options;
    SettingsStore &m_store;
    MessageService &m_messages;
    FileOperationOwner &m_owner;
    FileDialogService &m_fileDialogs;
    QWidget *m_dialogOwner;
};
