#include "controller/HotKeyPage.h"

#include "controller/PageBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using B = PageBuilder;

namespace {

QListWidget *list(QWidget *parent, const QString &name)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(name);
    return l;
}

QStringList functionNames()
{
    QStringList names;
    for (int i = 0; i <= 9; ++i)
        names << QStringLiteral("機能") + QString::number(i);
    return names;
}

} // namespace

HotKeyPage::HotKeyPage(QWidget *parent)
    : QWidget(parent)
{
    QGroupBox *hotKeys = B::frame(this, QStringLiteral("ホットキーの設定"));
    QListWidget *lstHotKey_Function = list(hotKeys, QStringLiteral("lstHotKey_Function"));
    QListWidget *lstHotKey = list(hotKeys, QStringLiteral("lstHotKey"));
    lstHotKey_Function->setMinimumWidth(200);
    lstHotKey->setMinimumWidth(130);
    auto *modifiers = new QVBoxLayout;
    modifiers->addWidget(
        B::check(hotKeys, QStringLiteral("chkHotKey_Ctrl"), QStringLiteral("&Ctrl")));
    modifiers->addWidget(
        B::check(hotKeys, QStringLiteral("chkHotKey_Alt"), QStringLiteral("&Alt")));
    modifiers->addWidget(
        B::check(hotKeys, QStringLiteral("chkHotKey_Shift"), QStringLiteral("&Shift")));
    modifiers->addWidget(
        B::check(hotKeys, QStringLiteral("chkHotKey_Windows"), QStringLiteral("&Windows")));
    modifiers->addStretch(1);
    modifiers->addWidget(
        B::button(hotKeys, QStringLiteral("cmdHotKey_Save"), QStringLiteral("登録(&R)")));
    auto *hotKeyLayout = new QGridLayout(hotKeys);
    hotKeyLayout->addWidget(B::label(hotKeys, QStringLiteral("機能(&F):"), lstHotKey_Function), 0,
                            0);
    hotKeyLayout->addWidget(B::label(hotKeys, QStringLiteral("キー(&K):"), lstHotKey), 0, 1);
    hotKeyLayout->addWidget(lstHotKey_Function, 1, 0);
    hotKeyLayout->addWidget(lstHotKey, 1, 1);
    hotKeyLayout->addLayout(modifiers, 1, 2);
    hotKeyLayout->setColumnStretch(0, 3);
    hotKeyLayout->setColumnStretch(1, 2);
    hotKeyLayout->setColumnStretch(2, 1);

    QGroupBox *functions = B::frame(this, QStringLiteral("機能の設定"));
    // Both lists are fixed; the options model keeps their selected indexes.
    QComboBox *cmbFunction = B::combo(functions, QStringLiteral("cmbFunction"), functionNames());
    QComboBox *cmbFunction_Operate
        = B::combo(functions, QStringLiteral("cmbFunction_Operate"),
                   { QStringLiteral("（なし）"), QStringLiteral("コピー"), QStringLiteral("移動"),
                     QStringLiteral("削除"), QStringLiteral("実行") });
    auto *txtFunction_Path = new QLineEdit(functions);
    txtFunction_Path->setObjectName(QStringLiteral("txtFunction_Path"));
    auto *functionLayout = new QGridLayout(functions);
    functionLayout->addWidget(cmbFunction, 0, 0);
    functionLayout->addWidget(B::label(functions, QStringLiteral("操作(&O):"), cmbFunction_Operate),
                              0, 1);
    functionLayout->addLayout(B::row({ cmbFunction_Operate }), 0, 2);
    functionLayout->addWidget(
        B::button(functions, QStringLiteral("cmdFunction_Save"), QStringLiteral("登録(&E)")), 0, 4);
    functionLayout->addWidget(B::label(functions, QStringLiteral("パス(&P):"), txtFunction_Path), 1,
                              1);
    functionLayout->addWidget(txtFunction_Path, 1, 2, 1, 2);
    functionLayout->addWidget(B::ellipsis(functions, QStringLiteral("cmdFunction_Path")), 1, 4);
    functionLayout->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hotKeys, 1);
    layout->addWidget(functions);
}
