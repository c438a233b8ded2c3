#pragma once

#include "imagelist/FileFilter.h"

#include <QMainWindow>

#include <functional>

class FileDialogService;
class FileListModel;
class MessageService;
class QAction;
class QListView;
class QMimeData;
class QToolBar;
class SettingsStore;

// The folder dialog of the file-list editor, which tests replace; its file dialogs go through
// the file-dialog service.
struct FileListDialogs
{
    // The folder dialog with its extended conditions; true when confirmed, the filter filled.
    std::function<bool(const QString &defaultFolder, FileFilter &filter)> showFolderDialog;
};

// "ﾌｧｲﾙﾘｽﾄの作成": the modeless window in which the user writes file-list files. Its lines
// come from list files, file dialogs, folder scans and drops; its only output is the file the
// user saves. It deletes itself when closed, so its lines are not kept.
class frmFileList : public QMainWindow
{
    Q_OBJECT
public:
    frmFileList(SettingsStore &store, MessageService &messages, FileDialogService &fileDialogs,
                QWidget *owner = nullptr);
    ~frmFileList() override;

    FileListDialogs &dialogs() { return m_dialogs; }
    FileListModel &model() { return *m_model; }
    // A tool bar button or drop-down item by its key ("open", "add", "add_file", …).
    QAction *toolButton(const QString &key) const;

    void mnuFile_Open_Click();
    void mnuFileSaveas_Click();
    void mnuFile_Add_Click();
    void mnuFile_AddFolder_Click();
    void mnuEdit_Clear_Click();
    void mnuEdit_Remove_Click();
    void mnuEdit_Up_Click();
    void mnuEdit_Down_Click();
    void mnuEdit_Sort_Click();
    // The folder dialog with `folder` preset; a confirmed one adds the folder's files.
    void ShowFolderDialog(const QString &folder);
    void lstFileList_OLEDragDrop(const QMimeData *data);
    // One dropped folder opens the folder dialog; other files are added, folders skipped.
    void addDroppedPaths(const QStringList &names);

    // The selection as one flag a line, and back.
    QList<bool> selectedLines() const;
    void selectLines(const QList<bool> &selected);

    QListView *lstFileList = nullptr;
    QToolBar *tbrFileList = nullptr;
    QAction *mnuFile_Open = nullptr;
    QAction *mnuFileSaveas = nullptr;
    QAction *mnuFile_Add = nullptr;
    QAction *mnuFile_AddFolder = nullptr;
    QAction *mnuFile_Close = nullptr;
    QAction *mnuEdit_Clear = nullptr;
    QAction *mnuEdit_Remove = nullptr;
    QAction *mnuEdit_Up = nullptr;
    QAction *mnuEdit_Down = nullptr;
    QAction *mnuEdit_Sort = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildList();
    void installDialogs();
    void loadGeometry();
    void saveGeometry();
    double twipsPerPixel() const;
    void appendLines(const QStringList &lines);
    // Runs a move or sort on the lines and shows the selection that follows.
    void edit(void (FileListModel::*command)(QList<bool> &));

    SettingsStore &m_store;
    MessageService &m_messages;
    FileDialogService &m_fileDialogs;
    FileListModel *m_model = nullptr;
    // Lines added or changed since the list was last saved.
    bool m_unsaved = false;
    FileListDialogs m_dialogs;
};
