#include "controller/lists/ListPage.h"

#include "controller/lists/ListEntryText.h"
#include "core/AppContext.h"
#include "core/FileDropFilter.h"
#include "core/PathFunctions.h"
#include "core/SettingKeys.h"
#include "core/Twips.h"
#include "imagelist/EntryKind.h"
#include "imagelist/FileSelection.h"
#include "imagelist/frmAddFolder.h"
#include "imagelist/frmProgress.h"

#include <QAction>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace {

// Designed widths of the two columns, in pixels.
constexpr int designNameWidth = 270;
constexpr int designPropertyWidth = 200;

const QString nameKey = QStringLiteral("name");
const QString propertyKey = QStringLiteral("property");

// Position 1 … count + 1 as a row; anything beyond the end appends.
int rowFor(int position, int count)
{
    return qBound(0, position - 1, count);
}

} // namespace

ListPage::ListPage(QFrame *frame, AppContext &context)
    : QWidget(frame)
    , m_ctx(context)
    , m_model(context.configuredList)
{
    setObjectName(QStringLiteral("ListPage"));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(this);
    buildControls();
    loadColumnWidths();

    QWidget *owner = frame;
    m_dialogs.showFolderDialog = [this, owner](const QString &defaultFolder, QString &folder,
                                               bool &subFolders, QString &mask) {
        frmAddFolder dialog(m_ctx.store, *m_ctx.messages, owner->window());
        return dialog.ShowDialog(defaultFolder, folder, subFolders, mask);
    };
    m_dialogs.openUrl = [](const QUrl &url) {
        QDesktopServices::openUrl(url);
    };
}

void ListPage::buildControls()
{
    lvwFileList = new QTreeView(this);
    lvwFileList->setObjectName(QStringLiteral("lvwFileList"));
    lvwFileList->setModel(&m_model);
    lvwFileList->setRootIsDecorated(false);
    lvwFileList->setItemsExpandable(false);
    lvwFileList->setUniformRowHeights(true);
    lvwFileList->setAllColumnsShowFocus(true);
    lvwFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwFileList->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwFileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwFileList->header()->setStretchLastSection(false);
    lvwFileList->header()->resizeSection(0, designNameWidth);
    lvwFileList->header()->resizeSection(1, designPropertyWidth);
    // Files and folders dropped from a file manager land here; the view's own drag handling
    // knows nothing of file URLs.
    lvwFileList->setAcceptDrops(true);
    lvwFileList->viewport()->setAcceptDrops(true);
    auto *drops = new FileDropFilter(this);
    lvwFileList->viewport()->installEventFilter(drops);
    connect(drops, &FileDropFilter::pathsDropped, this, &ListPage::lvwFileList_OLEDragDrop);
    connect(lvwFileList, &QTreeView::doubleClicked, this, [this] { lvwFileList_DblClick(); });

    auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdAdd = button("cmdAdd", QStringLiteral("追加"));
    cmdEdit = button("cmdEdit", QStringLiteral("編集"));
    cmdRemove = button("cmdRemove", QStringLiteral("削除"));
    cmdAllRemove = button("cmdAllRemove", QStringLiteral("全削除"));
    cmdUp = button("cmdUp", QStringLiteral("↑"));
    cmdDown = button("cmdDown", QStringLiteral("↓"));
    cmdShell = button("cmdShell", QStringLiteral("ｼｪﾙ"));
    cmdMakeFileList = button("cmdMakeFileList", QStringLiteral("作成"));
    connect(cmdAdd, &QPushButton::clicked, this, &ListPage::cmdAdd_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &ListPage::cmdEdit_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &ListPage::cmdRemove_Click);
    connect(cmdAllRemove, &QPushButton::clicked, this, &ListPage::cmdAllRemove_Click);
    connect(cmdUp, &QPushButton::clicked, this, &ListPage::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &ListPage::cmdDown_Click);
    connect(cmdShell, &QPushButton::clicked, this, &ListPage::cmdShell_Click);
    connect(cmdMakeFileList, &QPushButton::clicked, this, &ListPage::cmdMakeFileList_Click);

    mnuAddToList = new QMenu(QStringLiteral("ﾘｽﾄへの追加"), this);
    mnuAddToList->setObjectName(QStringLiteral("mnuAddToList"));
    mnuAddToList_Files = mnuAddToList->addAction(QStringLiteral("ﾌｧｲﾙの追加(&F)..."));
    mnuAddToList_Files->setObjectName(QStringLiteral("mnuAddToList_Files"));
    mnuAddToList_Folder = mnuAddToList->addAction(QStringLiteral("ﾌｫﾙﾀﾞの追加(&D)..."));
    mnuAddToList_Folder->setObjectName(QStringLiteral("mnuAddToList_Folder"));
    connect(mnuAddToList_Files, &QAction::triggered, this, &ListPage::mnuAddToList_Files_Click);
    connect(mnuAddToList_Folder, &QAction::triggered, this, &ListPage::mnuAddToList_Folder_Click);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : { cmdAdd, cmdEdit, cmdRemove, cmdAllRemove, cmdUp, cmdDown })
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(cmdShell);
    buttons->addWidget(cmdMakeFileList);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(lvwFileList, 1);
    layout->addLayout(buttons);
}

