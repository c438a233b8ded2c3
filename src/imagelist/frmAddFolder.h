#pragma once

#include "imagelist/AddFolderConditions.h"

#include <QDialog>

class MessageService;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QFrame;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeView;
class SettingsStore;

// "フォルダの選択": the modal dialog in which the user picks a folder, its mask and whether its
// subfolders are searched; the extended form adds the attribute, size and last-write
// conditions on the tab "拡張". Every call uses a window of its own.
class frmAddFolder : public QDialog
{
    Q_OBJECT
public:
    frmAddFolder(SettingsStore &store, MessageService &messages, QWidget *owner);
    ~frmAddFolder() override;

    // True only when the user pressed OK with a folder text; the out values change only then.
    // An empty incoming mask shows the mask confirmed last.
    bool ShowDialog(const QString &defaultFolder, QString &folder, bool &subFolders, QString &mask);
    // The extended form: `filter.subFolders` and `filter.mask` go in as well (an empty mask
    // shows the one confirmed last), and a confirmed dialog fills the whole filter, with the
    // conditions that are off as reversed ranges.
    bool ShowDialogEx(const QString &defaultFolder, FileFilter &filter);

    // Dir1's folder: the one the tree points at.
    QString dirPath() const { return m_dirPath; }
    // Points Drive1 and Dir1 at a folder; false (and nothing changes) when it does not exist.
    bool pointAt(const QString &folder);

    QTabWidget *tbsOptions = nullptr;
    QFrame *fraTab0 = nullptr;
    QFrame *fraTab1 = nullptr;
    QComboBox *Drive1 = nullptr;
    QTreeView *Dir1 = nullptr;
    QLineEdit *txtFolderName = nullptr;
    QCheckBox *chkSubFolder = nullptr;
    QLineEdit *txtMask = nullptr;
    QCheckBox *chkAttribute = nullptr;
    QCheckBox *chkAttribute_ReadOnly = nullptr;
    QCheckBox *chkAttribute_Hiden = nullptr;
    QCheckBox *chkAttribute_System = nullptr;
    QCheckBox *chkAttribute_Archive = nullptr;
    QCheckBox *chkFileSize = nullptr;
    QLineEdit *txtFileSize_Min = nullptr;
    QLineEdit *txtFileSize_Max = nullptr;
    QCheckBox *chkLastWrite = nullptr;
    QLineEdit *txtLastWrite_Min = nullptr;
    QLineEdit *txtLastWrite_Max = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();
    // The check made when the user leaves a size or date box; true when its text is fine.
    bool validateField(QLineEdit *field);
    // The fields as they stand.
    AddFolderConditions conditions() const;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFolderTab();
    void buildExtendedTab();
    void fillPlaces();
    // Opening and closing, shared by both forms.
    void prepare(const QString &defaultFolder, bool subFolders, const QString &mask, bool extended);
    bool finish();
    void showConditions(const AddFolderConditions &c);
    void applyEnabling();
    void Dir1_Click(const QModelIndex &index);
    void Drive1_Click(int index);
    void selectNextTab();
    void bringBack(QLineEdit *field);
    QLineEdit *fieldFor(AddFolderConditions::Field field) const;

    SettingsStore &m_store;
    MessageService &m_messages;
    QFileSystemModel *m_folders = nullptr;
    QString m_dirPath;
    bool m_confirmed = false;
    bool m_extended = false;
    // Set while the program itself moves the tree, whose selection then must not overwrite
    // the folder text; and while the focus is put back into a box that failed its check.
    bool m_pointing = false;
    bool m_restoring = false;
    // Set while the tree keeps the folder it was pointed at in view.
    bool m_following = false;
};
