#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "imagelist/FileListModel.h"
#include "imagelist/FileSelection.h"
#include "imagelist/frmFileList.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <functional>

using namespace Qt::StringLiterals;

// The file-list editor window with its dialogs replaced, messages recorded and the settings in
// a sandbox.
class TestFrmFileList : public QObject
{
    Q_OBJECT

    const QStringList listTypes { u"テキストファイル(*.txt) (*.txt)"_s,
                                  u"プレイリスト(*.m3u) (*.m3u)"_s,
                                  u"すべてのファイル(*.*) (*)"_s };

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<SettingsStore> m_store;
    RecordingMessageService m_messages;
    RecordingFileDialogService m_fileDialogs;
    QPointer<frmFileList> m_editor;
    // What the replaced folder dialog was given and answers.
    QStringList m_folderDialogCalls;
    std::function<bool(FileFilter &)> m_folderAnswer;

    void open()
    {
        m_store = std::make_unique<SettingsStore>(m_box->path(u"config"_s));
        m_editor = new frmFileList(*m_store, m_messages, m_fileDialogs);
        FileListDialogs &d = m_editor->dialogs();
        d.showFolderDialog = [this](const QString &folder, FileFilter &filter) {
            m_folderDialogCalls.append(folder + u'|' + filter.mask);
            return m_folderAnswer && m_folderAnswer(filter);
        };
    }
    QStringList lines() const { return m_editor->model().lines(); }
    QString initDir(const QString &key) const
    {
        return m_store->GetSetting(SettingKeys::Section::InitDir, key, u"<none>"_s);
    }
    void select(const QList<int> &rows)
    {
        QList<bool> flags(m_editor->model().rowCount());
        for (int r : rows)
            flags[r] = true;
        m_editor->selectLines(flags);
    }
    static std::unique_ptr<QMimeData> urls(const QStringList &paths)
    {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> list;
        for (const QString &p : paths)
            list.append(p.startsWith(u"http") ? QUrl(p) : QUrl::fromLocalFile(p));
        data->setUrls(list);
        return data;
    }

private slots:
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        m_messages.messages.clear();
        m_fileDialogs = RecordingFileDialogService();
        m_folderDialogCalls.clear();
        m_folderAnswer = {};
    }
    void cleanup() { delete m_editor; }

    void commandsCarryTheirCaptions()
    {
        open();
        QCOMPARE(m_editor->windowTitle(), u"ﾌｧｲﾙﾘｽﾄの作成"_s);
        const QList<std::pair<QAction *, QString>> menus {
            { m_editor->mnuFile_Open, u"ﾌｧｲﾙﾘｽﾄを開く(&O)"_s },
            { m_editor->mnuFileSaveas, u"ﾌｧｲﾙﾘｽﾄを保存(&S)"_s },
            { m_editor->mnuFile_Add, u"ﾌｧｲﾙを追加(&F)..."_s },
            { m_editor->mnuFile_AddFolder, u"ﾌｫﾙﾀﾞ内のﾌｧｲﾙを追加(&D)..."_s },
            { m_editor->mnuFile_Close, u"閉じる(&C)"_s },
            { m_editor->mnuEdit_Clear, u"リストをクリア(&C)"_s },
            { m_editor->mnuEdit_Remove, u"削除(&R)"_s },
            { m_editor->mnuEdit_Up, u"１つ上に(&U)"_s },
            { m_editor->mnuEdit_Down, u"１つ下に(&D)"_s },
            { m_editor->mnuEdit_Sort, u"名前順に並び替え(&S)"_s },
        };
        for (const auto &[action, caption] : menus)
            QCOMPARE(action->text(), caption);
        QCOMPARE(m_editor->mnuEdit_Remove->shortcut(), QKeySequence(QKeySequence::Delete));

        const QList<std::pair<QString, QString>> buttons {
            { u"open"_s, u"開く"_s },
            { u"save"_s, u"保存"_s },
            { u"add"_s, u"追加"_s },
            { u"delete"_s, u"削除"_s },
            { u"move"_s, u"移動"_s },
            { u"sort"_s, u"並び替え"_s },
            { u"pophelp"_s, u"ポップヘルプ"_s },
        };
        QStringList keys;
        for (QAction *a : m_editor->tbrFileList->actions()) {
            if (!a->isSeparator())
                keys.append(a->data().toString());
        }
        QCOMPARE(keys.size(), buttons.size());
        for (const auto &[key, tip] : buttons) {
            QVERIFY2(m_editor->toolButton(key), qPrintable(key));
            QCOMPARE(m_editor->toolButton(key)->toolTip(), tip);
            QVERIFY(!m_editor->toolButton(key)->whatsThis().isEmpty());
        }
        const QList<std::tuple<QString, QString, QString>> items {
            { u"add"_s, u"add_file"_s, u"ファイルを追加(&F)..."_s },
            { u"add"_s, u"open_folder"_s, u"フォルダ内のファイルを追加(&D)..."_s },
            { u"delete"_s, u"delete_select"_s, u"リストから削除(&D)"_s },
            { u"delete"_s, u"delete_all"_s, u"すべて削除(&A)"_s },
            { u"move"_s, u"move_up"_s, u"一つ上に移動(&U)"_s },
            { u"move"_s, u"move_down"_s, u"一つ下に移動(&U)"_s },
            { u"sort"_s, u"sort_fullpath"_s, u"フルパスで並び替える(&F)"_s },
        };
        for (const auto &[button, key, caption] : items) {
            QAction *item = m_editor->toolButton(key);
            QVERIFY2(item, qPrintable(key));
            QCOMPARE(item->text(), caption);
            QVERIFY(m_editor->toolButton(button)->menu()->actions().contains(item));
            auto *tool = qobject_cast<QToolButton *>(
                m_editor->tbrFileList->widgetForAction(m_editor->toolButton(button)));
            QCOMPARE(tool->popupMode(), QToolButton::MenuButtonPopup);
        }
    }

    void buttonsAndItemsEditTheList()
    {
        open();
        m_editor->model().append({ u"A"_s, u"B"_s, u"C"_s, u"b"_s });
        select({ 1 });
        m_editor->toolButton(u"move"_s)->trigger(); // the button itself does nothing
        QCOMPARE(lines(), QStringList({ u"A"_s, u"B"_s, u"C"_s, u"b"_s }));
        m_editor->toolButton(u"move_up"_s)->trigger();
        QCOMPARE(lines(), QStringList({ u"B"_s, u"A"_s, u"C"_s, u"b"_s }));
        QCOMPARE(m_editor->selectedLines(), QList<bool>({ true, false, false, false }));
        m_editor->toolButton(u"move_down"_s)->trigger();
        m_editor->toolButton(u"move_down"_s)->trigger();
        QCOMPARE(lines(), QStringList({ u"A"_s, u"C"_s, u"B"_s, u"b"_s }));
        QCOMPARE(m_editor->lstFileList->currentIndex().row(), 2);
        m_editor->toolButton(u"sort_fullpath"_s)->trigger();
        QCOMPARE(lines(), QStringList({ u"A"_s, u"B"_s, u"b"_s, u"C"_s }));
        QCOMPARE(m_editor->selectedLines(), QList<bool>({ false, true, false, false }));
        select({ 0, 3 });
        m_editor->toolButton(u"delete"_s)->trigger();
        QCOMPARE(lines(), QStringList({ u"B"_s, u"b"_s }));
        m_editor->toolButton(u"delete_all"_s)->trigger();
        QVERIFY(lines().isEmpty());
    }

    void keyboardRemovesMovesAndSelectsAll()
    {
        open();
        m_editor->model().append({ u"A"_s, u"B"_s, u"C"_s, u"D"_s });
        m_editor->show();
        QApplication::setActiveWindow(m_editor);
        QVERIFY(QTest::qWaitForWindowActive(m_editor));
        m_editor->lstFileList->setFocus();
        select({ 2 });
        QTest::keyClick(m_editor->lstFileList, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(lines(), QStringList({ u"A"_s, u"C"_s, u"B"_s, u"D"_s }));
        QTest::keyClick(m_editor->lstFileList, Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(m_editor->lstFileList, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(lines(), QStringList({ u"A"_s, u"B"_s, u"D"_s, u"C"_s }));
        QTest::keyClick(m_editor->lstFileList, Qt::Key_Delete);
        QCOMPARE(lines(), QStringList({ u"A"_s, u"B"_s, u"D"_s }));
        QTest::keyClick(m_editor->lstFileList, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(m_editor->selectedLines(), QList<bool>({ true, true, true }));
        QTest::keyClick(m_editor->lstFileList, Qt::Key_Delete);
        QVERIFY(lines().isEmpty());
    }

    void openingAppendsAndRemembersTheFolder()
    {
        open();
        const QString list
            = m_box->file(u"lists/a.txt"_s, "/p/1.jpg\r\n;skip\r\n\r\n/p/2.jpg\r/p/3.jpg");
        m_editor->model().append({ u"/old.jpg"_s });
        m_fileDialogs.answer({ list });
        m_fileDialogs.answer({ list });
        m_editor->mnuFile_Open_Click();
        m_editor->toolButton(u"open"_s)->trigger();
        QCOMPARE(lines(),
                 QStringList({ u"/old.jpg"_s, u"/p/1.jpg"_s, u"/p/2.jpg"_s, u"/p/3.jpg"_s,
                               u"/p/1.jpg"_s, u"/p/2.jpg"_s, u"/p/3.jpg"_s }));
        QCOMPARE(m_fileDialogs.folders(), QStringList({ QString(), m_box->path(u"lists/"_s) }));
        const FileDialogRequest &asked = m_fileDialogs.requests[0];
        QCOMPARE(asked.kind, FileDialogKind::OpenFile);
        QCOMPARE(asked.caption, u"ファイルリストを開く"_s);
        QCOMPARE(asked.objectName, u"dlgOpen"_s);
        QCOMPARE(asked.nameFilters, listTypes);
        QVERIFY(asked.hideFilterDetails);
        QCOMPARE(initDir(u"Filelist_Open"_s), m_box->path(u"lists/"_s));
        QVERIFY(m_messages.messages.isEmpty());

        // Cancelled: nothing changes. Unreadable: the file-error message, the list as it was.
        m_editor->mnuFile_Open_Click();
        m_fileDialogs.answer({ m_box->path(u"elsewhere/none.txt"_s) });
        m_editor->mnuFile_Open_Click();
        QCOMPARE(lines().size(), 7);
        QCOMPARE(m_messages.messages.size(), 1);
        QCOMPARE(m_messages.messages[0].caption, u"Error-Lunetta"_s);
        QCOMPARE(m_messages.messages[0].icon, MsgIcon::Error);
        QVERIFY(m_messages.messages[0].text.startsWith(
            u"Error"_s + QString::number(int(QFileDevice::OpenError)) + u"\r\n"_s));
        QCOMPARE(initDir(u"Filelist_Open"_s), m_box->path(u"lists/"_s));
    }

    void savingWritesEveryLineAndOpensAgain()
    {
        open();
        const QStringList edited { u"/p/写真 1.jpg"_s, u";comment"_s, QString(), u"#EXTM3U"_s };
        m_editor->model().append(edited);
        // A name without an extension under the file type of any name is saved as it is.
        const QString saved = m_box->path(u"out/list"_s);
        m_fileDialogs.answer({ saved }, listTypes[2]);
        m_box->folder(u"out"_s);
        m_editor->toolButton(u"save"_s)->trigger();
        QVERIFY(m_messages.messages.isEmpty());
        QCOMPARE(readFile(saved),
                 QByteArray("/p/\xE5\x86\x99\xE7\x9C\x9F 1.jpg\r\n;comment\r\n\r\n#EXTM3U\r\n"));
        QCOMPARE(initDir(u"Filelist_Save"_s), m_box->path(u"out/"_s));
        const FileDialogRequest &asked = m_fileDialogs.requests[0];
        QCOMPARE(asked.kind, FileDialogKind::SaveFile);
        QCOMPARE(asked.caption, u"ファイルリストの保存"_s);
        QCOMPARE(asked.objectName, u"dlgSave"_s);
        QCOMPARE(asked.nameFilters, listTypes);

        m_editor->mnuEdit_Clear_Click();
        m_fileDialogs.answer({ saved });
        m_editor->mnuFile_Open_Click();
        QCOMPARE(lines(), QStringList({ u"/p/写真 1.jpg"_s, u"#EXTM3U"_s }));
        // Under a type with an extension, the name takes it.
        m_fileDialogs.answer({ saved }, listTypes[1]);
        m_editor->mnuFileSaveas_Click();
        QVERIFY(QFileInfo::exists(saved + u".m3u"_s));

        // A folder in the way of the name: the file-error message, nothing remembered.
        m_fileDialogs.answer({ m_box->folder(u"taken"_s) });
        m_editor->mnuFileSaveas_Click();
        QCOMPARE(m_messages.messages.size(), 1);
        QCOMPARE(m_messages.messages[0].caption, u"Error-Lunetta"_s);
        QCOMPARE(initDir(u"Filelist_Save"_s), m_box->path(u"out/"_s));
    }

    void closingAsksToSaveUnsavedLines_data()
    {
        QTest::addColumn<bool>("saveFirst");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<bool>("saveChosen"); // a name given in the save dialog
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::newRow("saved already") << true << -1 << false << true << true;
        QTest::newRow("no: dropped") << false << int(MsgResult::No) << false << true << false;
        QTest::newRow("cancel: stays")
            << false << int(MsgResult::Cancel) << false << false << false;
        QTest::newRow("yes: saved") << false << int(MsgResult::Yes) << true << true << true;
        QTest::newRow("yes, dialog cancelled: stays")
            << false << int(MsgResult::Yes) << false << false << false;
    }
    void closingAsksToSaveUnsavedLines()
    {
        QFETCH(bool, saveFirst);
        QFETCH(int, answer);
        QFETCH(bool, saveChosen);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        open();
        m_editor->show();
        m_editor->model().append({ u"/p/a.jpg"_s, u"/p/b.jpg"_s });
        const QString file = m_box->folder(u"out"_s) + u"/list.txt"_s;
        if (saveFirst) {
            m_fileDialogs.answer({ file });
            m_editor->mnuFileSaveas_Click();
        }
        if (saveChosen)
            m_fileDialogs.answer({ file });
        if (answer >= 0)
            m_messages.answers.enqueue(MsgResult(answer));
        QCOMPARE(m_editor->close(), closes);
        QCOMPARE(m_messages.messages.size(), answer >= 0 ? 1 : 0);
        QCOMPARE(QFileInfo::exists(file), written);
    }

    void addsChosenFilesAndAFoldersFiles()
    {
        open();
        m_fileDialogs.answer({ u"/x/2.jpg"_s, u"/x/1.jpg"_s });
        m_fileDialogs.answer({ u"/x/2.jpg"_s, u"/x/1.jpg"_s });
        m_editor->toolButton(u"add"_s)->trigger();
        m_editor->toolButton(u"add_file"_s)->trigger();
        QCOMPARE(lines(),
                 QStringList({ u"/x/2.jpg"_s, u"/x/1.jpg"_s, u"/x/2.jpg"_s, u"/x/1.jpg"_s }));
        for (const FileDialogRequest &r : std::as_const(m_fileDialogs.requests))
            QCOMPARE(r.selectedFile, QString());

        m_editor->mnuEdit_Clear_Click();
        m_box->file(u"pics/a.png"_s);
        m_box->file(u"pics/b.jpg"_s);
        m_box->file(u"pics/sub/c.png"_s);
        m_folderAnswer = [this](FileFilter &filter) {
            filter.folder = m_box->path(u"pics"_s);
            filter.mask = u"*.png"_s;
            filter.subFolders = true;
            return true;
        };
        m_editor->toolButton(u"open_folder"_s)->trigger();
        QCOMPARE(m_folderDialogCalls, QStringList { u"|"_s });
        QCOMPARE(lines(),
                 QStringList({ m_box->path(u"pics/a.png"_s), m_box->path(u"pics/sub/c.png"_s) }));
        // A cancelled folder dialog adds nothing.
        m_folderAnswer = {};
        m_editor->mnuFile_AddFolder_Click();
        QCOMPARE(lines().size(), 2);
    }

    void dropsAddFilesAndOpenTheDialogForOneFolder()
    {
        open();
        const QString folder = m_box->folder(u"drop"_s);
        const QString file = m_box->file(u"drop/a.jpg"_s);
        // Through the real drop: one folder opens the folder dialog with it preset.
        const auto one = urls({ folder });
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, one.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(m_editor->lstFileList->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, one.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_editor->lstFileList->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(m_folderDialogCalls, QStringList { folder + u'|' });
        QVERIFY(lines().isEmpty());

        // The folder with a file and a web address: only the file.
        m_editor->lstFileList_OLEDragDrop(
            urls({ folder, file, u"https://example.org/x.jpg"_s }).get());
        QCOMPARE(lines(), QStringList { file });
        QCOMPARE(m_folderDialogCalls.size(), 1);
        // One name that is no folder, even one that does not exist, is appended as it is.
        m_editor->lstFileList_OLEDragDrop(urls({ m_box->path(u"gone.jpg"_s) }).get());
        QCOMPARE(lines(), QStringList({ file, m_box->path(u"gone.jpg"_s) }));
        QVERIFY(m_messages.messages.isEmpty());
    }

    void geometryComesFromTheStoreAndGoesBackOnClose()
    {
        m_box->file(u"config/Lunetta.ini"_s,
                    "[FileListEditor]\nTop=1500\nLeft=3000\nWidth=9000\nHeight=6000\n");
        open();
        const double tpp = 1440.0 / m_editor->screen()->logicalDotsPerInchY();
        QCOMPARE(m_editor->pos(), QPoint(qRound(3000 / tpp), qRound(1500 / tpp)));
        QCOMPARE(m_editor->size(), QSize(qRound(9000 / tpp), qRound(6000 / tpp)));
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_editor));
        m_editor->move(qRound(4500 / tpp), qRound(750 / tpp));
        m_editor->resize(qRound(7500 / tpp), qRound(4500 / tpp));
        // The stored rectangle is the outer one, frame included.
        const QRect outer = m_editor->frameGeometry();
        m_editor->mnuFile_Close->trigger();
        QTRY_VERIFY(!m_editor); // closed windows do not keep their lines
        SettingsStore reread(m_box->path(u"config"_s));
        auto stored = [&](const QString &key) {
            return reread.GetSetting(u"FileListEditor"_s, key).toInt();
        };
        QCOMPARE(stored(u"Left"_s), qRound(outer.x() * tpp));
        QCOMPARE(stored(u"Top"_s), qRound(outer.y() * tpp));
        QCOMPARE(stored(u"Width"_s), qRound(outer.width() * tpp));
        QCOMPARE(stored(u"Height"_s), qRound(outer.height() * tpp));

        // Nothing stored: 6000 × 4000 twips at the top left.
        QFile::remove(SettingsStore::filePathIn(m_box->path(u"config"_s)));
        open();
        QCOMPARE(m_editor->size(), QSize(qRound(6000 / tpp), qRound(4000 / tpp)));
    }

    // The multi-select dialog starts in the folder and with the file type chosen last, and
    // remembers the new choice.
    void theAddFilesDialogStartsWhereItWasLeft()
    {
        const QString folder = m_box->folder(u"pics"_s);
        m_box->file(u"config/Lunetta.ini"_s,
                    "[InitDir]\nFilelist_Add=" + folder.toUtf8() + "\nFilelist_Add_Filer=3\n");
        open();
        const QStringList filters = FileSelection::nameFilters(FileSelection::selectFilesFilter);
        m_fileDialogs.answer({ folder + u"b.jpg"_s, folder + u"a.jpg"_s }, filters[0]);
        m_editor->mnuFile_Add_Click();
        const FileDialogRequest &asked = m_fileDialogs.requests[0];
        QCOMPARE(asked.caption, u"ファイルの選択"_s);
        QCOMPARE(asked.objectName, u"SelectFiles"_s);
        QCOMPARE(asked.kind, FileDialogKind::OpenFiles);
        QCOMPARE(asked.folder, folder);
        QCOMPARE(asked.nameFilters.size(), 5);
        QCOMPARE(asked.nameFilters[0], u"すべてのファイル(*.*) (*)"_s);
        QCOMPARE(FileSelection::filterNumber(asked.nameFilters, asked.selectedFilter), 3);
        QVERIFY(asked.hideFilterDetails);
        QCOMPARE(lines(), QStringList({ folder + u"b.jpg"_s, folder + u"a.jpg"_s }));
        QCOMPARE(initDir(u"Filelist_Add"_s), folder);
        QCOMPARE(initDir(u"Filelist_Add_Filer"_s), u"1"_s);
    }
};

QTEST_MAIN(TestFrmFileList)
#include "tst_frmfilelist.moc"