double ListPage::twipsPerPixel() const
{
    return Twips::perPixel(screen());
}

void ListPage::loadColumnWidths()
{
    using namespace SettingKeys;
    // A missing or zero first width keeps the designed ones.
    if (m_ctx.store.GetSetting(Section::ListWindow, ListWindow::column(1)).toInt() <= 0)
        return;
    const double tpp = twipsPerPixel();
    for (int i = 0; i < m_model.columnCount(); ++i) {
        bool ok = false;
        const int twips
            = m_ctx.store.GetSetting(Section::ListWindow, ListWindow::column(i + 1)).toInt(&ok);
        if (ok && twips >= 0)
            lvwFileList->header()->resizeSection(i, int(std::lround(twips / tpp)));
    }
}

QList<int> ListPage::columnWidthsTwips() const
{
    const double tpp = twipsPerPixel();
    QList<int> widths;
    for (int i = 0; i < m_model.columnCount(); ++i)
        widths << int(std::lround(lvwFileList->header()->sectionSize(i) * tpp));
    return widths;
}

bool ListPage::ShowProgressDialog(PlayList &playList,
                                  const std::function<void()> &confirmSaveShiori)
{
    QWidget *owner = window();
    frmProgress dialog(owner, bool(owner->windowFlags() & Qt::WindowStaysOnTopHint));
    return dialog.ShowProgressDialog(playList, m_ctx.options, *m_ctx.random, m_model.entries(),
                                     confirmSaveShiori);
}

bool ListPage::addFileEntry(const QString &path, int position)
{
    if (path.isEmpty() || IsFolder(path))
        return false;
    m_model.insert(rowFor(position, m_model.rowCount()),
                   { path, ListEntryText::fileKind(path), true });
    return true;
}

bool ListPage::addFolderEntry(const QString &path, bool withSubfolders, const QString &mask,
                              int position)
{
    if (path.isEmpty() || (FileExists(path) && !IsFolder(path)))
        return false;
    m_model.insert(rowFor(position, m_model.rowCount()),
                   { AddBackslash(path), ListEntryText::folderKind(mask, withSubfolders), true });
    return true;
}

void ListPage::addPath(const QString &path, bool withSubfolders, const QString &mask, int position)
{
    if (!FileExists(path)) {
        m_ctx.messages->show({ QStringLiteral("指定されたファイル又はフォルダは存在しません。") });
        return;
    }
    if (IsFolder(path))
        addFolderEntry(path, withSubfolders, mask, position);
    else
        addFileEntry(path, position);
}

void ListPage::setEntryColumn(int row, const QString &columnKey, const QString &text)
{
    if (columnKey != propertyKey || row < 0 || row >= m_model.rowCount())
        return;
    m_model.setData(m_model.index(row, ConfiguredListModel::PropertyColumn), text);
}

QString ListPage::getEntryColumn(int row, const QString &columnKey) const
{
    if (columnKey != propertyKey || row < 0 || row >= m_model.rowCount())
        return QString();
    return m_model.entry(row).kindText;
}

void ListPage::cmdAdd_Click()
{
    mnuAddToList->popup(QCursor::pos());
}

QStringList ListPage::selectFiles(const QString &initialName)
{
    return FileSelection::selectFiles(*m_ctx.fileDialogs, window(), m_ctx.store, initialName,
                                      SettingKeys::InitDir::List_Add);
}

