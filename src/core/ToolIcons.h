#pragma once

#include <QIcon>
#include <QString>

// The program's own icons, drawn in one consistent style: the tool bar images ("open", "save",
// "play", "pause", "stop", "reverse", "forward", "option", "pophint", "mp_play", "mp_pause",
// "mp_reverse", "mp_forward"), the list editor's ("add", "delete", "move", "sort", "pophelp"
// besides "open" and "save"), the tray images ("Play", "Pause", "Stop") and the program's icon
// ("Lunetta").
namespace ToolIcons {

QIcon icon(const QString &key);

} // namespace ToolIcons
