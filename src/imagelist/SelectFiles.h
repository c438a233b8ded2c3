#pragma once

#include <QStringList>

class QWidget;
class SettingsStore;

// The multi-select file dialog "ファイルの選択". Starts in the folder remembered under
// "InitDir"/key, or in the folder of `initialName` when that names one, with the file type
// chosen last. Returns the chosen files as full paths, none when the user cancelled; a
// confirmed choice is remembered for the next time.
QStringList SelectFiles(QWidget *owner, SettingsStore &store, const QString &initialName,
                        const QString &key);
