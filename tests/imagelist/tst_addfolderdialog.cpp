#include "RecordingMessageService.h"
#include "Sandbox.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "imagelist/frmAddFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>

using namespace Qt::StringLiterals;

class TestAddFolderDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
    RecordingMessageService m_messages;
    Sandbox m_box;

    std::unique_ptr<frmAddFolder> newDialog(QWidget *owner = nullptr)
    {
        return std::make_unique<frmAddFolder>(*m_store, m_messages, owner);
    }

    // Runs `steps` once the dialog is up; they must end with OK or Cancel.
    static void whileShown(frmAddFolder &dialog, std::function<void()> steps)
    {
        QTimer::singleShot(0, &dialog, [&dialog, steps] {
            QApplication::setActiveWindow(&dialog);
            steps();
            if (dialog.isVisible()) // a step left it open: do not hang the test
                dialog.reject();
        });
    }

    QString stored(const QString &key) const
    {
        return m_store->GetSetting(SettingKeys::Section::AddFolder, key, u"<none>"_s);
    }

    static void retype(QLineEdit *field, const QString &text)
    {
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

private slots:
    void init()
    {
        QFile::remove(SettingsStore::filePathIn(m_dir.path()));
        m_store = std::make_unique<SettingsStore>(m_dir.path());
        m_messages.messages.clear();
    }

    void theExtendedTabIsThereOnlyWhenAskedAndCtrlTabCycles()
    {
        auto dialog = newDialog();
        // The tree starts on the working folder, whose path is the first folder text.
        QCOMPARE(dialog->txtFolderName->text(), QDir::currentPath());

        int tabs = 0;
        QString mask;
        whileShown(*dialog, [&] {
            tabs = dialog->tbsOptions->count();
            mask = dialog->txtMask->text();
            // Ctrl+Tab with one tab stays on it.
            QTest::keyClick(dialog->txtMask, Qt::Key_Tab, Qt::ControlModifier);
            tabs += 10 * dialog->tbsOptions->currentIndex();
            dialog->cmdCancel->click();
        });
        QString folder = u"unchanged"_s;
        bool sub = false;
        QString inMask;
        QVERIFY(!dialog->ShowDialog(QString(), folder, sub, inMask));
        QCOMPARE(tabs, 1);
        QCOMPARE(mask, u"*.*"_s);
        QCOMPARE(folder, u"unchanged"_s);

        auto ex = newDialog();
        QStringList seen;
        whileShown(*ex, [&] {
            seen << ex->tbsOptions->tabText(1);
            QTest::keyClick(ex->txtMask, Qt::Key_Tab, Qt::ControlModifier);
            seen << QString::number(ex->tbsOptions->currentIndex());
            QTest::keyClick(ex->tbsOptions->currentWidget(), Qt::Key_Tab, Qt::ControlModifier);
            seen << QString::number(ex->tbsOptions->currentIndex());
            ex->cmdCancel->click();
        });
        FileFilter filter;
        QVERIFY(!ex->ShowDialogEx(QString(), filter));
        QCOMPARE(seen, (QStringList { u"拡張"_s, u"1"_s, u"0"_s }));
    }

    void returnsTheFolderAsTypedAndAnEmptiedMaskAsAll()
    {
        const QString pics = m_box.folder(u"pics"_s);
        auto dialog = newDialog();
        QString shownFolder;
        bool shownSub = false;
        QString shownMask;
        whileShown(*dialog, [&] {
            shownFolder = dialog->txtFolderName->text();
            shownSub = dialog->chkSubFolder->isChecked();
            shownMask = dialog->txtMask->text();
            dialog->txtMask->clear();
            dialog->chkSubFolder->setChecked(false);
            dialog->cmdOK->click();
        });
        QString folder;
        bool sub = true;
        QString mask = u"*.jpg"_s;
        QVERIFY(dialog->ShowDialog(pics, folder, sub, mask));
        QCOMPARE(shownFolder, pics);
        QVERIFY(shownSub);
        QCOMPARE(shownMask, u"*.jpg"_s);
        QCOMPARE(dialog->dirPath() + u'/', pics);
        QCOMPARE(folder, pics);
        QVERIFY(!sub);
        QCOMPARE(mask, u"*.*"_s);
        QCOMPARE(stored(SettingKeys::AddFolder::Mask), u"*.*"_s);
        QVERIFY(m_messages.messages.isEmpty());
    }

    void anEmptyFolderTextReturnsFalseEvenAfterOk()
    {
        m_store->SaveSetting(SettingKeys::Section::AddFolder, SettingKeys::AddFolder::Mask,
                             u"*.png"_s);
        auto dialog = newDialog();
        bool accepted = false;
        whileShown(*dialog, [&] {
            dialog->txtFolderName->clear();
            dialog->txtMask->setText(u"*.gif"_s);
            dialog->cmdOK->click();
            accepted = !dialog->isVisible();
        });
        QString folder = u"before"_s;
        bool sub = true;
        QString mask;
        QVERIFY(!dialog->ShowDialog(QString(), folder, sub, mask));
        QVERIFY(accepted);
        QCOMPARE(folder, u"before"_s);
        QVERIFY(sub);
        QCOMPARE(mask, QString());
        QCOMPARE(stored(SettingKeys::AddFolder::Mask), u"*.png"_s);
    }

    void aMissingDefaultFolderIsShownAndTheTreeStays()
    {
        auto dialog = newDialog();
        const QString before = dialog->dirPath();
        QString shown;
        whileShown(*dialog, [&] {
            shown = dialog->txtFolderName->text();
            dialog->cmdOK->click();
        });
        QString folder;
        bool sub = false;
        QString mask;
        QVERIFY(dialog->ShowDialog(u"/no/such/folder/"_s, folder, sub, mask));
        QCOMPARE(shown, u"/no/such/folder/"_s);
        QCOMPARE(dialog->dirPath(), before);
        QCOMPARE(folder, u"/no/such/folder/"_s);
        QVERIFY(m_messages.messages.isEmpty());
    }

    void choosingInTheTreeFillsTheFolderText()
    {
        const QString a = m_box.folder(u"tree/a"_s);
        m_box.folder(u"tree/b"_s);
        auto dialog = newDialog();
        QVERIFY(dialog->pointAt(m_box.path(u"tree"_s)));
        QCOMPARE(dialog->txtFolderName->text(), QDir::currentPath()); // the program moved it
        auto *model = qobject_cast<QFileSystemModel *>(dialog->Dir1->model());
        dialog->Dir1->setCurrentIndex(model->index(a.chopped(1)));
        QCOMPARE(dialog->txtFolderName->text(), a.chopped(1));
        QCOMPARE(dialog->dirPath(), a.chopped(1));
        // The home place holds the home folder; choosing it points the tree there.
        const int home = dialog->Drive1->findData(QDir::homePath());
        QVERIFY(home >= 0);
        QVERIFY(!dialog->pointAt(m_box.path(u"tree/missing"_s)));
        QCOMPARE(dialog->dirPath(), a.chopped(1));
    }

    void rangeChecksKeepTheDialogOpen()
    {
        auto dialog = newDialog();
        QStringList texts;
        bool openAfterSize = false, openAfterTime = false;
        whileShown(*dialog, [&] {
            dialog->chkFileSize->setChecked(true);
            dialog->txtFileSize_Min->setText(u"10"_s);
            dialog->txtFileSize_Max->setText(u"5"_s);
            dialog->cmdOK->click();
            openAfterSize = dialog->isVisible();
            texts << m_messages.lastText();
            dialog->txtFileSize_Max->setText(u"10"_s);
            dialog->chkLastWrite->setChecked(true);
            dialog->txtLastWrite_Min->setText(u"01/4/13 8:45:00"_s);
            dialog->txtLastWrite_Max->setText(u"01/4/13 8:44:59"_s);
            dialog->cmdOK->click();
            openAfterTime = dialog->isVisible();
            texts << m_messages.lastText();
            dialog->txtLastWrite_Max->setText(u"01/4/13 8:45:00"_s);
            dialog->cmdOK->click();
        });
        FileFilter filter;
        QVERIFY(dialog->ShowDialogEx(m_box.root(), filter));
        QVERIFY(openAfterSize);
        QVERIFY(openAfterTime);
        QCOMPARE(texts,
                 (QStringList { u"ファイルサイズの範囲指定が正しくありません。"_s,
                                u"更新日時の範囲指定が正しくありません。"_s }));
        QCOMPARE(m_messages.messages.first().icon, MsgIcon::Error);
        QCOMPARE(filter.sizeMin, 10);
        QCOMPARE(filter.sizeMax, 10);
        QCOMPARE(filter.timeMin, QDateTime(QDate(2001, 4, 13), QTime(8, 45)));
        QCOMPARE(filter.timeMax, filter.timeMin);
        QCOMPARE(filter.excludeAttributes, 0);
    }

    void leavingABadBoxKeepsTheFocusButCancelStaysReachable()
    {
        auto dialog = newDialog();
        bool backInBox = false;
        int messagesBeforeCancel = 0;
        whileShown(*dialog, [&] {
            dialog->tbsOptions->setCurrentIndex(1);
            dialog->chkFileSize->setChecked(true);
            retype(dialog->txtFileSize_Min, u"12x"_s);
            dialog->txtFileSize_Max->setFocus(Qt::TabFocusReason);
            backInBox = QTest::qWaitFor([&] { return dialog->txtFileSize_Min->hasFocus(); }, 10000);
            messagesBeforeCancel = int(m_messages.messages.size());
            dialog->cmdCancel->setFocus(Qt::MouseFocusReason);
            QTRY_VERIFY(dialog->cmdCancel->hasFocus());
            dialog->cmdCancel->click();
        });
        FileFilter filter;
        QVERIFY(!dialog->ShowDialogEx(QString(), filter));
        QVERIFY(backInBox);
        QCOMPARE(messagesBeforeCancel, 1);
        QCOMPARE(m_messages.messages.size(), 1);
        QCOMPARE(m_messages.messages.first().text, AddFolderConditions::fileSizeMessage);
        QCOMPARE(m_messages.messages.first().icon, MsgIcon::Error);
    }

    void attributesComeBackAndAreStoredOnlyWhileEnabled()
    {
        auto dialog = newDialog();
        whileShown(*dialog, [&] {
            dialog->chkAttribute->setChecked(true);
            dialog->chkAttribute_Hiden->setChecked(true);
            dialog->chkAttribute_System->setChecked(true);
            dialog->cmdOK->click();
        });
        FileFilter filter;
        filter.mask = u"*.jpg"_s;
        QVERIFY(dialog->ShowDialogEx(m_box.root(), filter));
        QCOMPARE(filter.excludeAttributes, 6);
        QCOMPARE(filter.mask, u"*.jpg"_s);
        QCOMPARE(filter.sizeMax, -1);
        QCOMPARE(stored(SettingKeys::AddFolder::Attribute), u"6"_s);

        auto again = newDialog();
        bool ticksShown = false;
        whileShown(*again, [&] {
            ticksShown = again->chkAttribute_Hiden->isChecked()
                && again->chkAttribute_System->isChecked()
                && !again->chkAttribute_ReadOnly->isChecked();
            again->chkAttribute_ReadOnly->setChecked(true);
            again->cmdOK->click();
        });
        QVERIFY(again->ShowDialogEx(m_box.root(), filter));
        QVERIFY(ticksShown);
        QCOMPARE(filter.excludeAttributes, 0);
        QCOMPARE(stored(SettingKeys::AddFolder::Attribute), u"6"_s);
    }

    void reopeningShowsTheStoredBoundsWithTheGroupsOff()
    {
        auto first = newDialog();
        whileShown(*first, [&] {
            first->chkAttribute->setChecked(true);
            first->chkAttribute_ReadOnly->setChecked(true);
            first->chkFileSize->setChecked(true);
            first->txtFileSize_Min->setText(u"100"_s);
            first->txtFileSize_Max->setText(u"2000"_s);
            first->chkLastWrite->setChecked(true);
            first->txtLastWrite_Min->setText(u"02/3/4 5:06:07"_s);
            first->txtLastWrite_Max->setText(u"2030/1/1 0:00:00"_s);
            first->cmdOK->click();
        });
        FileFilter filter;
        QVERIFY(first->ShowDialogEx(m_box.root(), filter));
        QCOMPARE(filter.excludeAttributes, 1);
        QCOMPARE(filter.sizeMin, 100);
        QCOMPARE(filter.timeMax, QDateTime(QDate(2030, 1, 1), QTime(0, 0)));

        auto second = newDialog();
        QStringList shown;
        QList<bool> states;
        whileShown(*second, [&] {
            shown << second->txtFileSize_Min->text() << second->txtFileSize_Max->text()
                  << second->txtLastWrite_Min->text() << second->txtLastWrite_Max->text();
            states << second->chkAttribute->isChecked() << second->chkFileSize->isChecked()
                   << second->chkLastWrite->isChecked()
                   << second->chkAttribute_ReadOnly->isChecked()
                   << second->chkAttribute_ReadOnly->isEnabled()
                   << second->txtFileSize_Min->isEnabled() << second->txtLastWrite_Max->isEnabled();
            second->chkFileSize->setChecked(true);
            states << second->txtFileSize_Min->isEnabled() << second->txtFileSize_Max->isEnabled()
                   << second->txtLastWrite_Min->isEnabled();
            second->cmdCancel->click();
        });
        QVERIFY(!second->ShowDialogEx(QString(), filter));
        QCOMPARE(shown,
                 (QStringList { u"100"_s, u"2000"_s, u"02/3/4 5:06:07"_s, u"2030/1/1 0:00:00"_s }));
        QCOMPARE(
            states,
            (QList<bool> { false, false, false, true, false, false, false, true, true, false }));
    }
};

QTEST_MAIN(TestAddFolderDialog)
#include "tst_addfolderdialog.moc"
