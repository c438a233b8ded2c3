#pragma once

#include <QString>
#include <QStringView>

#include <set>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>

// Reads the entries of one folder straight from the file system, without "." and "..". The
// entry type comes from the listing itself; only links and file systems that do not report
// types cost a stat.
class DirectoryReader
{
public:
    explicit DirectoryReader(const QString &folder);
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader &) = delete;
    DirectoryReader &operator=(const DirectoryReader &) = delete;

    // False when the folder does not exist or cannot be listed.
    bool isOpen() const { return m_dir != nullptr; }
    // Moves to the next entry; false at the end.
    bool next();

    // The current entry's name, valid until next().
    QStringView name() const { return m_name; }
    // Whether the current entry is a folder, following symbolic links.
    bool isFolder();
    // The current entry's status, following symbolic links; false when it cannot be read.
    bool status(struct stat &st) const;

private:
    DIR *m_dir = nullptr;
    dirent *m_entry = nullptr;
    QString m_name;
};

// The folders a walk has entered, by device and inode, so that a symbolic link back to one of
// them (or a second link to the same folder) is not walked again.
class VisitedFolders
{
public:
    // False when the folder was entered before.
    bool insert(const struct stat &st) { return m_seen.insert({ st.st_dev, st.st_ino }).second; }
    bool insertPath(const QString &folder);

private:
    std::set<std::pair<dev_t, ino_t>> m_seen;
};
