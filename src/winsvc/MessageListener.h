#pragma once

#include <QtGlobal>

class QObject;

// An object that listens to a window's messages through its clsMessage hook.
class MessageListener
{
public:
    virtual ~MessageListener() = default;
    // Called for each message of the window (or of the child control listened to). Setting
    // `booReturn` handles the message: the window's own processing is skipped and the result
    // returned stands for it.
    virtual qintptr CallBackWindow(QObject *hWnd, int uMsg, qintptr wParam, qintptr lParam,
                                   bool &booReturn)
        = 0;
};
