#include "imagelist/frmFileList.h"

#include "core/FileDialogService.h"
#include "core/FileDropFilter.h"
#include "core/MessageService.h"
#include "core/PathFunctions.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "core/ToolIcons.h"
#include "core/Twips.h"
#include "imagelist/FileListFile.h"
#include "imagelist/FileListModel.h"
#include "imagelist/FileSelection.h"
#include "imagelist/FilteredScan.h"
#include "imagelist/frmAddFolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWhatsThis>

#include <cmath>
#include <memory>
#include <optional>

namespace {

const QString listFilter = QStringLiteral(
    "テキストファイル(*.txt)|*.txt|プレイリスト(*.m3u)|*.m3u|すべてのファイル(*.*)|*.*");

// The hourglass for the time of a long command.
struct WaitCursor
{
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// The list file chosen in the open or save dialog, empty when cancelled. A name saved without
// an extension takes that of the chosen file type.
QString askListFile(FileDialogService &dialogs, QWidget *owner, const QString &title,
                    const QString &folder, bool save)
{
    const FileDialogAnswer answer = dialogs.ask({
        .kind = save ? FileDialogKind::SaveFile : FileDialogKind::OpenFile,
        .owner = owner,
        .caption = title,
        .folder = folder,
        .nameFilters = FileSelection::nameFilters(listFilter),
        .hideFilterDetails = true,
        .objectName = save ? QStringLiteral("dlgSave") : QStringLiteral("dlgOpen"),
    });
    if (answer.paths.isEmpty() || !save)
        return answer.first();
    return FileSelection::withTypeExtension(answer.first(), answer.selectedFilter);
}

} // namespace

frmFileList::frmFileList(SettingsStore &store, MessageService &messages,
                         FileDialogService &fileDialogs, QWidget *owner)
    : QMainWindow(owner, Qt::Window)
    , m_store(store)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_model(new FileListModel(this))
{
    setObjectName(QStringLiteral("frmFileList"));
    setWindowTitle(QStringLiteral("ﾌｧｲﾙﾘｽﾄの作成"));
    setWindowIcon(ToolIcons::icon(QStringLiteral("Lunetta")));
    setAttribute(Qt::WA_DeleteOnClose);
    buildMenus();
    buildToolBar();
    buildList();
    installDialogs();
    loadGeometry();
}

frmFileList::~frmFileList() = default;

void frmFileList::buildMenus()
{
    auto add = [this](QMenu *menu, const char *name, const QString &caption,
                      void (frmFileList::*handler)(), const QKeySequence &key = {}) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuFile_Open = add(file, "mnuFile_Open", QStringLiteral("ﾌｧｲﾙﾘｽﾄを開く(&O)"),
                       &frmFileList::mnuFile_Open_Click, QKeySequence::Open);
    mnuFileSaveas = add(file, "mnuFileSaveas", QStringLiteral("ﾌｧｲﾙﾘｽﾄを保存(&S)"),
                        &frmFileList::mnuFileSaveas_Click, QKeySequence::Save);
    file->addSeparator();
    mnuFile_Add = add(file, "mnuFile_Add", QStringLiteral("ﾌｧｲﾙを追加(&F)..."),
                      &frmFileList::mnuFile_Add_Click);
    mnuFile_AddFolder = add(file, "mnuFile_AddFolder", QStringLiteral("ﾌｫﾙﾀﾞ内のﾌｧｲﾙを追加(&D)..."),
                            &frmFileList::mnuFile_AddFolder_Click);
    file->addSeparator();
    mnuFile_Close = file->addAction(QStringLiteral("閉じる(&C)"));
    mnuFile_Close->setObjectName(QStringLiteral("mnuFile_Close"));
    mnuFile_Close->setShortcut(QKeySequence::Close);
    connect(mnuFile_Close, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEdit_Clear = add(edit, "mnuEdit_Clear", QStringLiteral("リストをクリア(&C)"),
                        &frmFileList::mnuEdit_Clear_Click);
    mnuEdit_Remove = add(edit, "mnuEdit_Remove", QStringLiteral("削除(&R)"),
                         &frmFileList::mnuEdit_Remove_Click, QKeySequence::Delete);
    edit->addSeparator();
    mnuEdit_Up = add(edit, "mnuEdit_Up", QStringLiteral("１つ上に(&U)"),
                     &frmFileList::mnuEdit_Up_Click, QKeySequence(Qt::ALT | Qt::Key_Up));
    mnuEdit_Down = add(edit, "mnuEdit_Down", QStringLiteral("１つ下に(&D)"),
                       &frmFileList::mnuEdit_Down_Click, QKeySequence(Qt::ALT | Qt::Key_Down));
    edit->addSeparator();
    mnuEdit_Sort = add(edit, "mnuEdit_Sort", QStringLiteral("名前順に並び替え(&S)"),
                       &frmFileList::mnuEdit_Sort_Click);
}

void frmFileList::buildToolBar()
{
    tbrFileList = addToolBar(QStringLiteral("tbrFileList"));
    tbrFileList->setObjectName(QStringLiteral("tbrFileList"));
    tbrFileList->setIconSize(QSize(24, 24));
    tbrFileList->setMovable(false);
    tbrFileList->setFloatable(false);
    tbrFileList->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    auto button = [this](const QString &key, const QString &tip, const QString &help,
                         void (frmFileList::*handler)()) {
        QAction *a = tbrFileList->addAction(ToolIcons::icon(key), tip);
        a->setObjectName(QStringLiteral("tbrFileList_") + key);
        a->setData(key);
        a->setToolTip(tip);
        a->setWhatsThis(help);
        if (handler)
            connect(a, &QAction::triggered, this, handler);
        return a;
    };
    // A button with a drop-down menu: the button itself runs `handler` (none for "move"), the
    // arrow beside it opens the items.
    auto dropDown
        = [this](QAction *button,
                 const QList<std::tuple<QString, QString, void (frmFileList::*)()>> &items) {
              auto *menu = new QMenu(this);
              menu->setObjectName(button->objectName() + QStringLiteral("_menu"));
              for (const auto &[key, caption, handler] : items) {
                  QAction *item = menu->addAction(caption);
                  item->setObjectName(QStringLiteral("tbrFileList_") + key);
                  item->setData(key);
                  connect(item, &QAction::triggered, this, handler);
              }
              button->setMenu(menu);
              if (auto *tool = qobject_cast<QToolButton *>(tbrFileList->widgetForAction(button)))
                  tool->setPopupMode(QToolButton::MenuButtonPopup);
          };

    button(QStringLiteral("open"), QStringLiteral("開く"),
           QStringLiteral("ファイルリストを開き、その行をリストの最後に追加します。"),
           &frmFileList::mnuFile_Open_Click);
    button(QStringLiteral("save"), QStringLiteral("保存"),
           QStringLiteral("リストをファイルリストとして保存します。"),
           &frmFileList::mnuFileSaveas_Click);
    tbrFileList->addSeparator();
    dropDown(button(QStringLiteral("add"), QStringLiteral("追加"),
                    QStringLiteral("選んだファイルをリストの最後に追加します。▼からは、"
                                   "フォルダ内のファイルを条件を付けて追加できます。"),
                    &frmFileList::mnuFile_Add_Click),
             { { QStringLiteral("add_file"), QStringLiteral("ファイルを追加(&F)..."),
                 &frmFileList::mnuFile_Add_Click },
               { QStringLiteral("open_folder"), QStringLiteral("フォルダ内のファイルを追加(&D)..."),
                 &frmFileList::mnuFile_AddFolder_Click } });
    dropDown(button(QStringLiteral("delete"), QStringLiteral("削除"),
                    QStringLiteral("選択した行をリストから削除します。▼からは、"
                                   "すべての行を削除できます。"),
                    &frmFileList::mnuEdit_Remove_Click),
             { { QStringLiteral("delete_select"), QStringLiteral("リストから削除(&D)"),
                 &frmFileList::mnuEdit_Remove_Click },
               { QStringLiteral("delete_all"), QStringLiteral("すべて削除(&A)"),
                 &frmFileList::mnuEdit_Clear_Click } });
    dropDown(button(QStringLiteral("move"), QStringLiteral("移動"),
                    QStringLiteral("▼から、選択した行を１つ上または１つ下に移動します"
                                   "（Alt+↑、Alt+↓）。"),
                    nullptr),
             { { QStringLiteral("move_up"), QStringLiteral("一つ上に移動(&U)"),
                 &frmFileList::mnuEdit_Up_Click },
               { QStringLiteral("move_down"), QStringLiteral("一つ下に移動(&U)"),
                 &frmFileList::mnuEdit_Down_Click } });
    dropDown(button(QStringLiteral("sort"), QStringLiteral("並び替え"),
                    QStringLiteral("リストをフルパスの名前順（大文字と小文字、全角と半角は区別"
                                   "しません）に並び替えます。"),
                    &frmFileList::mnuEdit_Sort_Click),
             { { QStringLiteral("sort_fullpath"), QStringLiteral("フルパスで並び替える(&F)"),
                 &frmFileList::mnuEdit_Sort_Click } });
    tbrFileList->addSeparator();
    QAction *help = button(QStringLiteral("pophelp"), QStringLiteral("ポップヘルプ"),
                           QStringLiteral("次にクリックしたものの説明を表示します。"), nullptr);
    connect(help, &QAction::triggered, this, [] { QWhatsThis::enterWhatsThisMode(); });
}

void frmFileList::buildList()
{
    lstFileList = new QListView(this);
    lstFileList->setWhatsThis(QStringLiteral(
        "ファイルリストに書く行です。ドラッグ＆ドロップでファイルを追加でき、Alt+↑/Alt+↓で移動、"
        "Deleteで削除、Ctrl+Aですべて選択します。"));
    lstFileList->setObjectName(QStringLiteral("lstFileList"));
    lstFileList->setModel(m_model);
    const auto changed = [this] {
        m_unsaved = true;
    };
    connect(m_model, &QAbstractItemModel::rowsInserted, this, changed);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, changed);
    connect(m_model, &QAbstractItemModel::dataChanged, this, changed);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, changed);
    connect(m_model, &QAbstractItemModel::modelReset, this, changed);
    lstFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstFileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFileList->setUniformItemSizes(true);
    lstFileList->setTextElideMode(Qt::ElideMiddle);
    lstFileList->setWhatsThis(QStringLiteral(
        "ファイルリストに書き込むパスの一覧です。ファイルマネージャからファイルやフォルダを"
        "ドロップして追加することもできます。"));
    // Files and folders dropped from a file manager land here; the view's own drag handling
    // knows nothing of file URLs.
    lstFileList->setAcceptDrops(true);
    lstFileList->viewport()->setAcceptDrops(true);
    auto *drops = new FileDropFilter(this);
    lstFileList->viewport()->installEventFilter(drops);
    connect(drops, &FileDropFilter::pathsDropped, this, &frmFileList::addDroppedPaths);
    setCentralWidget(lstFileList);
}

