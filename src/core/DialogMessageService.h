#pragma once

#include "core/MessageService.h"

#include <QPointer>
#include <QWidget>

// Shows messages in real message boxes, over the given window when there is one.
class DialogMessageService : public MessageService
{
public:
    MsgResult show(const MessageRequest &request) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &caption,
                                    const QString &defaultText) override;
    void setParentWindow(QWidget *parent) { m_parent = parent; }

private:
    QPointer<QWidget> m_parent;
};
