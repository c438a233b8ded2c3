#include "controller/pages/MoviePage.h"

#include "controller/pages/OptionPageHooks.h"
#include "controller/pages/PageBuilder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using B = PageBuilder;

namespace {

void call(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

} // namespace

MoviePage::MoviePage(const OptionPageHooks &hooks, QWidget *parent)
    : QWidget(parent)
    , m_hooks(hooks)
{
    QGroupBox *players = B::frame(this, QStringLiteral("動画の設定"));
    auto *playersLayout = new QVBoxLayout(players);
    playersLayout->addWidget(B::check(players, QStringLiteral("chkMp_PlayMovie"),
                                      QStringLiteral("Windows Media Player で動画を再生する(&P)")));
    playersLayout->addWidget(B::check(players, QStringLiteral("chkMp_PlayRealAudio"),
                                      QStringLiteral("RealPlayer で動画を再生する(&E)")));

    QGroupBox *timing = B::frame(this, QStringLiteral("次の画像に切り替えるタイミング"));
    auto *timingLayout = new QVBoxLayout(timing);
    timingLayout->addWidget(
        B::check(timing, QStringLiteral("chkMp_PlayAll"),
                 QStringLiteral("「表示する間隔」を無視して最後まで再生する(&E)")));
    timingLayout->addWidget(
        B::check(timing, QStringLiteral("chkMp_NextImmediately"),
                 QStringLiteral(
                     "最後まで再生したら「表示する間隔」まで経たなくても次の画像を表示する(&I)")));

    QGroupBox *mediaPlayer = B::frame(this, QStringLiteral("メディアプレイヤーの設定"));
    QPushButton *cmdMp_Option
        = B::button(mediaPlayer, QStringLiteral("cmdMp_Option"), QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
    QPushButton *cmdMp_Version
        = B::button(mediaPlayer, QStringLiteral("cmdMp_Version"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ(&V)"));
    auto *mediaLayout = new QVBoxLayout(mediaPlayer);
    mediaLayout->addWidget(cmdMp_Option);
    mediaLayout->addWidget(cmdMp_Version);
    mediaLayout->addStretch(1);

    QGroupBox *speed = B::frame(this, QStringLiteral("早送り/巻き戻しの早さ"));
    QLineEdit *txtMp_FastForward = B::field(speed, QStringLiteral("txtMp_FastForward"), 6);
    QLineEdit *txtMp_FastReverse = B::field(speed, QStringLiteral("txtMp_FastReverse"), 6);
    auto *speedLayout = new QGridLayout(speed);
    speedLayout->addWidget(B::label(speed, QStringLiteral("早送り(&F):"), txtMp_FastForward), 0, 0);
    speedLayout->addWidget(txtMp_FastForward, 0, 1);
    speedLayout->addWidget(B::label(speed, QStringLiteral("巻き戻し(&R):"), txtMp_FastReverse), 1,
                           0);
    speedLayout->addWidget(txtMp_FastReverse, 1, 1);
    speedLayout->setRowStretch(2, 1);

    QGroupBox *realPlayer = B::frame(this, QStringLiteral("RealPlayerの設定"));
    QPushButton *cmdMp_RealOption
        = B::button(realPlayer, QStringLiteral("cmdMp_RealOption"), QStringLiteral("ｵﾌﾟｼｮﾝ(&T)"));
    QPushButton *cmdMp_RealVersion
        = B::button(realPlayer, QStringLiteral("cmdMp_RealVersion"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ(&S)"));
    auto *realLayout = new QVBoxLayout(realPlayer);
    realLayout->addWidget(cmdMp_RealOption);
    realLayout->addWidget(cmdMp_RealVersion);
    realLayout->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(mediaPlayer, 1);
    bottom->addWidget(speed, 1);
    bottom->addWidget(realPlayer, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(players);
    layout->addWidget(timing);
    layout->addLayout(bottom);
    layout->addStretch(1);

    connect(cmdMp_Option, &QPushButton::clicked, this, [this] { cmdMp_Option_Click(); });
    connect(cmdMp_Version, &QPushButton::clicked, this, [this] { cmdMp_Version_Click(); });
    connect(cmdMp_RealOption, &QPushButton::clicked, this, [this] { cmdMp_RealOption_Click(); });
    connect(cmdMp_RealVersion, &QPushButton::clicked, this, [this] { cmdMp_RealVersion_Click(); });
}

void MoviePage::cmdMp_Option_Click()
{
    call(m_hooks.mediaPlayerOptions);
}

void MoviePage::cmdMp_Version_Click()
{
    call(m_hooks.mediaPlayerAbout);
}

void MoviePage::cmdMp_RealOption_Click()
{
    call(m_hooks.realPlayerOptions);
}

void MoviePage::cmdMp_RealVersion_Click()
{
    call(m_hooks.realPlayerAbout);
}
