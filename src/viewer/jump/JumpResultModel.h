#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QSize>
#include <QStringList>

// The page jump dialog's search results: one line per path, its list position as item data
// (Qt::UserRole). Filled in one reset, so a million lines cost one view update.
class JumpResultModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setResults(QStringList paths, QList<int> positions);
    void clear() { setResults({}, {}); }
    int position(int row) const { return m_positions.value(row); }
    // Every line's size; the width is the list's horizontal scroll extent.
    void setRowSize(QSize size) { m_rowSize = size; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QStringList m_paths;
    QList<int> m_positions;
    QSize m_rowSize;
};
