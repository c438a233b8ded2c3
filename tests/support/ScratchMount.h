#pragma once

#include <QString>
#include <QTemporaryDir>

#include <functional>

// A small file system of its own (tmpfs) for tests that need a full disk, a read-only folder
// or another device. Mounting needs root; where it is refused, isMounted() is false and the
// test says so.
class ScratchMount
{
public:
    // `size` as mount takes it ("1m"); `readOnly` mounts it read-only after `prepare` has run
    // on the writable folder.
    explicit ScratchMount(const QString &size, bool readOnly = false,
                          const std::function<void(const QString &folder)> &prepare = {});
    ~ScratchMount();
    ScratchMount(const ScratchMount &) = delete;
    ScratchMount &operator=(const ScratchMount &) = delete;

    bool isMounted() const { return m_mounted; }
    // The mounted folder, ending in "/".
    QString root() const { return m_dir.path() + u'/'; }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