void ListPage::mnuAddToList_Files_Click()
{
    const QStringList files = selectFiles(QString());
    // Each one goes to the top, the last first, so they keep their order above the others.
    for (qsizetype i = files.size() - 1; i >= 0; --i)
        addFileEntry(files[i], 1);
}

void ListPage::mnuAddToList_Folder_Click()
{
    QString folder;
    bool subFolders = false;
    QString mask;
    if (m_dialogs.showFolderDialog(QString(), folder, subFolders, mask))
        addFolderEntry(folder, subFolders, mask, 1);
}

void ListPage::lvwFileList_OLEDragDrop(const QStringList &paths)
{
    for (const QString &path : paths)
        addPath(path, false, QStringLiteral("*.*"), 1);
}

void ListPage::lvwFileList_DblClick()
{
    cmdEdit_Click();
}

void ListPage::cmdEdit_Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const ConfiguredEntry old = m_model.entry(row);
    const int position = row + 1;
    int added = 0;
    if (ListEntryText::isFolderKind(old.kindText)) {
        const EntryKind kind = EntryKind::parse(old.kindText);
        QString folder;
        bool subFolders = kind.subFolders;
        QString mask = kind.mask;
        if (!m_dialogs.showFolderDialog(old.path, folder, subFolders, mask))
            return;
        if (addFolderEntry(folder, subFolders, mask, position))
            added = 1;
    } else {
        const QStringList files = selectFiles(old.path);
        for (const QString &file : files) {
            if (addFileEntry(file, position + added))
                ++added;
        }
    }
    // The old entry gives way only to something that took its place: a choice that added
    // nothing leaves it as it was.
    if (added == 0)
        return;
    m_model.remove(row + added);
    lvwFileList->selectionModel()->clearSelection();
    for (int r = row; r < row + added; ++r)
        setSelected(r, true);
    lvwFileList->selectionModel()->setCurrentIndex(m_model.index(row, 0),
                                                   QItemSelectionModel::NoUpdate);
}

void ListPage::cmdRemove_Click()
{
    for (int row = m_model.rowCount() - 1; row >= 0; --row) {
        if (isSelected(row))
            m_model.remove(row);
    }
}

void ListPage::cmdAllRemove_Click()
{
    m_model.clear();
}

void ListPage::cmdUp_Click()
{
    for (int row = 1; row < m_model.rowCount(); ++row) {
        if (isSelected(row))
            trade(row, row - 1);
    }
}

void ListPage::cmdDown_Click()
{
    for (int row = m_model.rowCount() - 2; row >= 0; --row) {
        if (isSelected(row))
            trade(row, row + 1);
    }
}

void ListPage::trade(int from, int to)
{
    const ConfiguredEntry moving = m_model.entry(from);
    m_model.replace(from, m_model.entry(to));
    m_model.replace(to, moving);
    setSelected(to, true);
    setSelected(from, false);
    QItemSelectionModel *selection = lvwFileList->selectionModel();
    if (selection->currentIndex().row() == from)
        selection->setCurrentIndex(m_model.index(to, 0), QItemSelectionModel::NoUpdate);
}

void ListPage::cmdShell_Click()
{
    // The file manager opens where the selected entry lies, else in the home folder.
    QString folder;
    const int row = selectedRow();
    if (row >= 0) {
        const ConfiguredEntry &e = m_model.entry(row);
        folder = ListEntryText::isFolderKind(e.kindText) ? e.path : GetFolderPart(e.path);
    }
    if (!IsFolder(folder))
        folder = QDir::homePath();
    m_dialogs.openUrl(QUrl::fromLocalFile(folder));
}

void ListPage::cmdMakeFileList_Click()
{
    if (m_dialogs.showFileListEditor)
        m_dialogs.showFileListEditor();
}

int ListPage::selectedRow() const
{
    const QItemSelectionModel *selection = lvwFileList->selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row()))
        return current.row();
    const QModelIndexList rows = selection->selectedRows();
    int first = -1;
    for (const QModelIndex &index : rows) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first;
}

bool ListPage::isSelected(int row) const
{
    return lvwFileList->selectionModel()->isRowSelected(row);
}

void ListPage::setSelected(int row, bool selected)
{
    lvwFileList->selectionModel()->select(
        m_model.index(row, 0),
        (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
            | QItemSelectionModel::Rows);
}