void frmFileList::installDialogs()
{
    m_dialogs.showFolderDialog = [this](const QString &defaultFolder, FileFilter &filter) {
        frmAddFolder dialog(m_store, m_messages, this);
        return dialog.ShowDialogEx(defaultFolder, filter);
    };
}

QAction *frmFileList::toolButton(const QString &key) const
{
    for (QAction *a : tbrFileList->actions()) {
        if (a->data().toString() == key)
            return a;
        if (a->menu()) {
            for (QAction *item : a->menu()->actions()) {
                if (item->data().toString() == key)
                    return item;
            }
        }
    }
    return nullptr;
}

// --- geometry ------------------------------------------------------------------------------

double frmFileList::twipsPerPixel() const
{
    return Twips::perPixel(screen());
}

void frmFileList::loadGeometry()
{
    using namespace SettingKeys;
    const double tpp = twipsPerPixel();
    auto read = [&](const QString &key, int fallback) {
        return Twips::storedToPixels(m_store.GetSetting(Section::FileListEditor, key), fallback,
                                     tpp);
    };
    QRect outer(read(Left, 0), read(Top, 0), read(Width, 6000), read(Height, 4000));
    if (outer.width() < 100 || outer.height() < 80)
        outer.setSize(QSize(int(6000 / tpp), int(4000 / tpp)));
    // A window placed off every screen (a screen since removed) comes back to the owner's.
    if (!QGuiApplication::screenAt(outer.center())) {
        const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
        if (s)
            outer.moveTopLeft(s->availableGeometry().topLeft());
    }
    // The stored size includes the frame, which a window not yet shown does not know: the
    // owner's frame, from the same window manager, stands in for it.
    QMargins frame;
    if (const QWidget *o = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect f = o->frameGeometry(), g = o->geometry();
        frame = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                         f.bottom() - g.bottom());
    }
    move(outer.topLeft());
    resize(qMax(1, outer.width() - frame.left() - frame.right()),
           qMax(1, outer.height() - frame.top() - frame.bottom()));
}

