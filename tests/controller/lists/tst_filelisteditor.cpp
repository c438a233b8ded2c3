#include "FakeServices.h"
#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "controller/lists/ListPage.h"
#include "controller/window/ControllerMenus.h"
#include "controller/window/frmOptions.h"
#include "core/AppContext.h"
#include "engine/Slideshow.h"
#include "imagelist/FileListModel.h"
#include "imagelist/frmFileList.h"
#include "viewer/picture/PictureView.h"
#include "viewer/window/frmView.h"

#include <QAction>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// A list written in the editor and shown by the real controller and viewer.
class TestFileListEditor : public QObject
{
    Q_OBJECT

private slots:
    void aSavedListIsShownInItsOrder()
    {
        Sandbox box;
        auto messages = std::make_unique<RecordingMessageService>();
        RecordingMessageService *recorded = messages.get();
        auto fileDialogs = std::make_unique<RecordingFileDialogService>();
        RecordingFileDialogService &dialogs = *fileDialogs;
        AppContext ctx(box.path(u"config"_s), std::move(messages), std::move(fileDialogs),
                       std::make_unique<FakeClock>());
        Slideshow show(ctx.options, *ctx.messages, *ctx.clock, *ctx.random, *ctx.events);
        frmOptions window(ctx);
        frmView viewer(ctx.options, show);
        show.setViewer(&viewer);
        window.attach(show, viewer);
        window.Form_Load();

        const QList<std::pair<QString, QColor>> pictures { { u"c.png"_s, Qt::red },
                                                           { u"a.png"_s, Qt::green },
                                                           { u"b.png"_s, Qt::blue } };
        QStringList paths;
        for (const auto &[name, colour] : pictures) {
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(colour);
            paths.append(box.path(u"pics/"_s + name));
            QVERIFY(box.folder(u"pics"_s).size() > 0 && picture.save(paths.last()));
        }

        window.menus().action(u"mnuView_FileList"_s)->trigger();
        QPointer<frmFileList> editor = window.fileListEditor();
        QVERIFY(editor && editor->isVisible());
        // The menu item again brings back the same window.
        window.menus().action(u"mnuView_FileList"_s)->trigger();
        QCOMPARE(window.fileListEditor(), editor.data());

        dialogs.answer({ paths[0], paths[1] });
        editor->toolButton(u"add"_s)->trigger();
        QMimeData dropped;
        dropped.setUrls({ QUrl::fromLocalFile(paths[2]) });
        editor->lstFileList_OLEDragDrop(&dropped);
        const QString list = box.path(u"show.txt"_s);
        dialogs.answer({ list });
        editor->toolButton(u"save"_s)->trigger();
        editor->mnuFile_Close->trigger();
        QTRY_VERIFY(!editor);

        // The list page's button opens a new, empty editor.
        window.listPage()->cmdMakeFileList->click();
        QVERIFY(window.fileListEditor());
        QCOMPARE(window.fileListEditor()->model().rowCount(), 0);
        window.fileListEditor()->close();

        dialogs.answer({ list });
        window.listPage()->mnuAddToList_Files->trigger();
        QCOMPARE(ctx.configuredList.entries(),
                 QList<ConfiguredEntry>({ { list, u"ﾌｧｲﾙﾘｽﾄ"_s, true } }));

        window.menus().action(u"mnuOparation_Stop"_s)->trigger();
        QVERIFY(recorded->messages.isEmpty());
        QVERIFY(show.isRunning());
        QCOMPARE(show.playList.count(), 3);
        for (int position = 1; position <= 3; ++position) {
            if (position > 1)
                show.goNext();
            QCOMPARE(show.currentIndex, position);
            QCOMPARE(show.playList.path(position), paths[position - 1]);
            QCOMPARE(viewer.picView->shownImage().pixelColor(5, 5), pictures[position - 1].second);
        }
        show.stopSlideshow();
    }
};

QTEST_MAIN(TestFileListEditor)
#include "tst_filelisteditor.moc"
