#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"
#include "controller/lists/ListEntryText.h"
#include "controller/lists/ListPage.h"
#include "controller/lists/ListStart.h"
#include "core/AppContext.h"
#include "core/PlayList.h"
#include "core/SettingKeys.h"

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString picture = u"画像/動画ﾌｧｲﾙ"_s;
const QString fileList = u"ﾌｧｲﾙﾘｽﾄ"_s;

// The engine as the start command sees it.
class FakeEngine : public ListStartEngine
{
public:
    bool isRunning() const override { return running; }
    void stopSlideshow() override { calls << u"stop"_s; }
    PlayList &playList() override { return list; }
    void clearBookmarkPath() override { calls << u"clear bookmark"_s; }
    void startSlideshow(int nextIndex) override
    {
        calls << u"start %1 of %2"_s.arg(nextIndex).arg(list.count());
    }

    bool running = false;
    PlayList list;
    QStringList calls;
};

// The controller's side of a start from the list, writing down what it was asked to do.
void recordWindowCalls(ListStart::Window &w, QStringList &calls)
{
    w.releasePlayButton = [&calls] {
        calls << u"release"_s;
    };
    w.setCaption = [&calls](const QString &c) {
        calls << u"caption "_s + c;
    };
    w.minimise = [&calls] {
        calls << u"minimise"_s;
    };
}

} // namespace

