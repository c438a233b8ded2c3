#pragma once

#include <QString>

// Names of the settings store's sections and keys outside the profiles' option sections.
namespace SettingKeys {

inline const QString defaultProfile = QStringLiteral("（標準）");

namespace Section {
inline const QString Main = QStringLiteral("Main");
inline const QString Viewer = QStringLiteral("Viewer");
inline const QString ListWindow = QStringLiteral("ListWindow");
inline const QString Jump = QStringLiteral("Jump");
inline const QString InitDir = QStringLiteral("InitDir");
inline const QString AddFolder = QStringLiteral("AddFolder");
inline const QString FileListEditor = QStringLiteral("FileListEditor");
inline const QString HotKey = QStringLiteral("HotKey");
inline const QString Function = QStringLiteral("Function");
inline const QString Options = QStringLiteral("Options");
inline const QString List = QStringLiteral("List");
inline const QString Player = QStringLiteral("Player");
} // namespace Section

// Window rectangles ("Main", "Viewer", "FileListEditor"), in twips.
inline const QString Top = QStringLiteral("Top");
inline const QString Left = QStringLiteral("Left");
inline const QString Width = QStringLiteral("Width");
inline const QString Height = QStringLiteral("Height");

namespace Main {
inline const QString SettingList = QStringLiteral("SettingList");
inline const QString SettingName = QStringLiteral("SettingName");
inline const QString Tab = QStringLiteral("Tab");
inline const QString ShowMoviebar = QStringLiteral("ShowMoviebar");
inline const QString ShowPlayer = QStringLiteral("ShowPlayer");
inline const QString ShowSetting = QStringLiteral("ShowSetting");
inline const QString FixBottom = QStringLiteral("FixBottom");
inline const QString AlwaysOnTop = QStringLiteral("AlwaysOnTop");
} // namespace Main

// The sound of the viewer's players ("Player"): volume 0–100 and muting "0"/"1".
namespace Player {
inline const QString Volume = QStringLiteral("Volume");
inline const QString Mute = QStringLiteral("Mute");
} // namespace Player

namespace ListWindow {
inline QString column(int i)
{
    return QStringLiteral("Column_") + QString::number(i);
}
} // namespace ListWindow

namespace Jump {
inline const QString LastFile = QStringLiteral("LastFile");
inline const QString chkJumpOptions = QStringLiteral("chkJumpOptions");
inline const QString chkNotClose = QStringLiteral("chkNotClose");
inline QString words(int i)
{
    return QStringLiteral("Words") + QString::number(i);
}
inline const QString noWords = QStringLiteral("\r");
} // namespace Jump

namespace AddFolder {
inline const QString Mask = QStringLiteral("Mask");
inline const QString Attribute = QStringLiteral("Attribute");
inline const QString FileSizeMin = QStringLiteral("FileSizeMin");
inline const QString FileSizeMax = QStringLiteral("FileSizeMax");
inline const QString FileTimeMin = QStringLiteral("FileTimeMin");
inline const QString FileTimeMax = QStringLiteral("FileTimeMax");
} // namespace AddFolder

// Folders remembered by the file dialogs; the two that add entries also keep their filter
// index under the same key followed by filterSuffix.
namespace InitDir {
inline const QString List_Add = QStringLiteral("List_Add");
inline const QString Filelist_Add = QStringLiteral("Filelist_Add");
inline const QString Filelist_Open = QStringLiteral("Filelist_Open");
inline const QString Filelist_Save = QStringLiteral("Filelist_Save");
inline const QString Shiori_Open = QStringLiteral("Shiori_Open");
inline const QString Shiori_Save = QStringLiteral("Shiori_Save");
inline const QString Function_Open = QStringLiteral("Function_Open");
inline const QString BGM_Open = QStringLiteral("BGM_Open");
inline const QString Susie_Open = QStringLiteral("Susie_Open");
inline const QString filterSuffix = QStringLiteral("_Filer");
} // namespace InitDir

// A profile's configured list: "File" + i and "Describe" + i, i from 1.
namespace List {
inline QString file(int i)
{
    return QStringLiteral("File") + QString::number(i);
}
inline QString describe(int i)
{
    return QStringLiteral("Describe") + QString::number(i);
}
} // namespace List

inline QString susiePlugin(int i)
{
    return QStringLiteral("SusiePlugin") + QString::number(i);
}

inline QString optionsSection(const QString &profile)
{
    return profile == defaultProfile ? Section::Options : QStringLiteral("Options_") + profile;
}
inline QString listSection(const QString &profile)
{
    return profile == defaultProfile ? Section::List : QStringLiteral("List_") + profile;
}

} // namespace SettingKeys