void frmFileList::saveGeometry()
{
    if (isMinimized() || isMaximized() || isFullScreen())
        return;
    using namespace SettingKeys;
    const double tpp = twipsPerPixel();
    const QRect r = frameGeometry();
    auto twips = [tpp](int pixels) {
        return QString::number(std::lround(pixels * tpp));
    };
    SettingsStore::Batch batch(m_store);
    m_store.SaveSetting(Section::FileListEditor, Top, twips(r.y()));
    m_store.SaveSetting(Section::FileListEditor, Left, twips(r.x()));
    m_store.SaveSetting(Section::FileListEditor, Width, twips(r.width()));
    m_store.SaveSetting(Section::FileListEditor, Height, twips(r.height()));
}

void frmFileList::closeEvent(QCloseEvent *event)
{
    // Lines put together by hand are lost with the window unless saved.
    if (m_unsaved && m_model->rowCount() > 0) {
        const MsgResult answer = m_messages.show(
            { QStringLiteral("ファイルリストが保存されていません。\r\n保存しますか？"),
              MsgIcon::Question, MsgButtons::YesNoCancel, MsgResult::Yes,
              QStringLiteral("ﾌｧｲﾙﾘｽﾄの作成") });
        if (answer == MsgResult::Yes)
            mnuFileSaveas_Click();
        if (answer == MsgResult::Cancel || (answer == MsgResult::Yes && m_unsaved)) {
            event->ignore();
            return;
        }
        m_unsaved = false;
    }
    saveGeometry();
    event->accept();
}

