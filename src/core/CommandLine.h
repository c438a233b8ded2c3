#pragma once

#include <QString>
#include <QStringList>

// The program's one command-line argument, as text.
namespace CommandLine {

// The raw command-line text: every argument after the program name, joined by blanks.
QString rawText(const QStringList &arguments);
// "/uninstall" in any letter case, with nothing before or after it.
bool isUninstallSwitch(const QString &raw);
// Trims blanks; an argument in double quotes is cut to the text between the first quote and
// the next one. Without a closing quote the trimmed text is used whole.
QString argument(const QString &raw);

} // namespace CommandLine
