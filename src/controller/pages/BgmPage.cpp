#include "controller/pages/BgmPage.h"

#include "controller/pages/OptionPageHooks.h"
#include "controller/pages/PageBuilder.h"
#include "core/FileDialogService.h"
#include "core/FileDropFilter.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

using B = PageBuilder;

namespace { } // namespace

BgmPage::BgmPage(Options &options, SettingsStore &store, const OptionPageHooks &hooks,
                 FileDialogService &fileDialogs, QWidget *parent)
    : QWidget(parent)
    , m_options(options)
    , m_store(store)
    , m_hooks(hooks)
    , m_fileDialogs(fileDialogs)
{
    QGroupBox *file = B::frame(this, QStringLiteral("BGMとして再生する音楽ﾌｧｲﾙ名(&F)"));
    m_txtBGM = new QLineEdit(file);
    m_txtBGM->setObjectName(QStringLiteral("txtBGM"));
    auto *drops = new FileDropFilter(this, FileDropFilter::Delivery::AtOnce);
    m_txtBGM->installEventFilter(drops);
    connect(drops, &FileDropFilter::pathsDropped, this, &BgmPage::txtBGM_OLEDragDrop);
    QPushButton *cmdBGM = B::button(file, QStringLiteral("cmdBGM"), QStringLiteral("参照"));
    QPushButton *cmdBGM_PlayCD
        = B::button(file, QStringLiteral("cmdBGM_PlayCD"), QStringLiteral("CDを再生(&C)"));
    QPushButton *cmdTestPlay
        = B::button(file, QStringLiteral("cmdTestPlay"), QStringLiteral("テスト(&T)"));
    auto *fileLayout = new QVBoxLayout(file);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_txtBGM, 1);
    pathRow->addWidget(cmdBGM);
    fileLayout->addLayout(pathRow);
    fileLayout->addLayout(B::row({ cmdBGM_PlayCD, cmdTestPlay }));

    QLineEdit *txtBGM_StartingEntry = B::field(this, QStringLiteral("txtBGM_StartingEntry"), 6);
    QLineEdit *txtBGM_PlayCount = B::field(this, QStringLiteral("txtBGM_PlayCount"), 6);
    auto *numbers = new QGridLayout;
    numbers->setContentsMargins(4, 0, 0, 0);
    numbers->addWidget(
        B::label(this, QStringLiteral("再生を開始する曲の番号(&S)"), txtBGM_StartingEntry), 0, 0);
    numbers->addWidget(txtBGM_StartingEntry, 0, 1);
    numbers->addWidget(
        B::label(this, QStringLiteral("再生回数（0で連続再生）(&P)"), txtBGM_PlayCount), 1, 0);
    numbers->addWidget(txtBGM_PlayCount, 1, 1);
    numbers->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addSpacing(4);
    layout->addWidget(B::check(this, QStringLiteral("chkBGM_Enable"),
                               QStringLiteral("自動表示開始時にBGMを再生する(&A)")));
    layout->addLayout(numbers);
    layout->addWidget(B::check(this, QStringLiteral("chkBGM_RememberLastEntry"),
                               QStringLiteral("前回終了した時の曲を記憶する(&R)")));
    layout->addWidget(B::check(this, QStringLiteral("chkBGM_AutoPause"),
                               QStringLiteral("自動表示一時停止時にBGMも一時停止する(&U)")));
    layout->addStretch(1);

    connect(cmdBGM, &QPushButton::clicked, this, [this] { cmdBGM_Click(); });
    connect(cmdBGM_PlayCD, &QPushButton::clicked, this, [this] { cmdBGM_PlayCD_Click(); });
    connect(cmdTestPlay, &QPushButton::clicked, this, [this] { cmdTestPlay_Click(); });
}

void BgmPage::cmdBGM_Click()
{
    using namespace SettingKeys;
    const FileDialogAnswer chosen = m_fileDialogs.ask({
        .kind = FileDialogKind::OpenFile,
        .owner = window(),
        .caption = QStringLiteral("音楽ファイルを開く"),
        .folder = m_store.GetSetting(Section::InitDir, InitDir::BGM_Open),
        .nameFilters = { QStringLiteral("All Files (*)") },
    });
    if (chosen.paths.isEmpty())
        return;
    const QString path = chosen.first();
    m_options.setText(Opt::txtBGM, path);
    m_store.SaveSetting(Section::InitDir, InitDir::BGM_Open, path.left(path.lastIndexOf(u'/') + 1));
}

void BgmPage::cmdBGM_PlayCD_Click()
{
    m_options.setText(Opt::txtBGM, QStringLiteral("CDAUDIO:"));
}

void BgmPage::cmdTestPlay_Click()
{
    if (m_hooks.testPlayMusic)
        m_hooks.testPlayMusic(m_options.text(Opt::txtBGM));
}

void BgmPage::txtBGM_OLEDragDrop(const QStringList &paths)
{
    if (!paths.isEmpty())
        m_options.setText(Opt::txtBGM, paths.first());
}
