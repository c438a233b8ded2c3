#pragma once

#include <QString>
#include <QStringList>

class FileOperationOwner;
class FunctionPathChooser;
class MessageService;
class Options;
class SettingsStore;

// The ten external functions "機能0" … "機能9": their page (the function, its operation and
// path in the options model), their stored values in section "Function" (code, "|", path)
// and running one on a file.
class ExternalFunctions
{
public:
    ExternalFunctions(Options &options, SettingsStore &store, MessageService &messages,
                      FileOperationOwner &owner, FunctionPathChooser &chooser);

    // The items of cmbFunction_Operate, whose index is the operation.
    static const QStringList &operationNames();

    // Selects the first function and the first operation, then shows function 0.
    void initFunctionPage();
    // Shows the stored state of the selected function.
    void showFunction();
    // False, with a message, when the operation needs a path and none was typed.
    bool saveFunction(int number, int operation);
    void cmdFunction_Save_Click();
    void cmdFunction_Path_Click();
    // Applies function `number` to `file`; an unset function does nothing.
    void runFunction(int number, const QString &file);

private:
    Options &m_options;
    SettingsStore &m_store;
    MessageService &m_messages;
    FileOperationOwner &m_owner;
    FunctionPathChooser &m_chooser;
};
