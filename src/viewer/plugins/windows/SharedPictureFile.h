#pragma once

#include <QString>

#include <cstddef>

// A file in memory, without a name (memfd), that a Windows plug-in's host writes each picture's
// pixels into instead of sending them through its pipe: a 1080p picture is 6 MB, which through a
// pipe means hundreds of switches between the two processes, and many milliseconds when the cores
// are busy. The host opens it through /proc while this object keeps it open; nothing is left behind
// when either side ends, however it ends.
//
// The host is not trusted: the file is sealed against shrinking, so the read-only mapping here can
// never lose pages under it (which would end Lunetta with SIGBUS), and a length the file does not
// hold is refused.
class SharedPictureFile
{
public:
    SharedPictureFile() = default;
    ~SharedPictureFile();
    SharedPictureFile(const SharedPictureFile &) = delete;
    SharedPictureFile &operator=(const SharedPictureFile &) = delete;

    // Makes a new, empty file; false when this system cannot (the pipe is used then).
    bool create();
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // The path through which another process opens the file: /proc/<our pid>/fd/<n>.
    QString path() const;

    // Copies the file's first `size` bytes to `to`; false when the file is shorter. After a picture
    // larger than `keptBytes` the memory beyond that is given back (the file keeps its size).
    bool copyOut(size_t size, void *to);

    static constexpr size_t keptBytes = size_t(32) << 20;

private:
    int m_fd = -1;
    void *m_view = nullptr;
    size_t m_mapped = 0;
};
