#pragma once

#include "imagelist/FileOperationOwner.h"

#include <QPointer>
#include <QWidget>

// The file operations' questions and errors through the message service, and a progress
// window with Cancel over `window` for copies that take a while.
class FileOperationDialogs : public FileOperationOwner
{
public:
    FileOperationDialogs(QWidget *window, MessageService &messages);

    MessageService &messages() override { return m_messages; }
    std::unique_ptr<CopyProgress> beginCopy(const QString &source, const QString &target,
                                            qint64 bytes, bool moving) override;

private:
    QPointer<QWidget> m_window;
    MessageService &m_messages;
};
