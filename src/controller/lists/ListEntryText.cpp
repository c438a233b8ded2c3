#include "controller/lists/ListEntryText.h"

#include "core/PathFunctions.h"

const QString ListEntryText::pictureKind = QStringLiteral("画像/動画ﾌｧｲﾙ");
const QString ListEntryText::fileListKind = QStringLiteral("ﾌｧｲﾙﾘｽﾄ");

bool ListEntryText::isFileListExtension(const QString &extension)
{
    return extension.isEmpty()
        || QStringLiteral("txt|lst|kfl|m3u").contains(extension, Qt::CaseInsensitive);
}

QString ListEntryText::fileKind(const QString &path)
{
    return isFileListExtension(GetExtension(path)) ? fileListKind : pictureKind;
}

QString ListEntryText::folderKind(const QString &mask, bool subFolders)
{
    QString text = QStringLiteral("ﾌｫﾙﾀﾞ(") + mask + u')';
    if (subFolders)
        text += QStringLiteral(" ｻﾌﾞﾌｫﾙﾀﾞを検索");
    return text;
}

bool ListEntryText::isFolderKind(const QString &kindText)
{
    return kindText.contains(QStringLiteral("ﾌｫﾙﾀﾞ"));
}
