#pragma once

#include "engine/cFileInfo.h"

#include <vector>

// The runtime list the slideshow walks through. Positions count from 1, as the engine and the
// page numbers shown to the user do.
class PlayList
{
public:
    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    // Position 1 … count().
    const cFileInfo &item(int position) const { return m_items[size_t(position - 1)]; }
    cFileInfo &item(int position) { return m_items[size_t(position - 1)]; }
    const QString &path(int position) const { return item(position).m_strPath; }

    // Appends any non-empty path, existing or not, duplicates included.
    void appendToPlayList(const QString &path);
    void remove(int position);
    void clear();
    void reserve(int n) { m_items.reserve(size_t(n)); }
    // Exchanges the paths of two entries; the entries stay where they are.
    void swapPaths(int a, int b)
    {
        m_items[size_t(a - 1)].m_strPath.swap(m_items[size_t(b - 1)].m_strPath);
    }

    std::vector<cFileInfo> &items() { return m_items; }
    const std::vector<cFileInfo> &items() const { return m_items; }

private:
    std::vector<cFileInfo> m_items;
};
