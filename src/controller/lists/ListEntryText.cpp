#include "controller/lists/ListEntryText.h"

#include "core/PathFunctions.h"
#include "core/UserFileReader.h"

#include <QList>
#include <QStringList>

const QString ListEntryText::pictureKind = QStringLiteral("画像/動画ﾌｧｲﾙ");
const QString ListEntryText::fileListKind = QStringLiteral("ﾌｧｲﾙﾘｽﾄ");

bool ListEntryText::isFileListExtension(const QString &extension)
{
    return extension.isEmpty()
        || QStringLiteral("txt|lst|kfl|m3u").contains(extension, Qt::CaseInsensitive);
}

QString ListEntryText::fileKind(const QString &path)
{
    const QString extension = GetExtension(path);
    if (!isFileListExtension(extension))
        return pictureKind;
    static const QStringList listExtensions { QStringLiteral("txt"), QStringLiteral("lst"),
                                              QStringLiteral("kfl"), QStringLiteral("m3u") };
    if (listExtensions.contains(extension, Qt::CaseInsensitive))
        return fileListKind;
    const auto head = UserFileReader::readStart(path, 4096);
    if (head && looksLikeMedia(*head))
        return pictureKind;
    return fileListKind;
}

bool ListEntryText::looksLikeMedia(const QByteArray &head)
{
    static const QList<QByteArray> signatures {
        QByteArray("\xFF\xD8\xFF"),
        QByteArray("\x89PNG"),
        QByteArray("GIF8"),
        QByteArray("BM"),
        QByteArray("II*\0", 4),
        QByteArray("MM\0*", 4),
        QByteArray("\xFF\x0A"),
        QByteArray("\x1A\x45\xDF\xA3"),
        QByteArray("OggS"),
        QByteArray("ID3"),
        QByteArray(".RMF"),
        QByteArray("fLaC"),
        QByteArray("\0\0\0\x0CJXL ", 8),
        QByteArray("\0\0\x01\xBA", 4),
    };
    for (const QByteArray &s : signatures) {
        if (head.startsWith(s))
            return true;
    }
    // RIFF containers (WebP, AVI, WAV) and ISO media files (MP4, MOV, HEIC, AVIF).
    if ((head.startsWith("RIFF") && head.size() >= 12) || head.mid(4, 4) == "ftyp")
        return true;
    // Text has no NUL bytes, whatever its encoding but UTF-16, which file lists never use.
    return head.contains('\0');
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
