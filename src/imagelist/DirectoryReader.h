#pragma once

#include <QString>
#include <QStringView>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

// Reads the entries of one folder, without "." and "..", in listing order: names compared by
// their UTF-16 code units after upper-casing each ("a.jpg", "B.jpg", "c.jpg"; "img10" before
// "img2"), the order users know from Windows folders. The file system's own order is a hash
// order that reads as random. The entry type comes from the listing itself; only links and
// file systems that do not report types cost a stat. A name that the file-name encoding cannot
// give back byte for byte (not valid UTF-8) is left out: no path made of it would reach the
// entry.
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
    QStringView name() const { return nameOf(current()); }
    // Whether the current entry is a folder, following symbolic links.
    bool isFolder() { return type() == DT_DIR; }
    // Whether the current entry is a file that can be opened and read to its end: not a
    // folder, and not a named pipe, socket or device, which would block or never end. An
    // entry whose status cannot be read (a broken link) counts as a file.
    bool isFile()
    {
        const unsigned char t = type();
        return t == DT_REG || t == DT_UNKNOWN;
    }
    // The current entry's status, following symbolic links; false when it cannot be read.
    bool status(struct stat &st) const;

    // Whether name a comes before name b in listing order.
    static bool listsBefore(QStringView a, QStringView b);

private:
    // Names live in two shared buffers, so a folder of any size costs a few allocations.
    struct Entry
    {
        qsizetype name;
        qsizetype nameLength;
        size_t native;
        unsigned char type;
        bool resolved = false; // type holds the link's target
        // The first eight letters upper-cased, four to a number: the sort of a large folder
        // decides most pairs on these alone, in the order listsBefore gives.
        quint64 head[2] = {};
    };
    QStringView nameOf(const Entry &e) const
    {
        return QStringView(m_names).mid(e.name, e.nameLength);
    }
    const Entry &current() const { return m_entries[m_pos]; }
    // The entry's type with links followed; DT_UNKNOWN when its status cannot be read.
    unsigned char type();

    DIR *m_dir = nullptr;
    QString m_names;
    std::string m_natives;
    std::vector<Entry> m_entries;
    size_t m_pos = 0;
    bool m_started = false;
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
