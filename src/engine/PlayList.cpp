#include "engine/PlayList.h"

void PlayList::appendToPlayList(const QString &path)
{
    if (!path.isEmpty())
        m_items.push_back({ path });
}

void PlayList::remove(int position)
{
    m_items.erase(m_items.begin() + (position - 1));
}

void PlayList::clear()
{
    m_items.clear();
    m_items.shrink_to_fit();
}
