#include "Sandbox.h"

#include "core/QtFileDialogService.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

// The real dialogs, found on screen once open and answered there.
class TestQtFileDialogService : public QObject
{
    Q_OBJECT

    Sandbox m_box;
    const QStringList m_filters { u"テキスト(*.txt) (*.txt)"_s, u"すべて(*.*) (*)"_s };

    // Asks for `request`, runs `onDialog` on the dialog once it is the modal one, and returns
    // the answer. A dialog that `onDialog` leaves open is cancelled.
    FileDialogAnswer ask(const FileDialogRequest &request,
                         const std::function<void(QFileDialog &)> &onDialog)
    {
        bool seen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || seen)
                return;
            seen = true;
            poll.stop();
            onDialog(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        poll.start(20);
        return QtFileDialogService().ask(request);
    }

private slots:
    void eachKindSetsUpItsDialog_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("acceptMode");
        QTest::newRow("open one") << int(FileDialogKind::OpenFile) << int(QFileDialog::ExistingFile)
                                  << int(QFileDialog::AcceptOpen);
        QTest::newRow("open several")
            << int(FileDialogKind::OpenFiles) << int(QFileDialog::ExistingFiles)
            << int(QFileDialog::AcceptOpen);
        QTest::newRow("save") << int(FileDialogKind::SaveFile) << int(QFileDialog::AnyFile)
                              << int(QFileDialog::AcceptSave);
        QTest::newRow("folder") << int(FileDialogKind::Folder) << int(QFileDialog::Directory)
                                << int(QFileDialog::AcceptOpen);
    }
    void eachKindSetsUpItsDialog()
    {
        QFETCH(int, kind);
        const QString folder = m_box.folder(u"start"_s);
        const bool listsFiles = FileDialogKind(kind) != FileDialogKind::Folder;
        FileDialogRequest request { .kind = FileDialogKind(kind),
                                    .caption = u"選ぶ"_s,
                                    .folder = folder,
                                    .objectName = u"dlgTest"_s };
        if (listsFiles) {
            request.nameFilters = m_filters;
            request.selectedFilter = m_filters[1];
            request.defaultSuffix = u"kvs"_s;
            request.selectedFile = folder + u"a.txt"_s;
            request.hideFilterDetails = true;
        }
        bool checked = false;
        const FileDialogAnswer answer = ask(request, [&](QFileDialog &dialog) {
            checked = true;
            QCOMPARE(dialog.windowTitle(), u"選ぶ"_s);
            QCOMPARE(dialog.objectName(), u"dlgTest"_s);
            QTEST(int(dialog.fileMode()), "fileMode");
            QTEST(int(dialog.acceptMode()), "acceptMode");
            QCOMPARE(dialog.directory().absolutePath() + u'/', folder);
            QCOMPARE(dialog.testOption(QFileDialog::ShowDirsOnly), !listsFiles);
            QCOMPARE(dialog.testOption(QFileDialog::HideNameFilterDetails), listsFiles);
            if (listsFiles) {
                QCOMPARE(dialog.nameFilters(), m_filters);
                // Without details the dialog names the type by its description.
                QCOMPARE(dialog.selectedNameFilter(), u"すべて(*.*)"_s);
                QCOMPARE(dialog.defaultSuffix(), u"kvs"_s);
                auto *name = dialog.findChild<QLineEdit *>(u"fileNameEdit"_s);
                QVERIFY(name);
                QCOMPARE(name->text(), u"a.txt"_s);
            }
        });
        QVERIFY(checked);
        QVERIFY(answer.paths.isEmpty());
    }

    // Names typed into the dialog come back as full paths, with the file type chosen.
    void anAcceptedDialogAnswersItsChoice()
    {
        const QString folder = m_box.folder(u"pics"_s);
        m_box.file(u"pics/a.txt"_s);
        m_box.file(u"pics/b.txt"_s);
        const FileDialogAnswer answer
            = ask({ .kind = FileDialogKind::OpenFiles, .folder = folder, .nameFilters = m_filters },
                  [](QFileDialog &dialog) {
                      auto *name = dialog.findChild<QLineEdit *>(u"fileNameEdit"_s);
                      QVERIFY(name);
                      name->setText(u"\"b.txt\" \"a.txt\""_s);
                      static_cast<QDialog &>(dialog).accept();
                  });
        QCOMPARE(answer.paths, QStringList({ folder + u"b.txt"_s, folder + u"a.txt"_s }));
        QCOMPARE(answer.selectedFilter, m_filters[0]);
    }
};

QTEST_MAIN(TestQtFileDialogService)
#include "tst_qtfiledialogservice.moc"
