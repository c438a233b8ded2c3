#include "imagelist/EntryKind.h"

EntryKind EntryKind::parse(const QString &kindText)
{
    EntryKind kind;
    if (kindText.contains(QStringLiteral("画像/動画ﾌｧｲﾙ"))) {
        kind.type = File;
    } else if (kindText.contains(QStringLiteral("ﾌｧｲﾙﾘｽﾄ"))) {
        kind.type = FileList;
    } else {
        kind.type = Folder;
        kind.subFolders = kindText.contains(QStringLiteral("ｻﾌﾞﾌｫﾙﾀﾞを検索"));
        // The mask lies between the first "(" and the first ")", so a mask that contains ")"
        // is cut there. Without both, or with ")" first, the mask is empty and matches nothing.
        const qsizetype open = kindText.indexOf(u'(');
        const qsizetype close = kindText.indexOf(u')');
        if (open >= 0 && close > open)
            kind.mask = kindText.mid(open + 1, close - open - 1);
    }
    return kind;
}
