#pragma once

#include <QWidget>

struct OptionPageHooks;

// "動画": which player shows clips, when a clip gives way to the next file, the players'
// own dialogs and the fast-forward and rewind speeds.
class MoviePage : public QWidget
{
    Q_OBJECT
public:
    explicit MoviePage(const OptionPageHooks &hooks, QWidget *parent = nullptr);

    void cmdMp_Option_Click();
    void cmdMp_Version_Click();
    void cmdMp_RealOption_Click();
    void cmdMp_RealVersion_Click();

private:
    const OptionPageHooks &m_hooks;
};