class TestListPage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    std::unique_ptr<AppContext> m_ctx;
    std::unique_ptr<QFrame> m_frame;
    ListPage *m_page = nullptr;
    RecordingMessageService *m_messages = nullptr;
    RecordingFileDialogService *m_fileDialogs = nullptr;
    Sandbox m_box;

    // What the fake folder dialog was asked and answers.
    struct FolderAnswer
    {
        bool ok = false;
        QString folder;
        bool subFolders = false;
        QString mask;
    } m_folderAnswer;
    QStringList m_folderRequests;
    QList<QUrl> m_opened;
    int m_editorShown = 0;

    // The name each file dialog proposed.
    QStringList fileRequests() const
    {
        QStringList names;
        for (const FileDialogRequest &r : std::as_const(m_fileDialogs->requests))
            names << r.selectedFile;
        return names;
    }
    ConfiguredListModel &model() { return m_ctx->configuredList; }
    ConfiguredEntry entry(int row) { return model().entry(row); }
    QStringList paths()
    {
        QStringList result;
        for (const ConfiguredEntry &e : model().entries())
            result << e.path;
        return result;
    }
    void setEntries(const QStringList &names)
    {
        QList<ConfiguredEntry> entries;
        for (const QString &n : names)
            entries.append({ n, picture, true });
        model().setEntries(entries);
    }
    void select(std::initializer_list<int> rows)
    {
        QItemSelectionModel *s = m_page->lvwFileList->selectionModel();
        s->clearSelection();
        for (int row : rows)
            s->select(model().index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QList<int> selectedRows()
    {
        QList<int> rows;
        for (int r = 0; r < model().rowCount(); ++r) {
            if (m_page->lvwFileList->selectionModel()->isRowSelected(r))
                rows << r;
        }
        return rows;
    }
    void drop(const QList<QUrl> &urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QWidget *viewport = m_page->lvwFileList->viewport();
        const QPointF at(10, 10);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
        QVERIFY(dropped.isAccepted());
        // The drop is handled once the event is over.
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        QFile::remove(SettingsStore::filePathIn(m_settings.path()));
        auto messages = std::make_unique<RecordingMessageService>();
        m_messages = messages.get();
        auto fileDialogs = std::make_unique<RecordingFileDialogService>();
        m_fileDialogs = fileDialogs.get();
        m_ctx = std::make_unique<AppContext>(m_settings.path(), std::move(messages),
                                             std::move(fileDialogs));
        m_frame = std::make_unique<QFrame>();
        m_page = new ListPage(m_frame.get(), *m_ctx);
        m_folderAnswer = {};
        m_folderRequests.clear();
        m_opened.clear();
        m_editorShown = 0;

        ListPageDialogs &d = m_page->dialogs();
        d.showFolderDialog
            = [this](const QString &defaultFolder, QString &folder, bool &sub, QString &mask) {
                  m_folderRequests << u"%1|%2|%3"_s.arg(defaultFolder).arg(sub).arg(mask);
                  if (m_folderAnswer.ok) {
                      folder = m_folderAnswer.folder;
                      sub = m_folderAnswer.subFolders;
                      mask = m_folderAnswer.mask;
                  }
                  return m_folderAnswer.ok;
              };
        d.openUrl = [this](const QUrl &url) {
            m_opened << url;
        };
        d.showFileListEditor = [this] {
            ++m_editorShown;
        };
    }

    void cleanup()
    {
        m_frame.reset();
        m_ctx.reset();
    }

    void fileListsAreTheExtensionsInTheKindRule()
    {
        // Beyond the dropped files below: fragments count, longer extensions do not, and a
        // dot in a folder name is no extension.
        QCOMPARE(ListEntryText::fileKind(u"/d/x.m3"_s), fileList);
        QCOMPARE(ListEntryText::fileKind(u"/d/clip.m3u8"_s), picture);
        QCOMPARE(ListEntryText::fileKind(u"/d.jpg/readme"_s), fileList);
    }

    // Without a list extension, the first bytes decide: a photo saved without one (or with a
    // name that only the substring rule counts) is a picture, text is a list.
    void filesWithoutAListExtensionAreDecidedByTheirContents_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("isList");
        QTest::newRow("JPEG without extension")
            << u"IMG_0001"_s << QByteArray("\xFF\xD8\xFF\xE0") << false;
        QTest::newRow("PNG named .t") << u"p.t"_s << QByteArray("\x89PNG\r\n\x1A\n") << false;
        QTest::newRow("MP4 without extension") << u"clip"_s
                                               << QByteArray("\0\0\0\x18"
                                                             "ftypmp42",
                                                             12)
                                               << false;
        QTest::newRow("WebP") << u"w"_s << QByteArray("RIFF\x10\0\0\0WEBPVP8 ", 16) << false;
        QTest::newRow("paths without extension")
            << u"list"_s << QByteArray("/a.jpg\n/b.jpg\n") << true;
        QTest::newRow("Shift_JIS list")
            << u"sjis.m3"_s << QByteArray("C:\\\x8e\xca\x90\x5e.jpg\r\n") << true;
        QTest::newRow("a .txt is a list whatever it holds")
            << u"odd.txt"_s << QByteArray("\x89PNG\r\n\x1A\n") << true;
        QTest::newRow("empty file") << u"nothing"_s << QByteArray() << true;
    }
    void filesWithoutAListExtensionAreDecidedByTheirContents()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(bool, isList);
        const QString path = m_box.file(u"sniff/"_s + name, contents);
        QCOMPARE(ListEntryText::fileKind(path), isList ? fileList : picture);
    }

    void droppedPathsLandOnTopInReverseOrder()
    {
        const QString folder = m_box.folder(u"drop/pics"_s);
        const QString a = m_box.file(u"drop/a.TXT"_s);
        const QString readme = m_box.file(u"drop/readme"_s);
        const QString t = m_box.file(u"drop/photo.t"_s);
        const QString jpg = m_box.file(u"drop/photo.jpg"_s);
        setEntries({ u"/old.jpg"_s });
        drop({ QUrl::fromLocalFile(folder.chopped(1)), QUrl::fromLocalFile(a),
               QUrl::fromLocalFile(m_box.path(u"drop/missing.jpg"_s)), QUrl::fromLocalFile(readme),
               QUrl::fromLocalFile(t), QUrl::fromLocalFile(jpg),
               QUrl(u"https://example.org/x.jpg"_s) });
        QCOMPARE(model().rowCount(), 6);

        QCOMPARE(paths(), (QStringList { jpg, t, readme, a, folder, u"/old.jpg"_s }));
        QCOMPARE(entry(0).kindText, picture);
        QCOMPARE(entry(1).kindText, fileList);
        QCOMPARE(entry(2).kindText, fileList);
        QCOMPARE(entry(3).kindText, fileList);
        // A folder: its path ends in "/", every file, no subfolders.
        QCOMPARE(entry(4).kindText, u"ﾌｫﾙﾀﾞ(*.*)"_s);
        for (const ConfiguredEntry &e : model().entries())
            QVERIFY(e.checked);
        QCOMPARE(m_messages->texts(),
                 QStringList { u"指定されたファイル又はフォルダは存在しません。"_s });
        QCOMPARE(m_messages->messages.first().buttons, MsgButtons::Ok);
    }

    void entriesGoWhereTheyAreToldOrNowhere()
    {
        const QString folder = m_box.folder(u"add/f"_s);
        const QString file = m_box.file(u"add/x.jpg"_s);
        setEntries({ u"/1.jpg"_s, u"/2.jpg"_s });
        QVERIFY(m_page->addFileEntry(u"/missing/new.jpg"_s, 2)); // need not exist
        QVERIFY(m_page->addFileEntry(u"/last.m3u"_s, 99));
        QVERIFY(!m_page->addFileEntry(folder, 1));
        QVERIFY(!m_page->addFileEntry(u""_s, 1));
        QVERIFY(m_page->addFolderEntry(u"/not/there"_s, true, u"*.png"_s, 1));
        QVERIFY(!m_page->addFolderEntry(file, false, u"*.*"_s, 1));
        QVERIFY(!m_page->addFolderEntry(u""_s, false, u"*.*"_s, 1));
        QCOMPARE(paths(),
                 (QStringList { u"/not/there/"_s, u"/1.jpg"_s, u"/missing/new.jpg"_s, u"/2.jpg"_s,
                                u"/last.m3u"_s }));
        QCOMPARE(entry(0).kindText, u"ﾌｫﾙﾀﾞ(*.png) ｻﾌﾞﾌｫﾙﾀﾞを検索"_s);
        QCOMPARE(entry(4).kindText, fileList);
        QVERIFY(m_messages->messages.isEmpty());

        QCOMPARE(m_page->getEntryColumn(0, u"property"_s), u"ﾌｫﾙﾀﾞ(*.png) ｻﾌﾞﾌｫﾙﾀﾞを検索"_s);
        QCOMPARE(m_page->getEntryColumn(0, u"name"_s), QString());
        QCOMPARE(m_page->getEntryColumn(0, u"size"_s), QString());
        m_page->setEntryColumn(1, u"property"_s, fileList);
        m_page->setEntryColumn(1, u"name"_s, u"/changed"_s);
        QCOMPARE(entry(1), (ConfiguredEntry { u"/1.jpg"_s, fileList, true }));
    }

    void addingFromTheMenuPutsTheChoiceOnTop()
    {
        setEntries({ u"/old.jpg"_s });
        m_fileDialogs->answer({ u"/p/a.jpg"_s, u"/p/b.txt"_s, u"/p/c.jpg"_s });
        m_page->mnuAddToList_Files->trigger();
        QCOMPARE(fileRequests(), QStringList { QString() });
        QCOMPARE(m_fileDialogs->requests[0].caption, u"ファイルの選択"_s);
        QCOMPARE(paths(),
                 (QStringList { u"/p/a.jpg"_s, u"/p/b.txt"_s, u"/p/c.jpg"_s, u"/old.jpg"_s }));
        QCOMPARE(entry(1).kindText, fileList);

        m_folderAnswer = { true, u"/p/sub"_s, true, u"*.gif"_s };
        m_page->mnuAddToList_Folder->trigger();
        QCOMPARE(m_folderRequests, QStringList { u"|0|"_s });
        QCOMPARE(entry(0),
                 (ConfiguredEntry { u"/p/sub/"_s, u"ﾌｫﾙﾀﾞ(*.gif) ｻﾌﾞﾌｫﾙﾀﾞを検索"_s, true }));

        // Cancelled dialogs change nothing.
        m_folderAnswer = {};
        m_page->mnuAddToList_Files->trigger();
        m_page->mnuAddToList_Folder->trigger();
        QCOMPARE(model().rowCount(), 5);
    }

    void editingReplacesTheEntryInPlaceChecked()
    {
        model().setEntries({ { u"/a.jpg"_s, picture, true },
                             { u"/pics/"_s, u"ﾌｫﾙﾀﾞ(*(1).jpg) ｻﾌﾞﾌｫﾙﾀﾞを検索"_s, false },
                             { u"/c.jpg"_s, picture, false } });
        // Nothing selected: nothing to edit.
        m_page->cmdEdit_Click();
        QVERIFY(m_folderRequests.isEmpty() && m_fileDialogs->requests.isEmpty());

        select({ 1 });
        m_folderAnswer = { true, u"/other"_s, false, u"*.png"_s };
        m_page->cmdEdit_Click();
        // The mask is read up to the first ")".
        QCOMPARE(m_folderRequests, QStringList { u"/pics/|1|*(1"_s });
        QCOMPARE(model().rowCount(), 3);
        QCOMPARE(entry(1), (ConfiguredEntry { u"/other/"_s, u"ﾌｫﾙﾀﾞ(*.png)"_s, true }));
        QCOMPARE(selectedRows(), QList<int> { 1 });

        // A file given to the folder dialog adds nothing, and the entry stays.
        const QString file = m_box.file(u"edit/file.jpg"_s);
        m_folderAnswer = { true, file, false, u"*.*"_s };
        m_page->cmdEdit_Click();
        QCOMPARE(entry(1).path, u"/other/"_s);
        QCOMPARE(model().rowCount(), 3);

        // A file entry: the chosen files take its place, in the order chosen.
        select({ 2 });
        m_fileDialogs->answer({ u"/x.jpg"_s, u"/y.lst"_s });
        m_page->lvwFileList_DblClick();
        QCOMPARE(fileRequests(), QStringList { u"/c.jpg"_s });
        QCOMPARE(paths(), (QStringList { u"/a.jpg"_s, u"/other/"_s, u"/x.jpg"_s, u"/y.lst"_s }));
        QVERIFY(entry(2).checked && entry(3).checked);
        QCOMPARE(entry(3).kindText, fileList);

        // Cancel leaves it alone.
        select({ 0 });
        m_page->cmdEdit_Click(); // cancelled
        QCOMPARE(model().rowCount(), 4);
        QCOMPARE(entry(0).path, u"/a.jpg"_s);
    }

    void upAndDownTradeWithTheNeighbourAndMoveTheSelection()
    {
        model().setEntries(
            { { u"1"_s, picture, true }, { u"2"_s, fileList, false }, { u"3"_s, picture, true } });
        select({ 0, 1 });
        m_page->cmdUp->click();
        QCOMPARE(paths(), (QStringList { u"2"_s, u"1"_s, u"3"_s }));
        QCOMPARE(entry(0), (ConfiguredEntry { u"2"_s, fileList, false }));
        QCOMPARE(selectedRows(), QList<int> { 0 });

        // A selected block below the top moves up as one.
        select({ 1, 2 });
        m_page->cmdUp_Click();
        QCOMPARE(paths(), (QStringList { u"1"_s, u"3"_s, u"2"_s }));
        QCOMPARE(selectedRows(), (QList<int> { 0, 1 }));

        // The last entry stays at the bottom; the one above it trades with it.
        select({ 1, 2 });
        m_page->cmdDown->click();
        QCOMPARE(paths(), (QStringList { u"1"_s, u"2"_s, u"3"_s }));
        QCOMPARE(selectedRows(), QList<int> { 2 });
        m_page->cmdDown_Click();
        QCOMPARE(paths(), (QStringList { u"1"_s, u"2"_s, u"3"_s }));
    }

    void removeTakesTheSelectionAndRemoveAllTakesEverything()
    {
        setEntries({ u"a"_s, u"b"_s, u"c"_s, u"d"_s });
        select({ 0, 2, 3 });
        m_page->cmdRemove->click();
        QCOMPARE(paths(), QStringList { u"b"_s });
        m_page->cmdAllRemove->click();
        QCOMPARE(model().rowCount(), 0);
        QVERIFY(m_messages->messages.isEmpty());
    }

    void shellOpensWhereTheEntryLies()
    {
        const QString folder = m_box.folder(u"shell/f"_s);
        const QString file = m_box.file(u"shell/g/p.jpg"_s);
        model().setEntries({ { folder, u"ﾌｫﾙﾀﾞ(*.*)"_s, true },
                             { file, picture, true },
                             { u"/gone/p.jpg"_s, picture, true } });
        m_page->cmdShell_Click();
        select({ 0 });
        m_page->cmdShell_Click();
        select({ 1 });
        m_page->cmdShell_Click();
        select({ 2 });
        m_page->cmdShell_Click();
        QCOMPARE(m_opened,
                 (QList<QUrl> { QUrl::fromLocalFile(QDir::homePath()), QUrl::fromLocalFile(folder),
                                QUrl::fromLocalFile(m_box.path(u"shell/g/"_s)),
                                QUrl::fromLocalFile(QDir::homePath()) }));
        m_page->cmdMakeFileList->click();
        QCOMPARE(m_editorShown, 1);
    }

    void columnWidthsComeFromTheStoreAndGoBackInTwips()
    {
        const QList<int> designed = m_page->columnWidthsTwips();
        QCOMPARE(designed.size(), 2);
        QVERIFY(designed[0] > 0 && designed[1] > 0);

        m_ctx->store.SaveSetting(SettingKeys::Section::ListWindow, u"Column_1"_s, u"0"_s);
        m_ctx->store.SaveSetting(SettingKeys::Section::ListWindow, u"Column_2"_s, u"900"_s);
        QFrame frame;
        QCOMPARE((new ListPage(&frame, *m_ctx))->columnWidthsTwips(), designed);

        m_ctx->store.SaveSetting(SettingKeys::Section::ListWindow, u"Column_1"_s, u"3000"_s);
        m_ctx->store.SaveSetting(SettingKeys::Section::ListWindow, u"Column_2"_s, u"1500"_s);
        QFrame other;
        auto *page = new ListPage(&other, *m_ctx);
        const QList<int> stored = page->columnWidthsTwips();
        // Whole pixels in between: at most one pixel's worth of twips off.
        QVERIFY2(qAbs(stored[0] - 3000) < 30 && qAbs(stored[1] - 1500) < 30,
                 qPrintable(u"%1 %2"_s.arg(stored[0]).arg(stored[1])));
        page->lvwFileList->header()->resizeSection(0, 100);
        QVERIFY(page->columnWidthsTwips()[0] < stored[0]);
    }

    void startBuildsFromTheCheckedEntriesAndStarts()
    {
        const QString a = m_box.file(u"start/a.jpg"_s);
        m_box.file(u"start/b.jpg"_s);
        m_box.file(u"start/c.png"_s);
        const QString list = m_box.file(u"start/list.txt"_s, "/x/1.jpg\r\n;note\r\n");
        model().setEntries({ { m_box.path(u"start/"_s), u"ﾌｫﾙﾀﾞ(*.jpg)"_s, true },
                             { list, fileList, false },
                             { a, picture, true } });
        m_ctx->options.setOption(Opt::optSortByFileName, true);
        m_ctx->options.setCheck(Opt::chkMinWhenStart, 0);

        FakeEngine engine;
        engine.list.appendToPlayList(u"/previous.jpg"_s);
        QStringList window;
        ListStart::Window w;
        w.buildList = [this](PlayList &l) {
            return m_page->ShowProgressDialog(l);
        };
        recordWindowCalls(w, window);
        ListStart start(engine, m_ctx->options, *m_messages, w);

        start.mnuOparation_Stop_Click();
        QStringList built;
        for (const cFileInfo &f : engine.list.items())
            built << f.m_strPath;
        QCOMPARE(built, (QStringList { a, a, m_box.path(u"start/b.jpg"_s) }));
        QCOMPARE(engine.calls, (QStringList { u"clear bookmark"_s, u"start 1 of 3"_s }));
        QCOMPARE(window, QStringList { u"caption Lunetta"_s });
        QVERIFY(m_messages->messages.isEmpty());

        // Minimised first when the option asks for it.
        m_ctx->options.setCheck(Opt::chkMinWhenStart, 1);
        engine.calls.clear();
        window.clear();
        start.mnuOparation_Stop_Click();
        QCOMPARE(window, (QStringList { u"caption Lunetta"_s, u"minimise"_s }));
        QCOMPARE(engine.calls.last(), u"start 1 of 3"_s);

        // While running, the same command stops.
        engine.running = true;
        engine.calls.clear();
        start.mnuOparation_Stop_Click();
        QCOMPARE(engine.calls, QStringList { u"stop"_s });
    }

    void aCancelledOrEmptyBuildDoesNotStart()
    {
        FakeEngine engine;
        QStringList window;
        bool cancel = true;
        ListStart::Window w;
        w.buildList = [&](PlayList &l) {
            l.clear();
            if (cancel)
                l.appendToPlayList(u"/collected.jpg"_s);
            return !cancel;
        };
        recordWindowCalls(w, window);
        ListStart start(engine, m_ctx->options, *m_messages, w);

        start.mnuOparation_Stop_Click();
        QCOMPARE(window, QStringList { u"release"_s });
        QCOMPARE(m_messages->lastText(), u"ユーザーにより作業がキャンセルされました。"_s);
        QCOMPARE(m_messages->messages.last().icon, MsgIcon::Warning);

        cancel = false;
        window.clear();
        start.mnuOparation_Stop_Click();
        QVERIFY(window.isEmpty());
        QCOMPARE(m_messages->lastText(), u"画像ファイルがありません。"_s);
        QCOMPARE(m_messages->messages.last().icon, MsgIcon::Warning);
        QVERIFY(engine.calls.isEmpty());
    }
};

QTEST_MAIN(TestListPage)
#include "tst_listpage.moc"
