#pragma once

#include <QStringList>

class FileDialogService;
class QWidget;
class SettingsStore;

// What the multi-select file dialog shows and remembers: its file types, the folder it used
// last ("InitDir"/key) and the file type chosen last ("InitDir"/key + "_Filer", from 1).
class FileSelection
{
public:
    // File types in "description|patterns|description|patterns" form, patterns split by ";".
    static const QString selectFilesFilter;

    // The file types as the Qt file dialog takes them: each description followed by its
    // patterns in parentheses, blank-separated. "*.*" becomes "*", which also takes names
    // without a dot.
    static QStringList nameFilters(const QString &filterText);
    static QString initialFolder(const SettingsStore &store, const QString &key);
    // 1 … count; 0 when nothing usable is stored, so the dialog keeps its first type.
    static int filterIndex(const SettingsStore &store, const QString &key, int count);
    // The number (from 1) of the file type the dialog reports, which it may give by its
    // description alone; 0 when it is none of `filters`.
    static int filterNumber(const QStringList &filters, const QString &selected);
    // Remembers the first file's folder (with its "/") and the file type, unless that is 0.
    static void remember(SettingsStore &store, const QString &key, const QStringList &files,
                         int filterIndex);
    // The name a save dialog returned, with the extension of the file type chosen in it
    // ("テキストファイル(*.txt)") when the name has none: "list2" is saved as "list2.txt". A type
    // of any name ("*", "*.*") adds nothing.
    static QString withTypeExtension(const QString &path, const QString &nameFilter);

    // The multi-select file dialog "ファイルの選択". Starts in the folder of `initialName` when
    // that names one, else in the folder remembered under `key`, with the file type chosen
    // last. Returns the chosen files as full paths, none when the user cancelled; a confirmed
    // choice is remembered for the next time.
    static QStringList selectFiles(FileDialogService &dialogs, QWidget *owner, SettingsStore &store,
                                   const QString &initialName, const QString &key);
};
