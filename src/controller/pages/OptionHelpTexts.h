#pragma once

#include <QString>

class QWidget;

// The pop-up help (what's-this) texts of the option pages' controls, keyed by object name.
namespace OptionHelpTexts {

// The text of a control; empty when it has none.
QString text(const QString &objectName);
// Gives every named control under `root` its text; returns how many were given one.
int apply(QWidget *root);

} // namespace OptionHelpTexts
