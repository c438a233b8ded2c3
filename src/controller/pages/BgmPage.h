#pragma once

#include "core/Options.h"

#include <QWidget>

class FileDialogService;
class QLineEdit;
class SettingsStore;
struct OptionPageHooks;

// "BGM": the music played during automatic display and how it is played.
class BgmPage : public QWidget
{
    Q_OBJECT
public:
    BgmPage(Options &options, SettingsStore &store, const OptionPageHooks &hooks,
            FileDialogService &fileDialogs, QWidget *parent = nullptr);

    void cmdBGM_Click();
    void cmdBGM_PlayCD_Click();
    void cmdTestPlay_Click();
    // The first of the dropped files becomes the music source.
    void txtBGM_OLEDragDrop(const QStringList &paths);

private:
    Options &m_options;
    SettingsStore &m_store;
    const OptionPageHooks &m_hooks;
    FileDialogService &m_fileDialogs;
    QLineEdit *m_txtBGM = nullptr;
};
