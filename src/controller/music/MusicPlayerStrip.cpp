#include "controller/music/MusicPlayerStrip.h"

#include "controller/music/BgmControl.h"
#include "controller/music/MusicPlayer.h"
#include "controller/music/MusicTrackPlayer.h"
#include "core/ToolIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace {

QString clock(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

// The program's own images, as on the tool bars: the style's media icons are looked up in the
// icon theme, thousands of file tests that cost a start-up some 20 ms.
QToolButton *transport(QWidget *parent, const QString &name, const QString &icon,
                       const QString &tip)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(ToolIcons::icon(icon));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}

} // namespace

MusicPlayerStrip::MusicPlayerStrip(MusicPlayer &player, BgmControl &control,
                                   MusicTrackPlayer &track, QWidget *parent)
    : QFrame(parent)
    , m_player(player)
    , m_track(track)
{
    setObjectName(QStringLiteral("MediaPlayer1"));
    setFrameShape(QFrame::StyledPanel);
    m_play = transport(this, QStringLiteral("bgmPlay"), QStringLiteral("play"),
                       QStringLiteral("再生/一時停止"));
    QToolButton *stop = transport(this, QStringLiteral("bgmStop"), QStringLiteral("stop"),
                                  QStringLiteral("停止"));
    QToolButton *back = transport(this, QStringLiteral("bgmBack"), QStringLiteral("reverse"),
                                  QStringLiteral("前に戻る"));
    QToolButton *forward = transport(this, QStringLiteral("bgmForward"), QStringLiteral("forward"),
                                     QStringLiteral("次に進む"));
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("bgmTitle"));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setMinimumWidth(40);
    m_title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_time = new QLabel(this);
    m_time->setObjectName(QStringLiteral("bgmTime"));
    m_volume = new QSlider(Qt::Horizontal, this);
    m_volume->setObjectName(QStringLiteral("bgmVolume"));
    m_volume->setRange(0, 100);
    m_volume->setValue(m_track.volume());
    m_volume->setFixedWidth(80);
    m_volume->setToolTip(QStringLiteral("音量"));
    m_volume->setAccessibleName(QStringLiteral("音量"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    layout->addWidget(m_play);
    layout->addWidget(stop);
    layout->addWidget(back);
    layout->addWidget(forward);
    layout->addSpacing(6);
    layout->addWidget(m_title, 1);
    layout->addWidget(m_time);
    layout->addSpacing(6);
    layout->addWidget(m_volume);

    connect(m_play, &QToolButton::clicked, this, [&control] { control.mnuBGM_Play_Click(); });
    connect(stop, &QToolButton::clicked, this, [&control] { control.mnuBGM_Stop_Click(); });
    connect(back, &QToolButton::clicked, this, [&control] { control.mnuBGM_Back_Click(); });
    connect(forward, &QToolButton::clicked, this, [&control] { control.mnuBGM_Forward_Click(); });
    connect(m_volume, &QSlider::valueChanged, this, [this](int v) { m_track.setVolume(v); });
    connect(&m_player, &MusicPlayer::changed, this, &MusicPlayerStrip::refresh);
    connect(&m_track, &MusicTrackPlayer::positionChanged, this, &MusicPlayerStrip::refresh);
    refresh();
}

QString MusicPlayerStrip::titleText() const
{
    return m_title->text();
}

QString MusicPlayerStrip::timeText() const
{
    return m_time->text();
}

void MusicPlayerStrip::refresh()
{
    QString title = m_player.title();
    if (!title.isEmpty() && m_player.HasMultipleItems())
        title = QStringLiteral("%1/%2  %3")
                    .arg(m_player.GetCurrentEntry())
                    .arg(m_player.EntryCount())
                    .arg(title);
    m_title->setText(title);
    m_title->setToolTip(m_player.FileName());
    m_time->setText(m_player.FileName().isEmpty() ? QString()
                                                  : clock(m_player.positionMs())
                            + QStringLiteral(" / ") + clock(m_player.durationMs()));
    const bool playing = m_player.PlayState() == MusicPlayer::Playing;
    // Refreshed with every position change: the image is drawn again only when it changes.
    if (playing != m_showsPause) {
        m_showsPause = playing;
        m_play->setIcon(
            ToolIcons::icon(playing ? QStringLiteral("pause") : QStringLiteral("play")));
    }
}
