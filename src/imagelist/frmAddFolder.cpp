#include "imagelist/frmAddFolder.h"

#include "core/MessageService.h"
#include "core/PathFunctions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QStorageInfo>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

template<typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel *labelFor(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

// Mount points where removable and extra volumes show up; the system's own mounts (/proc,
// /sys, /run, snaps, ...) are no place to pick pictures from.
bool isUserVolume(const QStorageInfo &volume)
{
    if (!volume.isValid() || !volume.isReady() || volume.isRoot())
        return false;
    const QString root = volume.rootPath();
    for (const QString &prefix :
         { QStringLiteral("/media/"), QStringLiteral("/mnt/"), QStringLiteral("/run/media/") }) {
        if (root.startsWith(prefix))
            return true;
    }
    return root == u"/mnt" || root == u"/media" || root == u"/home";
}

// Whether `path` lies in `folder` or is the folder itself.
bool isWithin(const QString &path, const QString &folder)
{
    return path == folder || folder == u"/" || path.startsWith(AddBackslash(folder));
}

} // namespace

frmAddFolder::frmAddFolder(SettingsStore &store, MessageService &messages, QWidget *owner)
    : QDialog(owner)
    , m_store(store)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("frmAddFolder"));
    setWindowTitle(QStringLiteral("フォルダの選択"));
    // Kept in front of the controller when that is kept in front of everything.
    if (owner && (owner->window()->windowFlags() & Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint);

    tbsOptions = named(new QTabWidget(this), "tbsOptions");
    fraTab0 = named(new QFrame, "fraTab0");
    fraTab1 = named(new QFrame(this), "fraTab1");
    fraTab1->hide();
    buildFolderTab();
    buildExtendedTab();
    tbsOptions->addTab(fraTab0, QStringLiteral("フォルダ"));

    cmdOK = named(new QPushButton(QStringLiteral("OK")), "cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = named(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ")), "cmdCancel");
    connect(cmdOK, &QPushButton::clicked, this, &frmAddFolder::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAddFolder::cmdCancel_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tbsOptions);
    layout->addLayout(buttons);
    resize(440, 500);

    auto *nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this, &frmAddFolder::selectNextTab);

    // The window starts on the folder the program works in, as a folder tree does.
    pointAt(QDir::currentPath());
    txtFolderName->setText(m_dirPath);
    tbsOptions->setCurrentIndex(0);
}

frmAddFolder::~frmAddFolder() = default;

void frmAddFolder::buildFolderTab()
{
    auto *browse = new QGroupBox(QStringLiteral("フォルダの選択(&S)"));
    Drive1 = named(new QComboBox, "Drive1");
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folders->setReadOnly(true);
    m_folders->setRootPath(QStringLiteral("/"));
    Dir1 = named(new QTreeView, "Dir1");
    Dir1->setModel(m_folders);
    Dir1->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        Dir1->hideColumn(column);
    auto *browseLayout = new QVBoxLayout(browse);
    browseLayout->addWidget(Drive1);
    browseLayout->addWidget(Dir1, 1);
    fillPlaces();
    connect(Drive1, &QComboBox::activated, this, &frmAddFolder::Drive1_Click);
    // The tree reads and sorts folders in the background: it keeps the folder it was pointed
    // at in view as rows come in, until the user takes the tree over.
    auto follow = [this] {
        if (!m_following)
            return;
        QTimer::singleShot(0, this, [this] {
            if (m_following && Dir1->currentIndex().isValid())
                Dir1->scrollTo(Dir1->currentIndex(), QAbstractItemView::PositionAtCenter);
        });
    };
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, follow);
    connect(m_folders, &QFileSystemModel::layoutChanged, this, follow);
    Dir1->installEventFilter(this);
    Dir1->viewport()->installEventFilter(this);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { Dir1_Click(current); });

    txtFolderName = named(new QLineEdit, "txtFolderName");
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(labelFor(QStringLiteral("フォルダ名(&F):"), txtFolderName));
    nameRow->addWidget(txtFolderName, 1);

    auto *options = new QGroupBox(QStringLiteral("オプション(&O)"));
    chkSubFolder = named(new QCheckBox(QStringLiteral("ｻﾌﾞﾌｫﾙﾀﾞを検索(&S)")), "chkSubFolder");
    txtMask = named(new QLineEdit, "txtMask");
    auto *optionsLayout = new QGridLayout(options);
    optionsLayout->addWidget(chkSubFolder, 0, 0, 1, 2);
    optionsLayout->addWidget(labelFor(QStringLiteral("ﾏｽｸ(&M):"), txtMask), 1, 0);
    optionsLayout->addWidget(txtMask, 1, 1);

    auto *layout = new QVBoxLayout(fraTab0);
    layout->addWidget(browse, 1);
    layout->addLayout(nameRow);
    layout->addWidget(options);
}