// --- commands ------------------------------------------------------------------------------

void frmFileList::appendLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    m_model->append(lines);
    lstFileList->scrollToBottom();
}

void frmFileList::mnuFile_Open_Click()
{
    using namespace SettingKeys;
    const QString chosen
        = askListFile(m_fileDialogs, this, QStringLiteral("ファイルリストを開く"),
                      m_store.GetSetting(Section::InitDir, InitDir::Filelist_Open), false);
    if (chosen.isEmpty())
        return;
    FileListFile::ReadResult read;
    {
        const WaitCursor wait;
        read = FileListFile::read(chosen);
        appendLines(read.lines);
    }
    if (read.error) {
        m_messages.show(read.error->message());
        return;
    }
    m_store.SaveSetting(Section::InitDir, InitDir::Filelist_Open, GetFolderPart(chosen));
}

void frmFileList::mnuFileSaveas_Click()
{
    using namespace SettingKeys;
    const QString chosen
        = askListFile(m_fileDialogs, this, QStringLiteral("ファイルリストの保存"),
                      m_store.GetSetting(Section::InitDir, InitDir::Filelist_Save), true);
    if (chosen.isEmpty())
        return;
    std::optional<FileError> error;
    {
        const WaitCursor wait;
        error = FileListFile::write(chosen, m_model->lines());
    }
    if (error) {
        m_messages.show(error->message());
        return;
    }
    m_unsaved = false;
    m_store.SaveSetting(Section::InitDir, InitDir::Filelist_Save, GetFolderPart(chosen));
}

void frmFileList::mnuFile_Add_Click()
{
    appendLines(FileSelection::selectFiles(m_fileDialogs, this, m_store, QString(),
                                           SettingKeys::InitDir::Filelist_Add));
}

void frmFileList::mnuFile_AddFolder_Click()
{
    ShowFolderDialog(QString());
}

void frmFileList::ShowFolderDialog(const QString &folder)
{
    // An empty mask lets the dialog show the one confirmed last.
    FileFilter filter;
    filter.mask.clear();
    if (!m_dialogs.showFolderDialog(folder, filter))
        return;
    QStringList found;
    {
        const WaitCursor wait;
        AddFilesInFolder(filter, found, m_messages);
    }
    appendLines(found);
}

void frmFileList::mnuEdit_Clear_Click()
{
    m_model->clear();
}

void frmFileList::mnuEdit_Remove_Click()
{
    m_model->removeSelected(selectedLines());
}

void frmFileList::mnuEdit_Up_Click()
{
    edit(&FileListModel::moveUp);
}

void frmFileList::mnuEdit_Down_Click()
{
    edit(&FileListModel::moveDown);
}

void frmFileList::mnuEdit_Sort_Click()
{
    const WaitCursor wait;
    edit(&FileListModel::sort);
}

void frmFileList::edit(void (FileListModel::*command)(QList<bool> &))
{
    QList<bool> selected = selectedLines();
    (m_model->*command)(selected);
    selectLines(selected);
    // The focus follows the moved lines, so that repeated moves go on from where they are.
    const qsizetype first = selected.indexOf(true);
    if (first >= 0) {
        const QModelIndex at = m_model->index(int(first));
        lstFileList->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
        lstFileList->scrollTo(at);
    }
}

QList<bool> frmFileList::selectedLines() const
{
    QList<bool> selected(m_model->rowCount());
    for (const QItemSelectionRange &range : lstFileList->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (row >= 0 && row < selected.size())
                selected[row] = true;
        }
    }
    return selected;
}

void frmFileList::selectLines(const QList<bool> &selected)
{
    QItemSelection selection;
    for (qsizetype i = 0; i < selected.size(); ++i) {
        if (!selected[i])
            continue;
        qsizetype last = i;
        while (last + 1 < selected.size() && selected[last + 1])
            ++last;
        selection.select(m_model->index(int(i)), m_model->index(int(last)));
        i = last;
    }
    lstFileList->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// --- drops ---------------------------------------------------------------------------------

void frmFileList::lstFileList_OLEDragDrop(const QMimeData *data)
{
    addDroppedPaths(FileDropFilter::localPaths(data));
}

void frmFileList::addDroppedPaths(const QStringList &names)
{
    if (names.size() == 1) {
        if (IsFolder(names.first()))
            ShowFolderDialog(names.first());
        else
            appendLines(names);
        return;
    }
    QStringList files;
    for (const QString &name : std::as_const(names)) {
        if (!IsFolder(name))
            files.append(name);
    }
    appendLines(files);
}
