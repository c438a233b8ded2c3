#pragma once

#include <QAbstractTableModel>
#include <QList>

// One entry of the configured list: a picture or movie file, a file-list file, or a folder
// with its mask, and whether it takes part in the next build.
struct ConfiguredEntry
{
    QString path;
    QString kindText;
    bool checked = true;

    bool operator==(const ConfiguredEntry &) const = default;
};

// The configured list of the current profile, shown on the list page. Column 0 ("name") holds
// the path with the check mark, column 1 ("property") the kind text.
class ConfiguredListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { NameColumn = 0, PropertyColumn = 1, ColumnCount = 2 };

    explicit ConfiguredListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const QList<ConfiguredEntry> &entries() const { return m_entries; }
    const ConfiguredEntry &entry(int row) const { return m_entries.at(row); }
    void setEntries(const QList<ConfiguredEntry> &entries);
    void clear() { setEntries({}); }
    void append(const ConfiguredEntry &entry);
    // Inserts before `row` (0 … rowCount()); the entries from `row` on move down.
    void insert(int row, const ConfiguredEntry &entry);
    void replace(int row, const ConfiguredEntry &entry);
    void remove(int row);
    // Moves the entry at `from` to `to` (both existing rows).
    void move(int from, int to);

private:
    QList<ConfiguredEntry> m_entries;
};