void frmAddFolder::buildExtendedTab()
{
    chkAttribute
        = named(new QCheckBox(QStringLiteral("以下の属性を持つファイルを対象から外す(&A)")),
                "chkAttribute");
    chkAttribute_ReadOnly
        = named(new QCheckBox(QStringLiteral("読み取り専用(&R)")), "chkAttribute_ReadOnly");
    chkAttribute_Hiden
        = named(new QCheckBox(QStringLiteral("隠しファイル(&H)")), "chkAttribute_Hiden");
    chkAttribute_System
        = named(new QCheckBox(QStringLiteral("システム(&S)")), "chkAttribute_System");
    chkAttribute_Archive
        = named(new QCheckBox(QStringLiteral("アーカイブ(&C)")), "chkAttribute_Archive");
    auto *attributes = new QGridLayout;
    attributes->setContentsMargins(24, 0, 0, 0);
    attributes->addWidget(chkAttribute_ReadOnly, 0, 0);
    attributes->addWidget(chkAttribute_Hiden, 0, 1);
    attributes->addWidget(chkAttribute_System, 1, 0);
    attributes->addWidget(chkAttribute_Archive, 1, 1);

    auto *size = new QGroupBox(QStringLiteral("ファイルサイズ"));
    chkFileSize
        = named(new QCheckBox(QStringLiteral("サイズが以下の範囲にあるものを対象とする(&Z)")),
                "chkFileSize");
    txtFileSize_Min = named(new QLineEdit, "txtFileSize_Min");
    txtFileSize_Max = named(new QLineEdit, "txtFileSize_Max");
    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(txtFileSize_Min, 1);
    sizeRow->addWidget(new QLabel(QStringLiteral("バイト　～")));
    sizeRow->addWidget(txtFileSize_Max, 1);
    sizeRow->addWidget(new QLabel(QStringLiteral("バイト")));
    auto *sizeLayout = new QVBoxLayout(size);
    sizeLayout->addWidget(chkFileSize);
    sizeLayout->addLayout(sizeRow);

    auto *time = new QGroupBox(QStringLiteral("更新日時"));
    chkLastWrite
        = named(new QCheckBox(QStringLiteral("更新日時が以下の範囲にあるものを対象とする(&L)")),
                "chkLastWrite");
    txtLastWrite_Min = named(new QLineEdit, "txtLastWrite_Min");
    txtLastWrite_Max = named(new QLineEdit, "txtLastWrite_Max");
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(txtLastWrite_Min, 1);
    timeRow->addWidget(new QLabel(QStringLiteral("～")));
    timeRow->addWidget(txtLastWrite_Max, 1);
    auto *timeLayout = new QVBoxLayout(time);
    timeLayout->addWidget(chkLastWrite);
    timeLayout->addLayout(timeRow);

    auto *layout = new QVBoxLayout(fraTab1);
    layout->addWidget(chkAttribute);
    layout->addLayout(attributes);
    layout->addWidget(size);
    layout->addWidget(time);
    layout->addStretch(1);

    for (QCheckBox *box : { chkAttribute, chkFileSize, chkLastWrite })
        connect(box, &QCheckBox::toggled, this, &frmAddFolder::applyEnabling);
    for (QLineEdit *field :
         { txtFileSize_Min, txtFileSize_Max, txtLastWrite_Min, txtLastWrite_Max })
        field->installEventFilter(this);
}

void frmAddFolder::fillPlaces()
{
    QStringList places { QDir::homePath(), QStringLiteral("/") };
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (isUserVolume(volume) && !places.contains(volume.rootPath()))
            places << volume.rootPath();
    }
    for (const QString &place : places) {
        QString label = place;
        if (place == QDir::homePath())
            label = QStringLiteral("ホーム (") + place + u')';
        Drive1->addItem(label, place);
    }
}

