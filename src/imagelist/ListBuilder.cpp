#include "imagelist/ListBuilder.h"

#include "core/PathFunctions.h"
#include "core/PlayList.h"
#include "imagelist/BuildProgress.h"
#include "imagelist/DirectoryReader.h"
#include "imagelist/EntryKind.h"
#include "imagelist/FileListFile.h"
#include "imagelist/FolderScan.h"
#include "imagelist/OrderRule.h"
#include "imagelist/Sorting.h"

ListBuilder::ListBuilder(PlayList &playList, const Options &options, RandomSource &random,
                         BuildProgress &progress)
    : m_playList(playList)
    , m_options(options)
    , m_random(random)
    , m_progress(progress)
{ }

OrderRule ListBuilder::orderRule() const
{
    return OrderRule::fromOptions(m_options);
}

QString ListBuilder::countText() const
{
    return QString::number(m_playList.count()) + QStringLiteral("枚の画像ファイルを追加しました。");
}

bool ListBuilder::BuildFileList(const QList<ConfiguredEntry> &entriesRef)
{
    if (m_confirmSaveShiori)
        m_confirmSaveShiori();
    m_progress.setPrepareStatus(QStringLiteral("準備中です。"));
    m_progress.setPrepareStatus2(QStringLiteral("0枚の画像ファイルを追加しました。"));
    m_progress.refreshNow();
    m_playList.clear();

    // The entries are read once: what the list page shows later does not change this build.
    const QList<ConfiguredEntry> entries = entriesRef;
    for (const ConfiguredEntry &entry : entries) {
        if (entry.checked) {
            const EntryKind kind = EntryKind::parse(entry.kindText);
            switch (kind.type) {
            case EntryKind::File:
                m_playList.appendToPlayList(entry.path);
                break;
            case EntryKind::FileList:
                ReadFileList(entry.path);
                break;
            case EntryKind::Folder:
                if (kind.subFolders)
                    SearchSubFolders(entry.path);
                else
                    m_folderQueue = QStringList { AddBackslash(entry.path) };
                AddFiles2List(kind.mask);
                break;
            }
        }
        m_progress.setPrepareStatus2(countText());
        m_progress.processPendingEvents();
        if (m_progress.cancelRequested())
            return false;
    }

    m_progress.setPrepareStatus(QStringLiteral("並び替えています。"));
    m_progress.refreshNow();
    orderRule().applyAtEnd(m_playList, m_random);
    return !m_progress.cancelRequested();
}

void ListBuilder::ReadFileList(const QString &path)
{
    m_progress.setPrepareStatus(QStringLiteral("ファイルリスト\r\n") + path
                                + QStringLiteral("\r\n内の画像ファイルを追加中です。"));
    m_progress.processPendingEvents();
    // A list that cannot be read adds what was read before the failure, and says nothing.
    const FileListFile::ReadResult read = FileListFile::read(path);
    m_playList.reserve(m_playList.count() + int(read.lines.size()));
    for (const QString &line : read.lines)
        m_playList.appendToPlayList(line);
}

void ListBuilder::SearchSubFolders(const QString &folder)
{
    const OrderRule rule = orderRule();
    m_folderQueue = QStringList { AddBackslash(folder) };
    VisitedFolders visited;
    visited.insertPath(m_folderQueue.first());
    qsizetype i = 0;
    qsizetype groupStart = 1;
    for (;;) {
        m_progress.setPrepareStatus(QStringLiteral("フォルダ\r\n") + m_folderQueue.at(i)
                                    + QStringLiteral("\r\nのサブフォルダを検索中です。"));
        m_progress.processPendingEvents();
        const qsizetype n = AppendSubFolders(m_folderQueue.at(i), m_folderQueue, &visited);
        ++i;
        if (rule.sortsWhileCollecting()) {
            if (n - groupStart > 1)
                QuickSortStrings(m_folderQueue, groupStart, n - 1, rule.order);
            groupStart = n;
        }
        if (i >= n)
            break;
    }
}

void ListBuilder::AddFiles2List(const QString &mask)
{
    const OrderRule rule = orderRule();
    const QList<WildcardPattern> patterns = WildcardPattern::splitMask(mask);
    const QStringList queue = m_folderQueue;
    for (const QString &folder : queue) {
        m_progress.setPrepareStatus(QStringLiteral("フォルダ\r\n") + folder
                                    + QStringLiteral("\r\n内の画像ファイルを追加中です。"));
        m_progress.setPrepareStatus2(countText());
        const int countBefore = m_playList.count();
        m_progress.processPendingEvents();
        if (m_progress.cancelRequested())
            return;

        for (const WildcardPattern &pattern : patterns) {
            forEachMatchingFile(folder, pattern, [&](DirectoryReader &entry) {
                QString path;
                path.reserve(folder.size() + entry.name().size());
                path.append(folder).append(entry.name());
                m_playList.appendToPlayList(path);
            });
        }
        if (rule.sortsWhileCollecting())
            QuickSortFileList(m_playList, countBefore + 1, m_playList.count(), rule.order);
    }
}
