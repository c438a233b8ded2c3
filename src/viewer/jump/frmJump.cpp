#include "viewer/jump/frmJump.h"

#include "core/DialogParent.h"
#include "core/MessageService.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/jump/JumpResultModel.h"
#include "viewer/jump/JumpSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

using namespace SettingKeys;

namespace {

// The busy cursor for as long as a search or a look-up runs, however it ends.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { restore(); }
    void restore()
    {
        if (m_set)
            QApplication::restoreOverrideCursor();
        m_set = false;
    }

private:
    bool m_set = true;
};

} // namespace

frmJump::frmJump(Slideshow &slideshow, SettingsStore &store, MessageService &messages,
                 QWidget *viewer)
    : QWidget(viewer, Qt::Window)
    , cmbJump(new QComboBox(this))
    , lstJump(new QListView(this))
    , cmdJump(new QPushButton(QStringLiteral("ｼﾞｬﾝﾌﾟ(&J)"), this))
    , cmdSearch(new QPushButton(QStringLiteral("検索(&S)"), this))
    , cmdEndingPosition(new QPushButton(QStringLiteral("前回の終了位置(&E)"), this))
    , cmdCancel(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this))
    , chkJumpOptions(new QCheckBox(QStringLiteral("大文字/小文字、全角/半角を区別する(&S)"), this))
    , chkNotClose(new QCheckBox(QStringLiteral("ジャンプ後にこのウインドウを閉じない(&N)"), this))
    , m_slideshow(slideshow)
    , m_store(store)
    , m_messages(messages)
    , m_results(new JumpResultModel(this))
{
    setObjectName(QStringLiteral("frmJump"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ｼﾞｬﾝﾌﾟ先の指定"));
    cmbJump->setObjectName(QStringLiteral("cmbJump"));
    lstJump->setObjectName(QStringLiteral("lstJump"));
    cmdJump->setObjectName(QStringLiteral("cmdJump"));
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    cmdEndingPosition->setObjectName(QStringLiteral("cmdEndingPosition"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    chkJumpOptions->setObjectName(QStringLiteral("chkJumpOptions"));
    chkNotClose->setObjectName(QStringLiteral("chkNotClose"));

    cmbJump->setEditable(true);
    // The history is kept by hand: Enter must jump, not add an entry of its own.
    cmbJump->setInsertPolicy(QComboBox::NoInsert);
    cmbJump->setMaxCount(JumpHistory::maxEntries);
    // What is typed is taken as typed: completed from the history, "1" became "101".
    cmbJump->setCompleter(nullptr);
    lstJump->setModel(m_results);
    lstJump->setUniformItemSizes(true);
    lstJump->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstJump->setSelectionMode(QAbstractItemView::SingleSelection);
    lstJump->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A fixed 700-pixel extent: lines are not measured one by one, which a million would cost.
    m_results->setRowSize(QSize(700, lstJump->fontMetrics().height() + 4));
    cmdJump->setDefault(true);

    auto *label = new QLabel(QStringLiteral("ｼﾞｬﾝﾌﾟ先(&J):"), this);
    label->setBuddy(cmbJump);
    auto *grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(cmbJump, 1, 0);
    grid->addWidget(lstJump, 2, 0, 2, 1);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : { cmdJump, cmdSearch, cmdEndingPosition, cmdCancel })
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 1, 1, 3, 1);
    grid->addWidget(chkJumpOptions, 4, 0, 1, 2);
    grid->addWidget(chkNotClose, 5, 0, 1, 2);
    grid->setRowStretch(3, 1);
    resize(560, 360);

    chkJumpOptions->setChecked(
        m_store.GetSetting(Section::Jump, Jump::chkJumpOptions, QStringLiteral("0")) == u"1");
    chkNotClose->setChecked(
        m_store.GetSetting(Section::Jump, Jump::chkNotClose, QStringLiteral("0")) == u"1");
    m_history.load(m_store);
    cmbJump->addItems(m_history.entries());
    cmbJump->setCurrentIndex(m_history.entries().isEmpty() ? -1 : 0);

    connect(cmdJump, &QPushButton::clicked, this, &frmJump::cmdJump_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmJump::cmdSearch_Click);
    // 検索(&S) and the case check box share their access key; the key goes to whichever
    // control has the focus, so every one of them is watched.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    connect(cmdEndingPosition, &QPushButton::clicked, this, &frmJump::cmdEndingPosition_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(lstJump, &QListView::doubleClicked, this, [this] { cmdJump_Click(); });
    connect(cmbJump->lineEdit(), &QLineEdit::returnPressed, this, &frmJump::cmdJump_Click);
}

frmJump::~frmJump()
{
    // Taken down with the viewer at the end of the run, without a close of its own.
    saveHistory();
}

frmJump *frmJump::showPageJump(Slideshow &slideshow, SettingsStore &store, MessageService &messages,
                               QWidget *viewer)
{
    if (!viewer || !viewer->isVisible())
        return nullptr;
    auto *dialog
        = viewer->findChild<frmJump *>(QStringLiteral("frmJump"), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new frmJump(slideshow, store, messages, viewer);
        keepAboveOwner(dialog);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

bool frmJump::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool altS
        = key->key() == Qt::Key_S && (key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
    if (!altS) {
        // Another key starts the turn again; Alt itself, pressed before every S, does not.
        const bool modifier = key->key() == Qt::Key_Alt || key->key() == Qt::Key_Shift
            || key->key() == Qt::Key_Control || key->key() == Qt::Key_Meta;
        if (event->type() == QEvent::KeyPress && !modifier)
            m_searchKeyPresses = 0;
        return QWidget::eventFilter(watched, event);
    }
    // Taken here rather than as a shortcut, which Qt would pass round the two controls with
    // the check box first: the button acts on the first press, the next press reaches the
    // check box, and so on in turn.
    event->accept();
    if (event->type() == QEvent::KeyPress) {
        if (m_searchKeyPresses++ % 2 == 0)
            cmdSearch->click();
        else
            chkJumpOptions->setFocus(Qt::ShortcutFocusReason);
    }
    return true;
}

void frmJump::addToHistory()
{
    const QString text = cmbJump->currentText();
    m_history.add(text);
    // The combo box follows; its own list would otherwise keep the text twice.
    const QSignalBlocker block(cmbJump);
    cmbJump->clear();
    cmbJump->addItems(m_history.entries());
    cmbJump->setCurrentIndex(0);
}

void frmJump::cmdJump_Click()
{
    const QModelIndexList selected = lstJump->selectionModel()->selectedRows();
    int position = 0;
    if (selected.isEmpty()) {
        const std::optional<int> target
            = JumpSearch::jumpTarget(cmbJump->currentText(), m_slideshow.currentIndex);
        if (!target) {
            m_messages.warning(QStringLiteral("ジャンプできません。"));
            return;
        }
        addToHistory();
        position = *target;
    } else {
        position = m_results->position(selected.first().row());
    }
    jumpTo(position);
}

void frmJump::jumpTo(int position)
{
    // The show may have ended while the dialog waited; a stopped show takes no steps.
    if (!m_slideshow.isRunning())
        return;
    Slideshow &slideshow = m_slideshow;
    if (!chkNotClose->isChecked())
        close();
    slideshow.jumpTo(position);
}

void frmJump::cmdSearch_Click()
{
    BusyCursor busy;
    const QString text = cmbJump->currentText();
    m_results->clear();
    const PlayList &list = m_slideshow.playList;
    const QList<int> found = JumpSearch::findInPlayList(list, text, chkJumpOptions->isChecked());
    QStringList paths;
    paths.reserve(found.size());
    for (int position : found)
        paths.append(list.path(position));
    m_results->setResults(std::move(paths), found);
    addToHistory();
    busy.restore();
    if (found.isEmpty())
        m_messages.warning(QStringLiteral("該当するファイルは見つかりませんでした。"));
}

void frmJump::cmdEndingPosition_Click()
{
    BusyCursor busy;
    const QString lastFile = m_store.GetSetting(Section::Jump, Jump::LastFile);
    if (lastFile.isEmpty()) {
        busy.restore();
        m_messages.inform(QStringLiteral("前回最後に表示したファイルの情報がありません。"));
        return;
    }
    const PlayList &list = m_slideshow.playList;
    for (int i = 1; i <= list.count(); ++i) {
        if (list.path(i).compare(lastFile, Qt::CaseInsensitive) == 0) {
            busy.restore();
            jumpTo(i);
            return;
        }
    }
    busy.restore();
    m_messages.warning(QStringLiteral("前回最後に表示したファイルが見つかりません。"));
}

void frmJump::closeEvent(QCloseEvent *event)
{
    saveHistory();
    QWidget::closeEvent(event);
}

void frmJump::saveHistory()
{
    if (m_saved)
        return;
    m_saved = true;
    m_history.saveIfChanged(m_store, chkJumpOptions->isChecked(), chkNotClose->isChecked());
}
