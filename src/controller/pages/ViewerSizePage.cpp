#include "controller/pages/ViewerSizePage.h"

#include "controller/pages/OptionPageHooks.h"
#include "controller/pages/PageBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using B = PageBuilder;

ViewerSizePage::ViewerSizePage(Options &options, const OptionPageHooks &hooks, QWidget *parent)
    : QWidget(parent)
    , m_options(options)
    , m_hooks(hooks)
{
    QGroupBox *place = B::frame(this, QStringLiteral("表示位置"));
    QComboBox *cmbFixFormLocation = B::combo(
        place, QStringLiteral("cmbFixFormLocation"),
        { QStringLiteral("下記の座標"), QStringLiteral("画面左上"), QStringLiteral("画面左下"),
          QStringLiteral("画面右上"), QStringLiteral("画面右下") });
    QLineEdit *txtFixX = B::field(place, QStringLiteral("txtFixX"), 7);
    QLineEdit *txtFixY = B::field(place, QStringLiteral("txtFixY"), 7);
    QPushButton *cmdGetResentLocation
        = B::button(place, QStringLiteral("cmdGetResentLocation"), QStringLiteral("現在位置"));
    auto *placeLayout = new QVBoxLayout(place);
    placeLayout->addWidget(B::check(place, QStringLiteral("chkFixForm"),
                                    QStringLiteral("ウィンドウ位置を固定する(&F)")));
    auto *placeGrid = new QGridLayout;
    placeGrid->setContentsMargins(20, 0, 0, 0);
    placeGrid->addWidget(B::label(place, QStringLiteral("固定する位置(&L) :"), cmbFixFormLocation),
                         0, 0);
    placeGrid->addLayout(B::row({ cmbFixFormLocation }), 0, 1, 1, 5);
    placeGrid->addWidget(B::label(place, QStringLiteral("X座標(&X)"), txtFixX), 1, 0);
    placeGrid->addWidget(txtFixX, 1, 1);
    placeGrid->addWidget(B::label(place, QStringLiteral("Y座標(&Y)"), txtFixY), 1, 2);
    placeGrid->addWidget(txtFixY, 1, 3);
    placeGrid->addWidget(cmdGetResentLocation, 1, 4);
    placeGrid->setColumnStretch(5, 1);
    placeLayout->addLayout(placeGrid);

    QGroupBox *size = B::frame(this, QStringLiteral("ﾋﾞｭｰｱの大きさ"));
    QPushButton *cmdMaxWidth = B::ellipsis(size, QStringLiteral("cmdMaxWidth"));
    QPushButton *cmdMaxHeight = B::ellipsis(size, QStringLiteral("cmdMaxHeight"));
    auto *sizeLayout = new QVBoxLayout(size);
    sizeLayout->addWidget(B::check(size, QStringLiteral("chkFixFormSize"),
                                   QStringLiteral("ウィンドウのサイズを変えない(&F)")));
    sizeLayout->addWidget(B::check(size, QStringLiteral("chkStretchImage"),
                                   QStringLiteral("画像の大きさをウィンドウに合わせる(&S)")));
    sizeLayout->addLayout(B::indented({ B::check(size, QStringLiteral("chkFixHeightWidthRate"),
                                                 QStringLiteral("縦/横の比率を保持する(&R)")) }));
    // The limits and the zoom factor line up in one column of fields.
    auto *limits = new QGridLayout;
    limits->addWidget(
        B::check(size, QStringLiteral("chkMaxWidth"), QStringLiteral("横幅の最大値を指定する(&W)")),
        0, 0);
    limits->addWidget(B::field(size, QStringLiteral("txtMaxWidth"), 7), 0, 1);
    limits->addWidget(B::label(size, QStringLiteral("pixel")), 0, 2);
    limits->addWidget(cmdMaxWidth, 0, 3);
    limits->addWidget(B::check(size, QStringLiteral("chkMaxHeight"),
                               QStringLiteral("高さの最大値を指定する(&H)")),
                      1, 0);
    limits->addWidget(B::field(size, QStringLiteral("txtMaxHeight"), 7), 1, 1);
    limits->addWidget(B::label(size, QStringLiteral("pixel")), 1, 2);
    limits->addWidget(cmdMaxHeight, 1, 3);
    limits->addWidget(
        B::check(size, QStringLiteral("chkZoomImage"), QStringLiteral("倍率を指定する(&Z)")), 2, 0);
    limits->addWidget(B::field(size, QStringLiteral("txtZoomImage"), 7), 2, 1);
    limits->addWidget(B::label(size, QStringLiteral("倍")), 2, 2);
    limits->setColumnStretch(4, 1);
    sizeLayout->addLayout(limits);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(place);
    layout->addWidget(size);
    layout->addStretch(1);

    connect(cmdGetResentLocation, &QPushButton::clicked, this,
            [this] { cmdGetResentLocation_Click(); });
    connect(cmdMaxWidth, &QPushButton::clicked, this, [this] { cmdMaxWidth_Click(); });
    connect(cmdMaxHeight, &QPushButton::clicked, this, [this] { cmdMaxHeight_Click(); });
}

void ViewerSizePage::cmdGetResentLocation_Click()
{
    if (!m_hooks.viewerFrame)
        return;
    const QRect r = m_hooks.viewerFrame();
    m_options.setText(Opt::txtFixX, QString::number(r.x()));
    m_options.setText(Opt::txtFixY, QString::number(r.y()));
}

void ViewerSizePage::cmdMaxWidth_Click()
{
    if (m_hooks.viewerFrame)
        m_options.setText(Opt::txtMaxWidth, QString::number(m_hooks.viewerFrame().width()));
}

void ViewerSizePage::cmdMaxHeight_Click()
{
    if (m_hooks.viewerFrame)
        m_options.setText(Opt::txtMaxHeight, QString::number(m_hooks.viewerFrame().height()));
}
