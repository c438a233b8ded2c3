#include "RecordingFileDialogService.h"

FileDialogAnswer RecordingFileDialogService::ask(const FileDialogRequest &request)
{
    requests.append(request);
    if (whileShowing)
        whileShowing();
    return answers.isEmpty() ? FileDialogAnswer() : answers.dequeue();
}

QStringList RecordingFileDialogService::folders() const
{
    QStringList all;
    for (const FileDialogRequest &r : requests)
        all.append(r.folder);
    return all;
}
