#pragma once

#include "controller/functions/FunctionPathChooser.h"

#include <QPointer>
#include <QWidget>

// The file dialog for a program to start and the folder dialog for a destination.
class FunctionPathDialog : public FunctionPathChooser
{
public:
    explicit FunctionPathDialog(QWidget *owner);

    std::optional<QString> chooseProgram(const QString &folder, const QString &current) override;
    std::optional<QString> chooseFolder(const QString &folder) override;

private:
    QPointer<QWidget> m_owner;
};
