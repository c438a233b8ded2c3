#pragma once

#include <QSize>
#include <QString>

class MessageService;
class StartupTarget;

// The parts of program start that do not need a window.
namespace Startup {

inline const QString secondInstanceMessage = QStringLiteral("Lunettaは複数起動できません。");

// Removes the settings folder and reports the outcome; used for "/uninstall".
bool uninstall(const QString &settingsFolder, const QString &settingsFile,
               MessageService &messages);

// The help's home page: beside the program, else where it is installed relative to it.
QString helpFilePath(const QString &programFolder);

// The work area the last start found, kept beside the settings: with it the first picture's
// decode starts before the application connects to the display. Invalid when none was kept or
// the file is damaged.
QSize lastWorkArea(const QString &settingsFolder);
void keepWorkArea(const QString &settingsFolder, QSize workArea);

// Removes the temporary files that saves killed before their rename left in the settings
// folder: of the settings file and of the work area kept above. Call it only while holding the
// folder's single-instance lock, so that no save of another instance is under way; a file
// named a moment ago is kept all the same (two paths to one folder take separate locks).
int removeSaveLeftovers(const QString &settingsFolder);

// Acts on the command-line text: a profile name, a bookmark or other file, or a folder.
// Shows one warning when the argument names nothing usable.
void dispatchArgument(const QString &raw, StartupTarget &target, MessageService &messages);

// The file or folder branch of the above for a path known to exist, such as one dropped from a
// file manager; `shown` is the text the warning names.
void openExistingPath(const QString &path, const QString &shown, StartupTarget &target,
                      MessageService &messages);

} // namespace Startup
