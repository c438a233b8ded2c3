#pragma once

#include "controller/pages/OptionPageHooks.h"
#include "core/Options.h"

#include <QObject>

struct AppContext;
class QFrame;
class QTabWidget;
class NumberFieldGuard;
class OptionBinder;
class QWidget;
class ViewerSettingsPage;

// The option pages of the controller window from "表示する順序" to "動画": builds them into
// their tab frames, binds every control to the options model, guards the number fields and
// keeps the dependent controls enabled as the options say.
class OptionPages : public QObject
{
    Q_OBJECT
public:
    // Builds the pages into `window`, which owns the result.
    static OptionPages *populate(QTabWidget &tabs, AppContext &context);

    // Wired by whoever owns the viewer and the players; the pages read them at each use.
    OptionPageHooks &hooks() { return m_hooks; }
    OptionPageDialogs &dialogs() { return m_dialogs; }
    // Pushes the title bar, status bar and background options to the viewer, for a viewer
    // created after the options were loaded.
    void applyToViewer();

    // An option page control by object name (also the non-option ones such as buttons).
    QWidget *control(const QString &name) const;

private:
    OptionPages(QTabWidget &tabs, AppContext &context);
    QFrame *frame(int index) const;
    void applyEnabling();

    QTabWidget &m_tabs;
    Options &m_options;
    OptionPageHooks m_hooks;
    OptionPageDialogs m_dialogs;
    OptionBinder *m_binder = nullptr;
    NumberFieldGuard *m_guard = nullptr;
    ViewerSettingsPage *m_viewerSettings = nullptr;
};
