#pragma once

#include "core/Options.h"

#include <QWidget>

struct OptionPageHooks;

// "ﾋﾞｭｰｱの大きさ": where the viewer stands and how large it and the picture become.
class ViewerSizePage : public QWidget
{
    Q_OBJECT
public:
    ViewerSizePage(Options &options, const OptionPageHooks &hooks, QWidget *parent = nullptr);

    // Take the viewer's present position, width or height as the fixed values.
    void cmdGetResentLocation_Click();
    void cmdMaxWidth_Click();
    void cmdMaxHeight_Click();

private:
    Options &m_options;
    const OptionPageHooks &m_hooks;
};
