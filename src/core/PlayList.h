#pragma once

#include "core/cFileInfo.h"

#include <vector>

// The runtime list the slideshow walks through. Positions count from 1, as the engine and the
// page numbers shown to the user do.
//
// A show drops the files it cannot display one at a time, wherever they stand. A removal only
// marks its entry, and positions are found past the marks through a counting tree, so that
// dropping a long run of vanished files (a resumed bookmark whose folder was moved) costs
// O(log n) each rather than moving the whole rest of the list every time. The marked entries
// are swept out once they are half of the list, and before the whole list is handed out.
class PlayList
{
public:
    int count() const { return int(m_items.size()) - m_removed; }
    bool isEmpty() const { return count() == 0; }
    // Position 1 … count().
    const cFileInfo &item(int position) const { return m_items[index(position)]; }
    cFileInfo &item(int position) { return m_items[index(position)]; }
    const QString &path(int position) const { return item(position).m_strPath; }

    // Appends any non-empty path, existing or not, duplicates included.
    void appendToPlayList(const QString &path);
    void remove(int position);
    void clear();
    void reserve(int n) { m_items.reserve(size_t(n)); }
    // Exchanges the paths of two entries; the entries stay where they are.
    void swapPaths(int a, int b) { item(a).m_strPath.swap(item(b).m_strPath); }

    // Every entry in order, none removed.
    std::vector<cFileInfo> &items();
    const std::vector<cFileInfo> &items() const;

private:
    size_t index(int position) const;
    void sweep() const;

    // Mutable so that a const reader can have the marked entries swept out first.
    mutable std::vector<cFileInfo> m_items;
    // While entries are marked: whether each is removed, and a Fenwick tree over the entries
    // still in the list, 1-based.
    mutable std::vector<bool> m_gone;
    mutable std::vector<int> m_tree;
    mutable int m_removed = 0;
};
