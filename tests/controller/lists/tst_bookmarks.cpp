#include "FakeEnginePorts.h"
#include "FakeServices.h"
#include "FileSizeLimit.h"
#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "RecordingProgress.h"
#include "Sandbox.h"

#include "controller/lists/Bookmarks.h"
#include "core/Options.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "imagelist/FileListFile.h"
#include "imagelist/ListBuilder.h"
#include "imagelist/TextCollator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

namespace {

// The controller window as the bookmark commands see it.
class FakeHost : public BookmarkHost
{
public:
    void setControllerCaption(const QString &c) override { caption = c; }
    void minimiseController() override { minimised = true; }
    QString currentProfileName() const override { return profile; }
    void selectProfile(const QString &name) override
    {
        profile = profiles.contains(name) ? name : profiles.first();
    }
    QWidget *dialogOwner() override { return nullptr; }

    QStringList profiles { u"（標準）"_qs, u"旅行"_qs };
    QString profile = u"（標準）"_qs;
    QString caption = u"Lunetta"_qs;
    bool minimised = false;
};

} // namespace

class TestBookmarks : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<SettingsStore> m_store;
    Options m_options;
    RecordingMessageService m_messages;
    FakeClock m_clock;
    FakeRandom m_random;
    FakeEventPump m_events;
    FakeViewer m_viewer;
    FakeController m_controller;
    std::unique_ptr<Slideshow> m_show;
    FakeHost m_host;
    RecordingFileDialogService m_dialogs;
    std::unique_ptr<Bookmarks> m_bookmarks;

    // A running show over the named files, on screen at `page`.
    void showing(const QStringList &names, int page)
    {
        for (const QString &n : names)
            m_show->playList.appendToPlayList(m_box->file(n));
        m_show->stateFlags = StateBit::Running;
        m_show->currentIndex = page;
        m_show->nextIndex = page + 1;
    }

