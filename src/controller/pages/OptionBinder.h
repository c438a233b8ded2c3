#pragma once

#include "core/Options.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QWidget;

// Binds option controls to the options model both ways: an edit writes the model at once, and
// a change of the model (a profile load, a button that sets a field) shows in the control
// without passing through the control's own change signals again.
class OptionBinder : public QObject
{
    Q_OBJECT
public:
    explicit OptionBinder(Options &options, QObject *parent = nullptr);

    // Binds every descendant of `root` whose object name is the name of an option.
    void bindChildren(QWidget *root);
    QWidget *widget(Opt id) const { return m_widgets.value(int(id)); }

private:
    void bind(Opt id, QWidget *w);
    void showValue(Opt id);

    Options &m_options;
    QHash<int, QPointer<QWidget>> m_widgets;
};
