#pragma once

#include "RecordingMessageService.h"

#include "imagelist/FileOperationOwner.h"

#include <QStringList>

#include <functional>

// Answers the file operations' questions from the recording message service and records each
// copy's progress; `onProgress` sees every step and may press Cancel by returning true.
class RecordingFileOwner : public FileOperationOwner
{
public:
    MessageService &messages() override { return recorder; }
    std::unique_ptr<CopyProgress> beginCopy(const QString &source, const QString &target,
                                            qint64 bytes, bool moving) override
    {
        copies.append({ source, target, bytes, moving });
        return std::make_unique<Progress>(*this);
    }

    struct Copy
    {
        QString source;
        QString target;
        qint64 bytes;
        bool moving;
    };
    QList<Copy> copies;
    QList<qint64> steps;
    std::function<bool(qint64 copied)> onProgress;
    RecordingMessageService recorder;

private:
    class Progress : public CopyProgress
    {
    public:
        explicit Progress(RecordingFileOwner &owner)
            : m_owner(owner)
        { }
        void setCopied(qint64 bytes) override
        {
            m_owner.steps.append(bytes);
            if (m_owner.onProgress && m_owner.onProgress(bytes))
                m_cancelled = true;
        }
        bool wasCanceled() const override { return m_cancelled; }

    private:
        RecordingFileOwner &m_owner;
        bool m_cancelled = false;
    };
};