void frmAddFolder::prepare(const QString &defaultFolder, bool subFolders, const QString &mask,
                           bool extended)
{
    m_confirmed = false;
    m_extended = extended;
    if (extended) {
        tbsOptions->addTab(fraTab1, QStringLiteral("拡張"));
        AddFolderConditions stored;
        stored.loadExtended(m_store);
        showConditions(stored);
    }
    if (!defaultFolder.isEmpty()) {
        txtFolderName->setText(defaultFolder);
        pointAt(defaultFolder);
    }
    chkSubFolder->setChecked(subFolders);
    txtMask->setText(AddFolderConditions::initialMask(mask, m_store));
    applyEnabling();
}

void frmAddFolder::showConditions(const AddFolderConditions &c)
{
    chkAttribute->setChecked(c.attributeEnabled);
    chkAttribute_ReadOnly->setChecked(c.attributes & FileFilter::ReadOnly);
    chkAttribute_Hiden->setChecked(c.attributes & FileFilter::Hidden);
    chkAttribute_System->setChecked(c.attributes & FileFilter::System);
    chkAttribute_Archive->setChecked(c.attributes & FileFilter::Archive);
    chkFileSize->setChecked(c.sizeEnabled);
    txtFileSize_Min->setText(c.sizeMin);
    txtFileSize_Max->setText(c.sizeMax);
    chkLastWrite->setChecked(c.timeEnabled);
    txtLastWrite_Min->setText(c.timeMin);
    txtLastWrite_Max->setText(c.timeMax);
}

AddFolderConditions frmAddFolder::conditions() const
{
    AddFolderConditions c;
    c.folder = txtFolderName->text();
    c.subFolders = chkSubFolder->isChecked();
    c.mask = txtMask->text();
    c.attributeEnabled = chkAttribute->isChecked();
    c.attributes = (chkAttribute_ReadOnly->isChecked() ? FileFilter::ReadOnly : 0)
        | (chkAttribute_Hiden->isChecked() ? FileFilter::Hidden : 0)
        | (chkAttribute_System->isChecked() ? FileFilter::System : 0)
        | (chkAttribute_Archive->isChecked() ? FileFilter::Archive : 0);
    c.sizeEnabled = chkFileSize->isChecked();
    c.sizeMin = txtFileSize_Min->text();
    c.sizeMax = txtFileSize_Max->text();
    c.timeEnabled = chkLastWrite->isChecked();
    c.timeMin = txtLastWrite_Min->text();
    c.timeMax = txtLastWrite_Max->text();
    return c;
}

bool frmAddFolder::finish()
{
    if (!m_confirmed || txtFolderName->text().isEmpty())
        return false;
    conditions().store(m_store, m_extended);
    return true;
}

bool frmAddFolder::ShowDialog(const QString &defaultFolder, QString &folder, bool &subFolders,
                              QString &mask)
{
    prepare(defaultFolder, subFolders, mask, false);
    exec();
    if (!finish())
        return false;
    const AddFolderConditions c = conditions();
    folder = c.folder;
    subFolders = c.subFolders;
    mask = c.resultMask();
    return true;
}

bool frmAddFolder::ShowDialogEx(const QString &defaultFolder, FileFilter &filter)
{
    prepare(defaultFolder, filter.subFolders, filter.mask, true);
    exec();
    if (!finish())
        return false;
    filter = conditions().resultFilter();
    return true;
}

void frmAddFolder::applyEnabling()
{
    for (QCheckBox *box :
         { chkAttribute_ReadOnly, chkAttribute_Hiden, chkAttribute_System, chkAttribute_Archive })
        box->setEnabled(chkAttribute->isChecked());
    txtFileSize_Min->setEnabled(chkFileSize->isChecked());
    txtFileSize_Max->setEnabled(chkFileSize->isChecked());
    txtLastWrite_Min->setEnabled(chkLastWrite->isChecked());
    txtLastWrite_Max->setEnabled(chkLastWrite->isChecked());
}

