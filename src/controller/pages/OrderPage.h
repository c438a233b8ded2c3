#pragma once

#include <QWidget>

// "表示する順序": the interval and the order in which the files are shown.
class OrderPage : public QWidget
{
    Q_OBJECT
public:
    explicit OrderPage(QWidget *parent = nullptr);
};
