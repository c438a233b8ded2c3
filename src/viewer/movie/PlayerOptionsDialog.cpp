#include "viewer/movie/PlayerOptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int refreshMs = 500;

QString orNone(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("(不明)") : text;
}

} // namespace

PlayerOptionsDialog::PlayerOptionsDialog(const QString &title, std::function<PlaybackInfo()> info,
                                         int volume, bool muted, QWidget *parent)
    : QDialog(parent)
    , m_info(std::move(info))
    , m_file(new QLabel(this))
    , m_video(new QLabel(this))
    , m_audio(new QLabel(this))
    , m_size(new QLabel(this))
    , m_duration(new QLabel(this))
    , m_position(new QLabel(this))
    , m_volume(new QSlider(Qt::Horizontal, this))
    , m_mute(new QCheckBox(QStringLiteral("消音(&M)"), this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("PlayerOptionsDialog"));
    setWindowTitle(title);
    m_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_file->setWordWrap(true);
    m_file->setMinimumWidth(320);
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, 100);
    m_volume->setValue(std::clamp(volume, 0, 100));
    m_mute->setObjectName(QStringLiteral("mute"));
    m_mute->setChecked(muted);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("ファイル:"), m_file);
    form->addRow(QStringLiteral("映像:"), m_video);
    form->addRow(QStringLiteral("音声:"), m_audio);
    form->addRow(QStringLiteral("大きさ:"), m_size);
    form->addRow(QStringLiteral("長さ:"), m_duration);
    form->addRow(QStringLiteral("位置:"), m_position);
    auto *volumeLabel = new QLabel(QStringLiteral("音量(&V):"), this);
    volumeLabel->setBuddy(m_volume);
    form->addRow(volumeLabel, m_volume);
    form->addRow(QString(), m_mute);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close
        = buttons->addButton(QStringLiteral("閉じる(&C)"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_volume, &QSlider::valueChanged, this,
            [this] { emit volumeChanged(this->volume(), this->muted()); });
    connect(m_mute, &QCheckBox::toggled, this,
            [this] { emit volumeChanged(this->volume(), this->muted()); });
    m_timer->setInterval(refreshMs);
    connect(m_timer, &QTimer::timeout, this, &PlayerOptionsDialog::refresh);
    m_timer->start();
    refresh();
}

int PlayerOptionsDialog::volume() const
{
    return m_volume->value();
}

bool PlayerOptionsDialog::muted() const
{
    return m_mute->isChecked();
}

QString PlayerOptionsDialog::timeText(double seconds)
{
    const long long total = std::llround(std::max(0.0, seconds));
    return QStringLiteral("%1:%2").arg(total / 60).arg(total % 60, 2, 10, QLatin1Char('0'));
}

void PlayerOptionsDialog::refresh()
{
    const PlaybackInfo info = m_info ? m_info() : PlaybackInfo();
    if (info.fileName.isEmpty()) {
        m_file->setText(QStringLiteral("(再生中のファイルはありません)"));
        for (QLabel *l : { m_video, m_audio, m_size, m_duration, m_position })
            l->setText(QStringLiteral("-"));
        return;
    }
    m_file->setText(info.fileName);
    m_video->setText(orNone(info.videoCodec));
    m_audio->setText(orNone(info.audioCodec));
    m_size->setText(info.size.isEmpty()
                        ? QStringLiteral("(映像なし)")
                        : QStringLiteral("%1 × %2").arg(info.size.width()).arg(info.size.height()));
    m_duration->setText(info.duration > 0 ? timeText(info.duration) : QStringLiteral("(不明)"));
    m_position->setText(timeText(info.position));
}
