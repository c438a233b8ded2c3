#include "core/PlayList.h"

#include <bit>

void PlayList::appendToPlayList(const QString &path)
{
    if (path.isEmpty())
        return;
    // Entries are appended while a list is built, not while a show drops files.
    sweep();
    m_items.push_back({ path });
}

void PlayList::remove(int position)
{
    const size_t at = index(position);
    if (m_removed == 0) {
        // The first mark: every entry counts once.
        const size_t n = m_items.size();
        m_gone.assign(n, false);
        m_tree.assign(n + 1, 0);
        for (size_t i = 1; i <= n; ++i) {
            m_tree[i] += 1;
            if (const size_t parent = i + (i & -i); parent <= n)
                m_tree[parent] += m_tree[i];
        }
    }
    m_gone[at] = true;
    ++m_removed;
    for (size_t i = at + 1; i < m_tree.size(); i += i & -i)
        --m_tree[i];
    // The text of a removed entry is let go at once; the slot goes with the next sweep.
    m_items[at].m_strPath = QString();
    if (m_removed * 2 >= int(m_items.size()))
        sweep();
}

void PlayList::clear()
{
    m_items.clear();
    m_items.shrink_to_fit();
    m_gone.clear();
    m_tree.clear();
    m_removed = 0;
}

std::vector<cFileInfo> &PlayList::items()
{
    sweep();
    return m_items;
}

const std::vector<cFileInfo> &PlayList::items() const
{
    sweep();
    return m_items;
}

size_t PlayList::index(int position) const
{
    if (m_removed == 0)
        return size_t(position - 1);
    // The entry before which `position` entries remain: descend the tree.
    size_t at = 0;
    int left = position;
    for (size_t step = std::bit_floor(m_items.size()); step > 0; step >>= 1) {
        if (at + step < m_tree.size() && m_tree[at + step] < left) {
            at += step;
            left -= m_tree[at];
        }
    }
    return at;
}

void PlayList::sweep() const
{
    if (m_removed == 0)
        return;
    size_t kept = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (!m_gone[i])
            m_items[kept++] = std::move(m_items[i]);
    }
    m_items.resize(kept);
    m_gone.clear();
    m_tree.clear();
    m_removed = 0;
}
