#include "imagelist/frmProgress.h"

#include "imagelist/ListBuilder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// Painting more often than this only slows a long walk down; a Cancel click still gets
// through within this time.
constexpr qint64 minEventsIntervalMs = 50;

QString forLabel(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

frmProgress::frmProgress(QWidget *owner, bool alwaysOnTop)
    : QDialog(nullptr)
    , m_owner(owner)
{
    // No parent widget: a child window would be disabled along with its owner, and Cancel
    // must stay clickable. The owner relation is set on the native window instead.
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("しばらくお待ち下さい・・・"));
    setWindowFlag(Qt::WindowStaysOnTopHint, alwaysOnTop);
    setFixedWidth(420);

    lblPrepareStatus = new QLabel(this);
    lblPrepareStatus->setObjectName(QStringLiteral("lblPrepareStatus"));
    lblPrepareStatus->setTextFormat(Qt::PlainText);
    lblPrepareStatus->setWordWrap(true);
    lblPrepareStatus->setMinimumHeight(fontMetrics().lineSpacing() * 3);
    lblPrepareStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblPrepareStatus2 = new QLabel(this);
    lblPrepareStatus2->setObjectName(QStringLiteral("lblPrepareStatus2"));
    lblPrepareStatus2->setTextFormat(Qt::PlainText);

    cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProgress::cmdCancel_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPrepareStatus);
    layout->addWidget(lblPrepareStatus2);
    layout->addLayout(buttons);
}

frmProgress::~frmProgress() = default;

bool frmProgress::ShowProgressDialog(PlayList &playList, const Options &options,
                                     RandomSource &random, const QList<ConfiguredEntry> &entries,
                                     const std::function<void()> &confirmSaveShiori)
{
    m_cancelRequested = false;
    setCursor(Qt::WaitCursor);
    if (m_owner)
        m_owner->setEnabled(false);

    adjustSize();
    winId();
    if (m_owner && m_owner->window()->windowHandle())
        windowHandle()->setTransientParent(m_owner->window()->windowHandle());
    centreOnOwner();
    show();

    ListBuilder builder(playList, options, random, *this);
    builder.setConfirmSaveShiori(confirmSaveShiori);
    builder.BuildFileList(entries);

    const bool result = !m_cancelRequested;
    unsetCursor();
    if (m_owner)
        m_owner->setEnabled(true);
    hide();
    return result;
}

void frmProgress::centreOnOwner()
{
    QRect area;
    if (m_owner && m_owner->isVisible())
        area = m_owner->window()->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    const QSize own = frameGeometry().size();
    move(area.left() + (area.width() - own.width()) / 2,
         area.top() + (area.height() - own.height()) / 2);
}

void frmProgress::setPrepareStatus(const QString &text)
{
    m_status = text;
    m_textsChanged = true;
}

void frmProgress::setPrepareStatus2(const QString &text)
{
    m_status2 = text;
    m_textsChanged = true;
}

void frmProgress::showTexts()
{
    if (!m_textsChanged)
        return;
    lblPrepareStatus->setText(forLabel(m_status));
    lblPrepareStatus2->setText(forLabel(m_status2));
    m_textsChanged = false;
}

void frmProgress::processPendingEvents()
{
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < minEventsIntervalMs)
        return;
    refreshNow();
}

void frmProgress::refreshNow()
{
    showTexts();
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

void frmProgress::cmdCancel_Click()
{
    m_cancelRequested = true;
}

void frmProgress::reject()
{
    m_cancelRequested = true;
}
