#pragma once

#include <QString>

#include <memory>

class MessageService;

// The progress of copying one file, as the owner shows it.
class CopyProgress
{
public:
    virtual ~CopyProgress() = default;
    // Bytes copied so far; also the user interface's chance to breathe.
    virtual void setCopied(qint64 bytes) = 0;
    virtual bool wasCanceled() const = 0;
};

// The window a file operation works for: it asks the questions, reports the errors and shows
// the progress of long copies.
class FileOperationOwner
{
public:
    virtual ~FileOperationOwner() = default;
    virtual MessageService &messages() = 0;
    // Called before a file's data is copied; `moving` when the copy is the first half of a
    // move to another file system.
    virtual std::unique_ptr<CopyProgress> beginCopy(const QString &source, const QString &target,
                                                    qint64 bytes, bool moving)
        = 0;
};
