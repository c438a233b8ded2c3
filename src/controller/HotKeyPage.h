#pragma once

#include <QWidget>

// "ﾎｯﾄｷｰ": the controls of the hot key bindings and of the external functions. The lists of
// functions and keys, and what the buttons do, belong to the hot key and function logic,
// which finds the controls by their object names.
class HotKeyPage : public QWidget
{
    Q_OBJECT
public:
    explicit HotKeyPage(QWidget *parent = nullptr);
};
