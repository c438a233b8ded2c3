#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QStringList>

// The lines of the file-list editor in display order (rows from 0); duplicates are allowed and
// no line is ever checked. The edit commands take the selection as one flag a line and leave in
// it the selection that follows from the command.
class FileListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit FileListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QStringList &lines() const { return m_lines; }
    void append(const QStringList &lines);
    void clear();

    // Removes every selected line, from the last to the first.
    void removeSelected(const QList<bool> &selected);
    // For each line from the second to the last, in that order: a selected line trades places
    // with the one above it and takes its selection along. A block below the first line moves
    // up as a block; a selected first line stays, unless the line below it is selected too,
    // which then takes its place, and the first line loses its selection.
    void moveUp(QList<bool> &selected);
    // The mirror image of moveUp, from the last but one line to the first.
    void moveDown(QList<bool> &selected);
    // Ascending by the whole line, letter case and full/half width ignored; equal lines keep
    // their order and the selection stays with its lines.
    void sort(QList<bool> &selected);

private:
    void changed(qsizetype first, qsizetype last);

    QStringList m_lines;
};
