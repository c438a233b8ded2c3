#pragma once

#include <QString>

// The kind texts of the configured list's entries, as the list page writes them.
class ListEntryText
{
public:
    static const QString pictureKind; // "画像/動画ﾌｧｲﾙ"
    static const QString fileListKind; // "ﾌｧｲﾙﾘｽﾄ"

    // A file is a file list when its extension occurs anywhere in "txt|lst|kfl|m3u", letter
    // case aside. It is a substring test, so "t", "m3" and no extension at all count too.
    static bool isFileListExtension(const QString &extension);
    // The kind text of a file entry, decided by the file's extension. A file whose extension
    // is none of the list extensions but only counts by the substring rule (none at all, "t",
    // "m3") is decided by its first bytes: a picture or a movie there is no file list.
    static QString fileKind(const QString &path);
    // Whether the first bytes of a file are those of a picture or movie format rather than
    // text: a known signature, or bytes no text file holds.
    static bool looksLikeMedia(const QByteArray &head);
    // "ﾌｫﾙﾀﾞ(" + mask + ")", followed by " ｻﾌﾞﾌｫﾙﾀﾞを検索" when subfolders are searched.
    static QString folderKind(const QString &mask, bool subFolders);
    // Whether an entry is edited with the folder dialog rather than the file dialog.
    static bool isFolderKind(const QString &kindText);
};
