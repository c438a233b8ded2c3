#include "imagelist/FileListModel.h"

#include "imagelist/Sorting.h"

FileListModel::FileListModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_lines.at(index.row());
    return {};
}

void FileListModel::append(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    const int first = int(m_lines.size());
    beginInsertRows({}, first, first + int(lines.size()) - 1);
    m_lines += lines;
    endInsertRows();
}

void FileListModel::clear()
{
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

void FileListModel::removeSelected(const QList<bool> &selected)
{
    const qsizetype n = qMin(m_lines.size(), selected.size());
    // Runs of selected lines, found from the end.
    QList<std::pair<qsizetype, qsizetype>> runs;
    for (qsizetype i = n - 1; i >= 0; --i) {
        if (!selected[i])
            continue;
        qsizetype first = i;
        while (first > 0 && selected[first - 1])
            --first;
        runs.append({ first, i });
        i = first;
    }
    if (runs.isEmpty())
        return;
    // Each removal in the middle moves the lines after it: with many scattered runs one pass
    // over the list is cheaper.
    if (runs.size() > 64) {
        beginResetModel();
        QStringList kept;
        kept.reserve(m_lines.size());
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (i >= n || !selected[i])
                kept.append(std::move(m_lines[i]));
        }
        m_lines = std::move(kept);
        endResetModel();
        return;
    }
    for (const auto &[first, last] : runs) {
        beginRemoveRows({}, int(first), int(last));
        m_lines.remove(first, last - first + 1);
        endRemoveRows();
    }
}

void FileListModel::moveUp(QList<bool> &selected)
{
    selected.resize(m_lines.size());
    qsizetype first = -1, last = -1;
    for (qsizetype i = 1; i < m_lines.size(); ++i) {
        if (!selected[i])
            continue;
        m_lines.swapItemsAt(i - 1, i);
        selected[i] = false;
        selected[i - 1] = true;
        if (first < 0)
            first = i - 1;
        last = i;
    }
    changed(first, last);
}

void FileListModel::moveDown(QList<bool> &selected)
{
    selected.resize(m_lines.size());
    qsizetype first = -1, last = -1;
    for (qsizetype i = m_lines.size() - 2; i >= 0; --i) {
        if (!selected[i])
            continue;
        m_lines.swapItemsAt(i, i + 1);
        selected[i] = false;
        selected[i + 1] = true;
        if (last < 0)
            last = i + 1;
        first = i;
    }
    changed(first, last);
}

void FileListModel::sort(QList<bool> &selected)
{
    selected.resize(m_lines.size());
    if (m_lines.size() < 2)
        return;
    const std::vector<qsizetype> order = StableSortOrder(m_lines);
    QStringList sorted;
    sorted.reserve(m_lines.size());
    QList<bool> flags(m_lines.size());
    for (qsizetype k = 0; k < qsizetype(order.size()); ++k) {
        sorted.append(std::move(m_lines[order[size_t(k)]]));
        flags[k] = selected[order[size_t(k)]];
    }
    m_lines = std::move(sorted);
    selected = std::move(flags);
    changed(0, m_lines.size() - 1);
}

void FileListModel::changed(qsizetype first, qsizetype last)
{
    if (first >= 0 && last >= first)
        emit dataChanged(index(int(first)), index(int(last)), { Qt::DisplayRole });
}
