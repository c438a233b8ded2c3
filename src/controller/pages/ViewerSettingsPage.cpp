#include "controller/pages/ViewerSettingsPage.h"

#include "controller/pages/OptionPageHooks.h"
#include "controller/pages/PageBuilder.h"
#include "core/ColorHex.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using B = PageBuilder;

ViewerSettingsPage::ViewerSettingsPage(Options &options, const OptionPageHooks &hooks,
                                       const OptionPageDialogs &dialogs, QWidget *parent)
    : QWidget(parent)
    , m_options(options)
    , m_hooks(hooks)
    , m_dialogs(dialogs)
{
    QGroupBox *viewer = B::frame(this, QStringLiteral("ﾋﾞｭｰｱの設定"));
    auto *viewerLayout = new QVBoxLayout(viewer);
    viewerLayout->addWidget(B::check(viewer, QStringLiteral("chkHideWithMouse"),
                                     QStringLiteral("マウスの移動で隠れる(&M)")));
    viewerLayout->addWidget(
        B::check(viewer, QStringLiteral("chkAlwaysOnTop"), QStringLiteral("常に手前に表示(&T)")));
    viewerLayout->addWidget(
        B::check(viewer, QStringLiteral("chkViewerKeys"),
                 QStringLiteral("スペース、←、→などのキーで前後のファイルへ移動する(&K)")));
    viewerLayout->addWidget(
        B::check(viewer, QStringLiteral("chkColorProfile"),
                 QStringLiteral("画像のカラープロファイルに合わせて色を表示する(&P)")));

    QGroupBox *show = B::frame(this, QStringLiteral("表示・非表示"));
    auto *showLayout = new QVBoxLayout(show);
    showLayout->addWidget(B::check(show, QStringLiteral("chkMinWhenStart"),
                                   QStringLiteral("自動表示開始時にウインドウを最小化(&W)")));
    showLayout->addWidget(B::check(show, QStringLiteral("chkShowTaskTray"),
                                   QStringLiteral("最小化でタスクトレイにアイコン表示(&I)")));
    showLayout->addWidget(
        B::check(show, QStringLiteral("chkShowTitlebar"), QStringLiteral("タイトルバー(&T)")));
    showLayout->addWidget(
        B::check(show, QStringLiteral("chkShowStatusbar"), QStringLiteral("ステータスバー(&B)")));

    QGroupBox *color = B::frame(this, QStringLiteral("背景色(&C)"));
    QLineEdit *txtBackColor = B::field(color, QStringLiteral("txtBackColor"), 8);
    QPushButton *cmdBackColor = B::ellipsis(color, QStringLiteral("cmdBackColor"));
    m_lblBackColor = new QLabel(color);
    m_lblBackColor->setObjectName(QStringLiteral("lblBackColor"));
    m_lblBackColor->setFrameShape(QFrame::Box);
    m_lblBackColor->setFixedSize(48, txtBackColor->sizeHint().height());
    m_lblBackColor->setAutoFillBackground(true);
    auto *colorLayout = new QVBoxLayout(color);
    colorLayout->addLayout(B::row({ txtBackColor, cmdBackColor, m_lblBackColor }));

    QGroupBox *shiori = B::frame(this, QStringLiteral("終了時のしおり保存確認"));
    auto *shioriLayout = new QVBoxLayout(shiori);
    shioriLayout->addWidget(B::check(shiori, QStringLiteral("chkNotConfirmSaveShiori"),
                                     QStringLiteral("終了時にしおり保存の確認をしない(&S)")));
    shioriLayout->addLayout(B::indented(
        { B::option(shiori, QStringLiteral("optNotSave"), QStringLiteral("保存しない(&N)")),
          B::option(shiori, QStringLiteral("optOverWrite"),
                    QStringLiteral("必ず上書き保存(&A)")) }));

    auto *layout = new QGridLayout(this);
    layout->addWidget(viewer, 0, 0);
    layout->addWidget(show, 1, 0);
    layout->addWidget(color, 0, 1);
    layout->addWidget(shiori, 1, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    layout->setAlignment(color, Qt::AlignTop);
    layout->setAlignment(shiori, Qt::AlignTop);

    connect(cmdBackColor, &QPushButton::clicked, this, [this] { cmdBackColor_Click(); });
    connect(&m_options, &Options::valueChanged, this, &ViewerSettingsPage::optionChanged);
    // A loaded profile sets both bars even where its values equal the ones shown.
    connect(&m_options, &Options::loaded, this, &ViewerSettingsPage::applyBars);
    txtBackColor_Change();
}

void ViewerSettingsPage::optionChanged(Opt id)
{
    switch (id) {
    case Opt::chkShowTitlebar:
        if (m_hooks.showViewerTitleBar)
            m_hooks.showViewerTitleBar(m_options.isChecked(id));
        break;
    case Opt::chkShowStatusbar:
        if (m_hooks.showViewerStatusBar)
            m_hooks.showViewerStatusBar(m_options.isChecked(id));
        break;
    case Opt::chkAlwaysOnTop:
        applyTopmost();
        break;
    case Opt::txtBackColor:
        txtBackColor_Change();
        break;
    default:
        break;
    }
}

void ViewerSettingsPage::applyTopmost()
{
    // A refused change sets the option back, which must not start another attempt.
    if (m_applyingTopmost || !m_hooks.applyViewerTopmost)
        return;
    m_applyingTopmost = true;
    m_hooks.applyViewerTopmost();
    m_applyingTopmost = false;
}

void ViewerSettingsPage::txtBackColor_Change()
{
    QColor color;
    if (!hexToColor(m_options.text(Opt::txtBackColor), color))
        return;
    QPalette p = m_lblBackColor->palette();
    p.setColor(QPalette::Window, color);
    m_lblBackColor->setPalette(p);
    if (m_hooks.setViewerBackColor)
        m_hooks.setViewerBackColor(color);
}

void ViewerSettingsPage::cmdBackColor_Click()
{
    if (!m_dialogs.chooseColor)
        return;
    QColor current;
    hexToColor(m_options.text(Opt::txtBackColor), current);
    const std::optional<QColor> chosen = m_dialogs.chooseColor(window(), current);
    if (chosen)
        m_options.setText(Opt::txtBackColor, colorToHex(*chosen));
}

void ViewerSettingsPage::applyBars()
{
    if (m_hooks.showViewerTitleBar)
        m_hooks.showViewerTitleBar(m_options.isChecked(Opt::chkShowTitlebar));
    if (m_hooks.showViewerStatusBar)
        m_hooks.showViewerStatusBar(m_options.isChecked(Opt::chkShowStatusbar));
}

void ViewerSettingsPage::applyToViewer()
{
    applyBars();
    txtBackColor_Change();
}
