#pragma once

#include "core/Options.h"

#include <QList>
#include <QString>

// Controls of the option pages that are usable only while another option is on: a checked
// check box or a selected option button.
class OptionEnabling
{
public:
    struct Rule
    {
        QString control; // object name of the dependent control
        Opt master;
    };

    static const QList<Rule> &rules();
    // Controls without a rule are always enabled.
    static bool isEnabled(const Options &options, const QString &control);
    // Whether a change of `id` can change what is enabled.
    static bool isMaster(Opt id);
};
