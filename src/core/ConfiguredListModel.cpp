#include "core/ConfiguredListModel.h"

ConfiguredListModel::ConfiguredListModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

int ConfiguredListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int ConfiguredListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ConfiguredListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ConfiguredEntry &e = m_entries.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
        return index.column() == NameColumn ? e.path : e.kindText;
    if (role == Qt::CheckStateRole && index.column() == NameColumn)
        return e.checked ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ConfiguredListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    ConfiguredEntry &e = m_entries[index.row()];
    if (role == Qt::CheckStateRole && index.column() == NameColumn)
        e.checked = value.toInt() == Qt::Checked;
    else if (role == Qt::EditRole && index.column() == NameColumn)
        e.path = value.toString();
    else if (role == Qt::EditRole && index.column() == PropertyColumn)
        e.kindText = value.toString();
    else
        return false;
    emit dataChanged(index, index, { role });
    return true;
}

Qt::ItemFlags ConfiguredListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == NameColumn)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ConfiguredListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == NameColumn)
        return QStringLiteral("ﾌｧｲﾙ/ﾌｫﾙﾀﾞ名");
    if (section == PropertyColumn)
        return QStringLiteral("種類");
    return {};
}

void ConfiguredListModel::setEntries(const QList<ConfiguredEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

void ConfiguredListModel::append(const ConfiguredEntry &entry)
{
    const int row = int(m_entries.size());
    beginInsertRows({}, row, row);
    m_entries.append(entry);
    endInsertRows();
}

void ConfiguredListModel::insert(int row, const ConfiguredEntry &entry)
{
    beginInsertRows({}, row, row);
    m_entries.insert(row, entry);
    endInsertRows();
}

void ConfiguredListModel::replace(int row, const ConfiguredEntry &entry)
{
    m_entries[row] = entry;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void ConfiguredListModel::remove(int row)
{
    beginRemoveRows({}, row, row);
    m_entries.removeAt(row);
    endRemoveRows();
}

void ConfiguredListModel::move(int from, int to)
{
    if (from == to)
        return;
    // beginMoveRows counts the destination before the move.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    m_entries.move(from, to);
    endMoveRows();
}
