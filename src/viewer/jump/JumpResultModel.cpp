#include "viewer/jump/JumpResultModel.h"

void JumpResultModel::setResults(QStringList paths, QList<int> positions)
{
    beginResetModel();
    m_paths = std::move(paths);
    m_positions = std::move(positions);
    endResetModel();
}

int JumpResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_paths.size());
}

QVariant JumpResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_paths.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_paths.at(index.row());
    if (role == Qt::UserRole)
        return m_positions.at(index.row());
    if (role == Qt::SizeHintRole && m_rowSize.isValid())
        return m_rowSize;
    return {};
}
