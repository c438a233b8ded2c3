#include "controller/pages/OrderPage.h"

#include "controller/pages/PageBuilder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using B = PageBuilder;

OrderPage::OrderPage(QWidget *parent)
    : QWidget(parent)
{
    QGroupBox *interval = B::frame(this, QStringLiteral("画像を表示する間隔(&T)"));
    QLineEdit *txtMinutes = B::field(interval, QStringLiteral("txtMinutes"), 10);
    auto *intervalLayout = new QVBoxLayout(interval);
    intervalLayout->addLayout(
        B::row({ txtMinutes, B::label(interval, QStringLiteral("秒間隔で画像を変える")) }));

    QGroupBox *order = B::frame(this, QStringLiteral("順序の指定"));
    auto *orderLayout = new QVBoxLayout(order);
    orderLayout->addWidget(
        B::option(order, QStringLiteral("optNoSort"), QStringLiteral("順番の通りに表示(&D)")));
    orderLayout->addWidget(B::option(order, QStringLiteral("optSortByFileName"),
                                     QStringLiteral("ファイル名で並び替える(&F)")));
    orderLayout->addLayout(B::indented(
        { B::check(order, QStringLiteral("chkSortDescending"), QStringLiteral("降順(&S)")),
          B::check(order, QStringLiteral("chkSortFolderDepth"),
                   QStringLiteral("常にフォルダの浅い順(&P)")) }));
    orderLayout->addWidget(
        B::option(order, QStringLiteral("optSortRandom"), QStringLiteral("ランダムに表示(&R)")));
    orderLayout->addLayout(
        B::indented({ B::check(order, QStringLiteral("chkSortRandom"),
                               QStringLiteral("１度表示したものは１巡するまで表示しない(&O)")) }));
    orderLayout->addSpacing(6);
    orderLayout->addWidget(
        B::check(order, QStringLiteral("chkLoop"), QStringLiteral("ループする(&L)")));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(interval);
    layout->addWidget(order);
    layout->addStretch(1);
}
