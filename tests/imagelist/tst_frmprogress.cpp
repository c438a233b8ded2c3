#include "RecordingMessageService.h"
#include "Sandbox.h"
#include "core/Options.h"
#include "core/PlayList.h"
#include "core/RandomSource.h"
#include "imagelist/FileOperationDialogs.h"
#include "imagelist/frmProgress.h"

#include <QApplication>
#include <QProgressDialog>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

struct DuringBuild
{
    bool ownerEnabled = true;
    bool visible = false;
    bool cancelEnabled = false;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    QPoint centreOffset;
    QString status;
    QString count;
};

} // namespace

class TestFrmProgress : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        owner = std::make_unique<QWidget>();
        owner->setGeometry(100, 80, 640, 480);
        owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(owner.get()));
        options.setOption(Opt::optNoSort, true);
        list.clear();
        list.appendToPlayList(u"old.jpg"_s);
    }

    void showsItsCaptionAndControls()
    {
        frmProgress dialog(owner.get(), true);
        QCOMPARE(dialog.windowTitle(), u"しばらくお待ち下さい・・・"_s);
        QCOMPARE(dialog.cmdCancel->text(), u"キャンセル"_s);
        QCOMPARE(dialog.lblPrepareStatus->objectName(), u"lblPrepareStatus"_s);
        QCOMPARE(dialog.lblPrepareStatus2->objectName(), u"lblPrepareStatus2"_s);
        QCOMPARE(dialog.cmdCancel->objectName(), u"cmdCancel"_s);
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(frmProgress(owner.get(), false).windowFlags() & Qt::WindowStaysOnTopHint));

        dialog.setPrepareStatus(u"フォルダ\r\n/a/\r\n内の画像ファイルを追加中です。"_s);
        dialog.setPrepareStatus2(u"3枚の画像ファイルを追加しました。"_s);
        dialog.refreshNow();
        QCOMPARE(dialog.lblPrepareStatus->text(),
                 u"フォルダ\n/a/\n内の画像ファイルを追加中です。"_s);
        QCOMPARE(dialog.lblPrepareStatus2->text(), u"3枚の画像ファイルを追加しました。"_s);
    }

    void buildsOverTheDisabledOwner()
    {
        Sandbox box;
        const QString a = box.file(u"a.jpg"_s);
        frmProgress dialog(owner.get(), false);
        DuringBuild seen;
        QTimer::singleShot(0, &dialog, [&] {
            seen.ownerEnabled = owner->isEnabled();
            seen.visible = dialog.isVisible();
            seen.cancelEnabled = dialog.cmdCancel->isEnabled();
            seen.cursor = dialog.cursor().shape();
            seen.centreOffset = dialog.frameGeometry().center() - owner->frameGeometry().center();
            seen.status = dialog.lblPrepareStatus->text();
            seen.count = dialog.lblPrepareStatus2->text();
        });
        int confirms = 0;
        QVERIFY(dialog.ShowProgressDialog(list, options, random,
                                          { { box.root(), u"ﾌｫﾙﾀﾞ(*.jpg)"_s, true } },
                                          [&] { ++confirms; }));
        QCOMPARE(confirms, 1);
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.path(1), a);

        QVERIFY(!seen.ownerEnabled);
        QVERIFY(seen.visible);
        QVERIFY(seen.cancelEnabled);
        QCOMPARE(seen.cursor, Qt::WaitCursor);
        QVERIFY2(seen.centreOffset.manhattanLength() <= 2, "centred on the owner");
        QCOMPARE(seen.status, u"準備中です。"_s);
        QCOMPARE(seen.count, u"0枚の画像ファイルを追加しました。"_s);

        QVERIFY(owner->isEnabled());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.cursor().shape(), Qt::ArrowCursor);
    }

    void cancelStopsTheBuild()
    {
        Sandbox box;
        box.file(u"a.jpg"_s);
        const QList<ConfiguredEntry> entries {
            { u"/x/first.jpg"_s, u"画像/動画ﾌｧｲﾙ"_s, true },
            { box.root(), u"ﾌｫﾙﾀﾞ(*.jpg)"_s, true },
        };

        frmProgress dialog(owner.get(), false);
        QTimer::singleShot(0, &dialog,
                           [&] { QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton); });
        QVERIFY(!dialog.ShowProgressDialog(list, options, random, entries));
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.path(1), u"/x/first.jpg"_s);
        QVERIFY(owner->isEnabled());

        // Closing the window or pressing Escape cancels as well.
        QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QVERIFY(!dialog.ShowProgressDialog(list, options, random, entries));
        QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
        QVERIFY(!dialog.ShowProgressDialog(list, options, random, entries));

        // A new build starts uncancelled.
        QVERIFY(dialog.ShowProgressDialog(list, options, random, entries));
        QCOMPARE(list.count(), 2);
    }

    // A copy shows its window only once it has taken a while; Cancel there stops it.
    void aLongCopyShowsItsProgressWithCancel()
    {
        RecordingMessageService messages;
        FileOperationDialogs dialogs(owner.get(), messages);
        std::unique_ptr<CopyProgress> progress
            = dialogs.beginCopy(u"/p/big.bin"_s, u"/q/big.bin"_s, 1000, true);
        const auto shown = [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<QProgressDialog *>(w); d && d->isVisible())
                    return d;
            return static_cast<QProgressDialog *>(nullptr);
        };
        progress->setCopied(100);
        QVERIFY(!shown());
        // The copy goes on reporting until it has taken long enough for the window.
        QTRY_VERIFY_WITH_TIMEOUT((progress->setCopied(250), shown() != nullptr), 10000);
        QProgressDialog *dialog = shown();
        QCOMPARE(dialog->labelText(), u"移動しています...\nbig.bin\n→ /q/"_s);
        QCOMPARE(dialog->value(), dialog->maximum() / 4);
        QVERIFY(!progress->wasCanceled());
        QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
        QVERIFY(progress->wasCanceled());
        progress.reset();
        QVERIFY(!shown());
    }

private:
    std::unique_ptr<QWidget> owner;
    Options options;
    SystemRandom random;
    PlayList list;
};

QTEST_MAIN(TestFrmProgress)
#include "tst_frmprogress.moc"
