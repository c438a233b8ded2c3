#pragma once

#include "core/Options.h"

#include <QWidget>

class QLabel;
struct OptionPageDialogs;
struct OptionPageHooks;

// "ﾋﾞｭｰｱの設定": how the viewer behaves and looks, and the bookmark question at exit. The
// viewer follows its title bar, status bar, topmost and colour options as soon as they change.
class ViewerSettingsPage : public QWidget
{
    Q_OBJECT
public:
    ViewerSettingsPage(Options &options, const OptionPageHooks &hooks,
                       const OptionPageDialogs &dialogs, QWidget *parent = nullptr);

    void cmdBackColor_Click();
    // Brings the viewer's title bar, status bar and background up to the options.
    void applyToViewer();

private:
    void optionChanged(Opt id);
    void txtBackColor_Change();
    void applyTopmost();
    void applyBars();

    Options &m_options;
    const OptionPageHooks &m_hooks;
    const OptionPageDialogs &m_dialogs;
    QLabel *m_lblBackColor = nullptr;
    bool m_applyingTopmost = false;
};
