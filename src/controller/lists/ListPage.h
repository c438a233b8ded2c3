#pragma once

#include <QWidget>

#include <functional>

struct AppContext;
class ConfiguredListModel;
class PlayList;
class QAction;
class QFrame;
class QMenu;
class QMimeData;
class QPushButton;
class QTreeView;
class QUrl;

// The folder dialog and the shell call of the list page; tests put their own in. Its file
// dialog goes through the file-dialog service.
struct ListPageDialogs
{
    // The folder dialog; true when confirmed, with the out values filled.
    std::function<bool(const QString &defaultFolder, QString &folder, bool &subFolders,
                       QString &mask)>
        showFolderDialog;
    std::function<void(const QUrl &)> openUrl;
    // Shows the file-list editor; does nothing until one is set.
    std::function<void()> showFileListEditor;
};

// The option page "ﾘｽﾄの編集": the configured list of the current profile, with the commands
// that add, edit, remove and reorder its entries. The list view shows the program's one
// ConfiguredListModel, so loading and saving a profile needs nothing from this page.
class ListPage : public QWidget
{
    Q_OBJECT
public:
    // Fills `frame` (the first option tab), which owns the page, and applies the column
    // widths stored under "ListWindow".
    ListPage(QFrame *frame, AppContext &context);

    ListPageDialogs &dialogs() { return m_dialogs; }
    // The widths of the list's columns in twips, as the shutdown writes them.
    QList<int> columnWidthsTwips() const;

    // Builds `playList` from the checked entries under the progress dialog, over the
    // controller window; false when the user cancelled.
    bool ShowProgressDialog(PlayList &playList,
                            const std::function<void()> &confirmSaveShiori = {});

    // Positions count from 1; an entry inserted at a position pushes the ones from there down.
    // A file entry: refused (false) for an empty path or an existing folder.
    bool addFileEntry(const QString &path, int position);
    // A folder entry, its path ending in "/": refused for an empty path or an existing file.
    bool addFolderEntry(const QString &path, bool withSubfolders, const QString &mask,
                        int position);
    // An existing folder becomes a folder entry, anything else that exists a file entry; a
    // path that does not exist is reported.
    void addPath(const QString &path, bool withSubfolders, const QString &mask, int position);
    // The text of a row's column by its key: only "property" (the kind) has one to give;
    // "name" and unknown keys do nothing and read as empty.
    void setEntryColumn(int row, const QString &columnKey, const QString &text);
    QString getEntryColumn(int row, const QString &columnKey) const;

    void cmdAdd_Click();
    void mnuAddToList_Files_Click();
    void mnuAddToList_Folder_Click();
    void lvwFileList_OLEDragDrop(const QStringList &paths);
    void lvwFileList_DblClick();
    void cmdEdit_Click();
    void cmdRemove_Click();
    void cmdAllRemove_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdShell_Click();
    void cmdMakeFileList_Click();

    QTreeView *lvwFileList = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdAllRemove = nullptr;
    QPushButton *cmdUp = nullptr;
    QPushButton *cmdDown = nullptr;
    QPushButton *cmdShell = nullptr;
    QPushButton *cmdMakeFileList = nullptr;
    QMenu *mnuAddToList = nullptr;
    QAction *mnuAddToList_Files = nullptr;
    QAction *mnuAddToList_Folder = nullptr;

private:
    void buildControls();
    // The multi-select file dialog over the controller; the chosen paths, none when cancelled.
    QStringList selectFiles(const QString &initialName);
    void loadColumnWidths();
    double twipsPerPixel() const;
    // The entry the edit commands work on: the current one when it is selected, else the
    // first selected one; -1 for none.
    int selectedRow() const;
    bool isSelected(int row) const;
    void setSelected(int row, bool selected);
    // Exchanges two entries, the selection moving from `from` to `to`.
    void trade(int from, int to);

    AppContext &m_ctx;
    ConfiguredListModel &m_model;
    ListPageDialogs m_dialogs;
};
