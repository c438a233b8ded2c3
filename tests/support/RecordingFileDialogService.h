#pragma once

#include "core/FileDialogService.h"

#include <QList>
#include <QQueue>

#include <functional>

// Records every file dialog asked for and answers from a queue of prepared answers, as
// cancelled when the queue is empty.
class RecordingFileDialogService : public FileDialogService
{
public:
    FileDialogAnswer ask(const FileDialogRequest &request) override;

    // The next dialog chooses `paths` (none: cancelled) with the file type `filter`.
    void answer(const QStringList &paths, const QString &filter = QString())
    {
        answers.enqueue({ paths, filter });
    }
    // Where each dialog started, in order.
    QStringList folders() const;

    QList<FileDialogRequest> requests;
    QQueue<FileDialogAnswer> answers;
    // Runs while a dialog is open, before it is answered (what the program does under it).
    std::function<void()> whileShowing;
};
