#include "controller/pages/SusiePage.h"

#include "controller/pages/OptionBinder.h"
#include "controller/pages/PageBuilder.h"
#include "controller/pages/SusieListRules.h"
#include "core/AppContext.h"
#include "core/FileDialogService.h"
#include "core/PathFunctions.h"
#include "core/SettingKeys.h"
#include "viewer/plugins/cSusie.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using B = PageBuilder;

namespace {

// The list scrolls sideways over at least this width, so long paths can be read.
constexpr int horizontalExtent = 700;

const QStringList dialogFilters { QStringLiteral("Susie Plugin Files(*.spi;*.sph) (*.spi *.sph)"),
                                  QStringLiteral("All Files(*.*) (*)") };

} // namespace

SusiePage::SusiePage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_ctx(context)
{
    setObjectName(QStringLiteral("SusiePage"));
    QGroupBox *use = B::frame(this, QStringLiteral("Susie Plug-inの設定"));
    chkUseSusiePlugin = B::check(use, QStringLiteral("chkUseSusiePlugin"),
                                 QStringLiteral("Susie Plug-inを使って画像を表示する(&P)"));
    auto *useLayout = new QVBoxLayout(use);
    useLayout->addWidget(chkUseSusiePlugin);

    QGroupBox *plugins = B::frame(this, QStringLiteral("使用するSusie Plug-in"));
    lstSusie = new QListWidget(plugins);
    lstSusie->setObjectName(QStringLiteral("lstSusie"));
    lstSusie->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstSusie->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstSusie->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    static const char *const captions[7]
        = { "追加(&A)", "削除(&R)", "↑(&U)", "↓(&D)", "設定(&S)", "&About", "自動検索(&C)" };
    auto *buttons = new QVBoxLayout;
    for (int i = 0; i < 7; ++i) {
        cmdSusie[i] = B::button(plugins, QStringLiteral("cmdSusie") + QString::number(i),
                                QString::fromUtf8(captions[i]));
        buttons->addWidget(cmdSusie[i]);
        connect(cmdSusie[i], &QPushButton::clicked, this, [this, i] { cmdSusie_Click(i); });
    }
    buttons->addStretch(1);
    auto *pluginsLayout = new QHBoxLayout(plugins);
    pluginsLayout->addWidget(lstSusie, 1);
    pluginsLayout->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(use);
    layout->addWidget(plugins, 1);

    m_binder = new OptionBinder(m_ctx.options, this);
    m_binder->bindChildren(this);

    connect(&m_ctx.options, &Options::susiePluginsChanged, this, [this] {
        if (!m_storing)
            showList();
    });
    showList();
}

void SusiePage::showList()
{
    const QStringList items = m_ctx.options.susiePlugins();
    lstSusie->clear();
    const QFontMetrics metrics(lstSusie->font());
    for (const QString &path : items) {
        auto *item = new QListWidgetItem(path, lstSusie);
        const int width = std::max(horizontalExtent, metrics.horizontalAdvance(path) + 8);
        item->setSizeHint(QSize(width, metrics.height() + 4));
    }
}

QList<bool> SusiePage::selection() const
{
    QList<bool> selected;
    for (int i = 0; i < lstSusie->count(); ++i)
        selected.append(lstSusie->item(i)->isSelected());
    return selected;
}

void SusiePage::storeList(const QStringList &items, const QList<bool> &selected)
{
    m_storing = true;
    m_ctx.options.setSusiePlugins(items);
    m_storing = false;
    showList();
    for (int i = 0; i < lstSusie->count(); ++i)
        lstSusie->item(i)->setSelected(selected.value(i));
}

QString SusiePage::selectedPlugin() const
{
    QListWidgetItem *current = lstSusie->currentItem();
    if (current && current->isSelected())
        return current->text();
    const QList<QListWidgetItem *> chosen = lstSusie->selectedItems();
    return chosen.isEmpty() ? QString() : chosen.first()->text();
}

bool SusiePage::addSusiePlugin(const QString &path)
{
    QStringList items = m_ctx.options.susiePlugins();
    if (SusieListRules::contains(items, path))
        return false;
    if (!m_bridge || m_bridge->GetPluginAPIVersion(path) != u"00IN")
        return false;
    QList<bool> selected = selection();
    items.append(path);
    selected.append(false);
    storeList(items, selected);
    return true;
}

void SusiePage::cmdSusie_Click(int index)
{
    QStringList items = m_ctx.options.susiePlugins();
    QList<bool> selected = selection();
    switch (index) {
    case 0:
        addFromDialog();
        break;
    case 1:
        SusieListRules::removeSelected(items, selected);
        storeList(items, selected);
        break;
    case 2:
        SusieListRules::moveUp(items, selected);
        storeList(items, selected);
        break;
    case 3:
        SusieListRules::moveDown(items, selected);
        storeList(items, selected);
        break;
    case 4: {
        const uintptr_t owner = uintptr_t(window()->effectiveWinId());
        const int32_t result
            = m_bridge ? m_bridge->ShowConfigurationDlg(selectedPlugin(), 0, owner) : -2;
        // A plug-in that did not answer has been ended, and the user told so.
        if (result != 0 && result != cSusie::noAnswer)
            m_ctx.messages->inform(QStringLiteral("設定はないようです。"));
        break;
    }
    case 5:
        if (m_bridge)
            m_bridge->ShowAbout(selectedPlugin());
        break;
    case 6:
        autoSearch();
        break;
    default:
        break;
    }
}

void SusiePage::addFromDialog()
{
    using namespace SettingKeys;
    QString folder = m_ctx.store.GetSetting(Section::InitDir, InitDir::Susie_Open);
    if (folder.isEmpty() && m_bridge)
        folder = m_bridge->GetSusiePluginFolder();
    const FileDialogAnswer chosen = m_ctx.fileDialogs->ask({
        .kind = FileDialogKind::OpenFiles,
        .owner = window(),
        .caption = QStringLiteral("Susie Pluginを開く"),
        .folder = folder,
        .nameFilters = dialogFilters,
        .hideFilterDetails = true,
    });
    if (chosen.paths.isEmpty())
        return;
    for (const QString &file : chosen.paths)
        addSusiePlugin(file);
    m_ctx.store.SaveSetting(Section::InitDir, InitDir::Susie_Open, GetFolderPart(chosen.first()));
}

void SusiePage::autoSearch()
{
    if (!m_bridge)
        return;
    QStringList found;
    for (const QString &folder : m_bridge->pluginSearchFolders()) {
        if (!folder.isEmpty())
            m_bridge->GetPluginFileName(folder, found);
    }
    for (const QString &path : found) {
        if (m_bridge->GetPluginAPIVersion(path).toUpper() == u"00IN")
            addSusiePlugin(path);
    }
}