private slots:
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        m_store = std::make_unique<SettingsStore>(m_box->path(u"config"_qs));
        m_options.resetToDefaults();
        m_messages = RecordingMessageService();
        m_host = FakeHost();
        m_dialogs = RecordingFileDialogService();
        m_show = std::make_unique<Slideshow>(m_options, m_messages, m_clock, m_random, m_events);
        m_show->setViewer(&m_viewer);
        m_show->setController(&m_controller);
        m_bookmarks = std::make_unique<Bookmarks>(*m_show, m_options, *m_store, m_messages,
                                                  m_dialogs, m_host);
    }

    void saveAsWritesTheListAndRemembersTheFolder()
    {
        m_bookmarks->mnuFile_SaveShiori_Click();
        QCOMPARE(m_messages.lastText(), Bookmarks::noDataMessage);
        QCOMPARE(m_messages.messages.last().icon, MsgIcon::Error);
        QVERIFY(m_dialogs.requests.isEmpty());

        showing({ u"p/a.jpg"_qs, u"p/b.jpg"_qs }, 2);
        const QString path = m_box->path(u"marks/trip.kvs"_qs);
        m_box->folder(u"marks"_qs);
        // A name typed without an extension takes the bookmark type's.
        m_dialogs.answer({ m_box->path(u"marks/trip"_qs) }, u"しおりファイル(*.kvs)"_qs);
        m_bookmarks->mnuFile_SaveShiori_Click(); // no bookmark open: asks for a name
        QCOMPARE(m_dialogs.requests.size(), 1);
        const FileDialogRequest &asked = m_dialogs.requests[0];
        QCOMPARE(asked.kind, FileDialogKind::SaveFile);
        QCOMPARE(asked.caption, u"しおりの保存"_qs);
        QCOMPARE(asked.folder, QString());
        QCOMPARE(asked.nameFilters,
                 (QStringList { u"しおりファイル(*.kvs)"_qs, u"All Files(*)"_qs }));
        QCOMPARE(asked.defaultSuffix, u"kvs"_qs);
        QCOMPARE(readFile(path),
                 (u"Page=2\r\nSettingName=（標準）\r\n\r\n[Files]\r\n"_qs
                  + m_box->path(u"p/a.jpg"_qs) + u"\r\n"_qs + m_box->path(u"p/b.jpg"_qs)
                  + u"\r\n"_qs)
                     .toUtf8());
        QCOMPARE(m_bookmarks->bookmarkPath(), path);
        QCOMPARE(m_bookmarks->bookmarkIndex(), 2);
        QCOMPARE(m_host.caption, u"trip.kvs - Lunetta"_qs);
        QCOMPARE(m_store->GetSetting(u"InitDir"_qs, u"Shiori_Save"_qs), m_box->path(u"marks/"_qs));

        // With a bookmark open, saving overwrites it without asking.
        m_show->currentIndex = 1;
        m_bookmarks->mnuFile_SaveShiori_Click();
        QCOMPARE(m_dialogs.requests.size(), 1);
        QVERIFY(readFile(path).startsWith("Page=1\r\n"));
    }

    void aFailedWriteKeepsTheOldBookmark()
    {
        showing({ u"a.jpg"_qs }, 1);
        const QString path = m_box->path(u"keep.kvs"_qs);
        m_dialogs.answer({ path });
        m_bookmarks->SaveShioriAs();
        const QByteArray before = readFile(path);

        for (int i = 0; i < 200; ++i)
            m_show->playList.appendToPlayList(u"/a/long/enough/path/"_qs + QString::number(i));
        m_show->currentIndex = 5;
        {
            FileSizeLimit diskFull(64);
            QCOMPARE(m_bookmarks->WriteShiori(path), 1);
        }
        QCOMPARE(readFile(path), before);
        QCOMPARE(m_messages.messages.last().caption, u"Error-Lunetta"_qs);
        QVERIFY(m_messages.lastText().startsWith(u"Error"_qs));
        QVERIFY(m_messages.lastText().contains(u"\r\n"_qs));
        QCOMPARE(m_bookmarks->bookmarkIndex(), 1); // unchanged
    }

    // The show may move while the user picks a name or answers: the bookmark holds the page
    // on screen when the user asked for it.
    void aBookmarkHoldsThePageSeenWhenAsked()
    {
        showing({ u"a.jpg"_qs, u"b.jpg"_qs, u"c.jpg"_qs }, 3);
        const QString path = m_box->path(u"seen.kvs"_qs);
        m_dialogs.answer({ path });
        m_dialogs.whileShowing = [this] {
            m_show->currentIndex = 1;
        };
        m_bookmarks->SaveShioriAs();
        QVERIFY(readFile(path).startsWith("Page=3\r\n"));

        m_dialogs.whileShowing = nullptr;
        m_show->currentIndex = 2;
        m_messages.answers.enqueue(MsgResult::Yes);
        m_messages.whileShowing = [this] {
            m_show->currentIndex = 3;
        };
        m_bookmarks->ConfirmSaveShiori(true);
        QVERIFY(readFile(path).startsWith("Page=2\r\n"));
    }

    void offerToSaveOnlyWhenThePositionMoved()
    {
        showing({ u"a.jpg"_qs, u"b.jpg"_qs, u"c.jpg"_qs }, 1);
        const QString path = m_box->path(u"m.kvs"_qs);
        m_dialogs.answer({ path });
        m_bookmarks->SaveShioriAs();
        m_bookmarks->ConfirmSaveShiori(true);
        QVERIFY(m_messages.messages.isEmpty()); // not moved: nothing asked

        m_show->currentIndex = 3;
        m_messages.answers.enqueue(MsgResult::No);
        m_bookmarks->ConfirmSaveShiori(false);
        QCOMPARE(m_messages.lastText(), u"しおりを上書き保存しますか？"_qs);
        QCOMPARE(m_messages.messages.last().defaultButton, MsgResult::No);
        QVERIFY(readFile(path).startsWith("Page=1\r\n"));
        m_messages.answers.enqueue(MsgResult::Yes);
        m_bookmarks->ConfirmSaveShiori(false);
        QVERIFY(readFile(path).startsWith("Page=3\r\n"));

        // At exit without asking: overwrite, or leave it.
        m_options.setCheck(Opt::chkNotConfirmSaveShiori, 1);
        m_show->currentIndex = 2;
        const int asked = int(m_messages.messages.size());
        m_options.setOption(Opt::optNotSave, true);
        m_bookmarks->ConfirmSaveShiori(true);
        QVERIFY(readFile(path).startsWith("Page=3\r\n"));
        m_options.setOption(Opt::optOverWrite, true);
        m_bookmarks->ConfirmSaveShiori(true);
        QVERIFY(readFile(path).startsWith("Page=2\r\n"));
        QCOMPARE(m_messages.messages.size(), asked);
    }

    void readingResumesWithItsProfileAndPage()
    {
        const QString notBookmark = m_box->file(u"plain.txt"_qs, "just text\r\n");
        m_show->playList.appendToPlayList(u"/keep.jpg"_qs);
        QVERIFY(!m_bookmarks->ReadShiori(notBookmark));
        QCOMPARE(m_show->playList.count(), 1);
        QCOMPARE(m_host.caption, u"Lunetta"_qs);
        QCOMPARE(m_show->stateFlags, 0);

        const QString a = m_box->file(u"a.jpg"_qs, QByteArray());
        const QString b = m_box->file(u"b.jpg"_qs, QByteArray());
        const QString mark = m_box->file(
            u"trip.kvs"_qs,
            (u"Page=2\r\nSettingName=旅行\r\n\r\n[Files]\r\n"_qs + a + u"\r\n"_qs + b).toUtf8());
        m_options.setCheck(Opt::chkMinWhenStart, 1);
        QVERIFY(m_bookmarks->ReadShiori(mark));
        QCOMPARE(m_host.profile, u"旅行"_qs);
        QCOMPARE(m_show->playList.count(), 2);
        QCOMPARE(m_host.caption, u"trip.kvs - Lunetta"_qs);
        QVERIFY(m_host.minimised);
        QVERIFY(m_show->isRunning());
        QCOMPARE(m_show->currentIndex, 2);
        QCOMPARE(m_viewer.statusPage, u"2/2"_qs);

        // Nothing moved since it was opened: leaving asks nothing.
        m_bookmarks->ConfirmSaveShiori(true);
        QVERIFY(m_messages.messages.isEmpty());
    }

    void resumesAMillionEntryList()
    {
        // Built from a file list in no order, ordered by name, saved and resumed.
        constexpr int count = 1'000'000;
        const QString folder = m_box->folder(u"写真"_qs);
        QStringList lines;
        lines.reserve(count);
        for (qint64 i = 0; i < count; ++i)
            lines.append(folder + QString::number(i * 7919 % count) + u".jpg"_qs);
        const QString listPath = m_box->path(u"all.txt"_qs);
        QVERIFY(!FileListFile::write(listPath, lines));
        lines.clear();

        QElapsedTimer timer;
        timer.start();
        m_options.setOption(Opt::optSortByFileName, true);
        RecordingProgress progress;
        ListBuilder builder(m_show->playList, m_options, m_random, progress);
        QVERIFY(builder.BuildFileList({ { listPath, u"ﾌｧｲﾙﾘｽﾄ"_qs, true } }));
        const qint64 built = timer.restart();
        QCOMPARE(m_show->playList.count(), count);
        const TextCollator &collator = TextCollator::japanese();
        for (int i = 2; i <= count; ++i) {
            if (collator.compare(m_show->playList.path(i - 1), m_show->playList.path(i)) > 0)
                QFAIL(qPrintable(u"out of order at %1"_qs.arg(i)));
        }
        QCOMPARE(m_show->playList.path(1), folder + u"0.jpg"_qs);

        constexpr int page = 654'321;
        const QStringList saved = [&] {
            QStringList all;
            all.reserve(count);
            for (int i = 1; i <= count; ++i)
                all.append(m_show->playList.path(i));
            return all;
        }();
        m_show->stateFlags = StateBit::Running;
        m_show->currentIndex = page;
        const QString mark = m_box->path(u"all.kvs"_qs);
        m_dialogs.answer({ mark });
        timer.restart();
        m_bookmarks->SaveShioriAs();
        const qint64 written = timer.restart();
        QVERIFY(m_messages.messages.isEmpty());

        // Only the page resumed at exists: the show starts there, the rest waits its turn.
        m_box->file(saved[page - 1].mid(m_box->root().size()), QByteArray());
        m_show->stopSlideshow();
        m_show->playList.clear();
        timer.restart();
        QVERIFY(m_bookmarks->ReadShiori(mark));
        const qint64 resumed = timer.elapsed();
        QCOMPARE(m_show->playList.count(), count);
        for (int i = 1; i <= count; ++i) {
            if (m_show->playList.path(i) != saved[i - 1])
                QFAIL(qPrintable(u"entry %1 changed"_qs.arg(i)));
        }
        QCOMPARE(m_show->currentIndex, page);
        QCOMPARE(m_viewer.statusPage, u"654321/1000000"_qs);
        qInfo(
            "1,000,000 entries: built and sorted in %lld ms, saved in %lld ms, resumed in %lld ms",
            built, written, resumed);
    }

    void openAsksBeforeStoppingARunningShow()
    {
        showing({ u"a.jpg"_qs }, 1);
        m_messages.answers.enqueue(MsgResult::Cancel);
        m_bookmarks->OpenShiori();
        QCOMPARE(m_messages.lastText(), u"現在の自動表示を中止してもよろしいですか？"_qs);
        QVERIFY(m_show->isRunning());
        QVERIFY(m_dialogs.requests.isEmpty());

        m_messages.answers.enqueue(MsgResult::Ok); // the dialog is cancelled
        m_bookmarks->OpenShiori();
        QVERIFY(!m_show->isRunning());
        QCOMPARE(m_dialogs.requests.size(), 1);
        QCOMPARE(m_dialogs.requests[0].kind, FileDialogKind::OpenFile);
        QCOMPARE(m_dialogs.requests[0].caption, u"しおりを開く"_qs);
        QCOMPARE(m_dialogs.requests[0].nameFilters.value(0), u"しおりファイル(*.kvs)"_qs);
        QCOMPARE(m_store->GetSetting(u"InitDir"_qs, u"Shiori_Open"_qs), QString());

        m_dialogs.answer({ m_box->file(u"sub/none.kvs"_qs, "no files section") });
        m_bookmarks->OpenShiori();
        QCOMPARE(m_store->GetSetting(u"InitDir"_qs, u"Shiori_Open"_qs), m_box->path(u"sub/"_qs));
    }
};

QTEST_GUILESS_MAIN(TestBookmarks)
#include "tst_bookmarks.moc"