bool frmAddFolder::pointAt(const QString &folder)
{
    if (!IsFolder(folder))
        return false;
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    // The place that holds the folder most closely.
    int place = -1;
    for (int i = 0; i < Drive1->count(); ++i) {
        const QString root = Drive1->itemData(i).toString();
        if (isWithin(path, root)
            && (place < 0 || root.size() > Drive1->itemData(place).toString().size()))
            place = i;
    }
    if (place < 0)
        return false;
    m_pointing = true;
    Drive1->setCurrentIndex(place);
    Dir1->setRootIndex(m_folders->index(Drive1->itemData(place).toString()));
    const QModelIndex index = m_folders->index(path);
    Dir1->setCurrentIndex(index);
    Dir1->scrollTo(index);
    m_pointing = false;
    m_dirPath = path;
    m_following = true;
    return true;
}

void frmAddFolder::Dir1_Click(const QModelIndex &index)
{
    if (m_pointing || !index.isValid())
        return;
    m_dirPath = m_folders->filePath(index);
    txtFolderName->setText(m_dirPath);
}

void frmAddFolder::Drive1_Click(int index)
{
    m_following = false;
    const QString place = Drive1->itemData(index).toString();
    if (!IsFolder(place)) {
        // A place that has gone away: back to the one the tree shows, without a word.
        pointAt(m_dirPath);
        return;
    }
    m_pointing = true;
    Dir1->setRootIndex(m_folders->index(place));
    Dir1->setCurrentIndex(QModelIndex());
    m_pointing = false;
    m_dirPath = place;
}

void frmAddFolder::selectNextTab()
{
    tbsOptions->setCurrentIndex((tbsOptions->currentIndex() + 1) % tbsOptions->count());
}

void frmAddFolder::cmdOK_Click()
{
    const AddFolderConditions::Problem problem = conditions().checkOk();
    if (!problem.message.isEmpty()) {
        if (QLineEdit *field = fieldFor(problem.field))
            bringBack(field);
        m_messages.error(problem.message);
        return;
    }
    m_confirmed = true;
    accept();
}

void frmAddFolder::cmdCancel_Click()
{
    reject();
}

void frmAddFolder::reject()
{
    m_confirmed = false;
    QDialog::reject();
}

bool frmAddFolder::validateField(QLineEdit *field)
{
    const bool isSize = field == txtFileSize_Min || field == txtFileSize_Max;
    const QString message = isSize ? AddFolderConditions::checkFileSizeText(field->text())
                                   : AddFolderConditions::checkFileTimeText(field->text());
    if (message.isEmpty())
        return true;
    bringBack(field);
    m_messages.error(message);
    return false;
}

bool frmAddFolder::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Dir1 || watched->parent() == Dir1) { // the tree or its viewport
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel
            || event->type() == QEvent::KeyPress)
            m_following = false;
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::FocusOut || m_restoring || !isVisible())
        return QDialog::eventFilter(watched, event);
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    // Another window, a menu or the message box itself taking the focus is not leaving the
    // box, and Cancel must stay reachable whatever the box holds.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
        || reason == Qt::MenuBarFocusReason || QApplication::focusWidget() == cmdCancel)
        return QDialog::eventFilter(watched, event);
    // Checked once the focus has settled, unless the user is back in the box by then.
    QPointer<QLineEdit> field(qobject_cast<QLineEdit *>(watched));
    QTimer::singleShot(0, this, [this, field] {
        if (field && !field->hasFocus() && field->isEnabled() && isVisible()
            && QApplication::focusWidget() != cmdCancel)
            validateField(field);
    });
    return QDialog::eventFilter(watched, event);
}

void frmAddFolder::bringBack(QLineEdit *field)
{
    m_restoring = true;
    const int tab = tbsOptions->indexOf(fraTab1);
    if (tab >= 0 && fraTab1->isAncestorOf(field))
        tbsOptions->setCurrentIndex(tab);
    field->setFocus(Qt::OtherFocusReason);
    m_restoring = false;
}

QLineEdit *frmAddFolder::fieldFor(AddFolderConditions::Field field) const
{
    switch (field) {
    case AddFolderConditions::Field::SizeMin:
        return txtFileSize_Min;
    case AddFolderConditions::Field::SizeMax:
        return txtFileSize_Max;
    case AddFolderConditions::Field::TimeMin:
        return txtLastWrite_Min;
    case AddFolderConditions::Field::TimeMax:
        return txtLastWrite_Max;
    case AddFolderConditions::Field::None:
        break;
    }
    return nullptr;
}
