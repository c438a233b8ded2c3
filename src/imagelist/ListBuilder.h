#pragma once

#include "core/ConfiguredListModel.h"

#include <QStringList>

#include <functional>

class BuildProgress;
class Options;
class PlayList;
class RandomSource;
struct OrderRule;

// Expands the checked entries of the configured list into the runtime list, scanning folders
// and reading file lists, while the progress dialog shows what is going on and may cancel.
class ListBuilder
{
public:
    ListBuilder(PlayList &playList, const Options &options, RandomSource &random,
                BuildProgress &progress);

    // Runs first in every build: an open bookmark describes the list about to be replaced.
    void setConfirmSaveShiori(std::function<void()> confirm) { m_confirmSaveShiori = confirm; }

    // Replaces the runtime list with the files of every checked entry, ordered as the options
    // say. Returns false when the user cancelled: the list then keeps what was collected so
    // far, in collection order.
    bool BuildFileList(const QList<ConfiguredEntry> &entries);

    // Appends every line of a file-list file except empty ones and ";" comments, verbatim.
    // A file that cannot be read contributes the lines read before the failure.
    void ReadFileList(const QString &path);
    // Fills the folder queue with the folder and every folder below it, level by level; with
    // name order by folder depth each folder's subfolders are sorted among themselves.
    void SearchSubFolders(const QString &folder);
    // Appends the files of every queued folder that match the mask; with name order by folder
    // depth each folder's files are sorted right after they are collected.
    void AddFiles2List(const QString &mask);

    const QStringList &folderQueue() const { return m_folderQueue; }
    void setFolderQueue(const QStringList &queue) { m_folderQueue = queue; }

    // "12枚の画像ファイルを追加しました。" for the current count.
    QString countText() const;

private:
    OrderRule orderRule() const;

    PlayList &m_playList;
    const Options &m_options;
    RandomSource &m_random;
    BuildProgress &m_progress;
    std::function<void()> m_confirmSaveShiori;
    QStringList m_folderQueue;
};
