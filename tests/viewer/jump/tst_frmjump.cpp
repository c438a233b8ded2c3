#include "FakeEnginePorts.h"
#include "FakeServices.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/jump/JumpSearch.h"
#include "viewer/jump/frmJump.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace SettingKeys;

// The page jump dialog over a show of ten files with file 5 on screen; the display step runs
// against fake ports, so a jump is seen in the file the show then stands on.
class TestPageJump : public QObject
{
    Q_OBJECT

    Sandbox m_box;
    std::unique_ptr<SettingsStore> m_store;
    Options m_options;
    RecordingMessageService m_messages;
    FakeClock m_clock;
    FakeRandom m_random;
    FakeEventPump m_events;
    FakeViewer m_viewerPort;
    std::unique_ptr<Slideshow> m_show;
    std::unique_ptr<QWidget> m_viewer;

    QPointer<frmJump> open()
    {
        return frmJump::showPageJump(*m_show, *m_store, m_messages, m_viewer.get());
    }
    void showFile(int position)
    {
        m_show->nextIndex = position;
        m_show->showNextFile();
        QCOMPARE(m_show->currentIndex, position);
    }

private slots:
    void init()
    {
        // A store of its own for every data row, so no row sees another's history.
        m_store = std::make_unique<SettingsStore>(
            m_box.path(u"settings-%1-%2"_qs.arg(QString::fromLatin1(QTest::currentTestFunction()),
                                                QString::fromUtf8(QTest::currentDataTag()))));
        m_messages.messages.clear();
        m_show = std::make_unique<Slideshow>(m_options, m_messages, m_clock, m_random, m_events);
        m_show->setViewer(&m_viewerPort);
        const QStringList names { u"a.jpg"_qs,
                                  u"b.jpg"_qs,
                                  u"c.jpg"_qs,
                                  u"d.jpg"_qs,
                                  u"e.jpg"_qs,
                                  u"f.jpg"_qs,
                                  u"Holiday/SEA.jpg"_qs,
                                  u"h.jpg"_qs,
                                  u"ｶﾒﾗ/ｓｅａ２.jpg"_qs,
                                  u"j.jpg"_qs };
        for (const QString &name : names) {
            const QString path = m_box.path(name);
            QDir().mkpath(QFileInfo(path).path());
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            m_show->playList.appendToPlayList(path);
        }
        m_show->stateFlags = StateBit::Running;
        m_viewer = std::make_unique<QWidget>();
        m_viewer->show();
        showFile(5);
    }
    void cleanup()
    {
        m_viewer.reset();
        m_show.reset();
    }

    void jumpTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("target"); // 0: refused
        QTest::newRow("forward") << u"+3"_qs << 8;
        QTest::newRow("back") << u"-2"_qs << 3;
        QTest::newRow("absolute") << u"7"_qs << 7;
        QTest::newRow("spaces") << u" 7 "_qs << 7;
        QTest::newRow("plus alone") << u"+"_qs << 0;
        QTest::newRow("minus alone") << u"-"_qs << 0;
        QTest::newRow("exponent") << u"1e3"_qs << 0;
        QTest::newRow("hex") << u"0x10"_qs << 0;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("word") << u"sea"_qs << 0;
    }
    void jumpTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, target);
        QPointer<frmJump> dialog = open();
        dialog->cmbJump->setCurrentText(text);
        dialog->cmdJump->click();
        if (target == 0) {
            QCOMPARE(m_messages.texts(), QStringList { u"ジャンプできません。"_qs });
            QCOMPARE(m_show->currentIndex, 5);
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->cmbJump->count(), 0); // nothing went to the history
        } else {
            QVERIFY(m_messages.messages.isEmpty());
            QCOMPARE(m_show->currentIndex, target);
            QVERIFY(!dialog->isVisible()); // closed after the jump
        }
    }

    // Numbers beyond the list saturate instead of overflowing; the display step then treats
    // them as any position outside the list.
    void hugeNumbersStayInRange()
    {
        using JumpSearch::jumpTarget;
        const QString thirty(30, u'9');
        QVERIFY(*jumpTarget(thirty, 5) > 10);
        QVERIFY(*jumpTarget(u"-"_qs + thirty, 5) < 1);
        QVERIFY(*jumpTarget(u"+"_qs + thirty, std::numeric_limits<int>::max()) > 0);
        QCOMPARE(*jumpTarget(u"11"_qs, 5), 11);
        m_options.setOption(Opt::chkLoop, false);
        QPointer<frmJump> dialog = open();
        dialog->cmbJump->setCurrentText(thirty);
        dialog->cmdJump->click();
        QVERIFY(m_messages.messages.isEmpty());
        QVERIFY(!m_show->isRunning()); // past the end without looping: the show ends
    }

    void theHistoryKeepsTenDistinctTextsNewestFirst()
    {
        QPointer<frmJump> dialog = open();
        dialog->chkNotClose->setChecked(true);
        for (const QString &t : { u"3"_qs, u"4"_qs, u"3"_qs }) {
            dialog->cmbJump->setCurrentText(t);
            dialog->cmdJump->click();
        }
        QCOMPARE(dialog->cmbJump->count(), 2);
        QCOMPARE(dialog->cmbJump->itemText(0), u"3"_qs);
        QCOMPARE(dialog->cmbJump->currentText(), u"3"_qs);
        for (int i = 1; i <= 10; ++i) {
            dialog->cmbJump->setCurrentText(QString::number(i));
            dialog->cmdSearch->click();
        }
        QCOMPARE(dialog->cmbJump->count(), 10);
        QCOMPARE(dialog->cmbJump->itemText(0), u"10"_qs);
        QCOMPARE(dialog->cmbJump->itemText(9), u"1"_qs); // "4" was the oldest and is gone
        // A typed page is not completed from the history ("1" to "10").
        dialog->cmbJump->setCurrentText(QString());
        dialog->activateWindow();
        dialog->cmbJump->lineEdit()->setFocus();
        QTRY_VERIFY(dialog->cmbJump->lineEdit()->hasFocus());
        QTest::keyClicks(dialog->cmbJump->lineEdit(), u"1"_qs);
        QCOMPARE(dialog->cmbJump->currentText(), u"1"_qs);
        dialog->close();
        QTRY_VERIFY(!dialog);

        QCOMPARE(m_store->GetSetting(Section::Jump, Jump::words(0)), u"10"_qs);
        QCOMPARE(m_store->GetSetting(Section::Jump, Jump::words(9)), u"1"_qs);
        QCOMPARE(m_store->GetSetting(Section::Jump, Jump::chkNotClose), u"1"_qs);
        QVERIFY(!m_store->hasSetting(Section::Jump, Jump::words(10)));

        // Read back when opened again, the newest in the text field.
        dialog = open();
        QCOMPARE(dialog->cmbJump->count(), 10);
        QCOMPARE(dialog->cmbJump->currentText(), u"10"_qs);
        QVERIFY(dialog->chkNotClose->isChecked());
    }

    // Alt+S belongs to 検索(&S) first and to the case check box on the next press.
    void theSearchButtonWinsItsAccessKey()
    {
        frmJump *dialog = open();
        dialog->activateWindow();
        dialog->cmbJump->lineEdit()->setFocus();
        QTRY_VERIFY(dialog->cmbJump->lineEdit()->hasFocus());
        dialog->cmbJump->setCurrentText(u"2"_qs);
        QTest::keyClick(dialog->cmbJump->lineEdit(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(dialog->cmbJump->itemText(0), u"2"_qs); // searched: the text went into the history
        QVERIFY(!dialog->chkJumpOptions->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(dialog->chkJumpOptions->hasFocus());
        QVERIFY(!dialog->chkJumpOptions->isChecked());
        dialog->close();
    }

    void aCheckBoxChangeAloneIsNotSaved()
    {
        QPointer<frmJump> dialog = open();
        dialog->chkJumpOptions->setChecked(true);
        dialog->chkNotClose->setChecked(true);
        dialog->close();
        QTRY_VERIFY(!dialog);
        QVERIFY(!m_store->hasSetting(Section::Jump, Jump::chkJumpOptions));
        QVERIFY(!m_store->hasSetting(Section::Jump, Jump::chkNotClose));
    }

    void searchFoldsCaseAndWidthUnlessAskedNotTo_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<QList<int>>("found");
        QTest::newRow("folded") << u"sea"_qs << false << QList<int> { 7, 9 };
        QTest::newRow("exact") << u"sea"_qs << true << QList<int> {};
        QTest::newRow("exact capitals") << u"SEA"_qs << true << QList<int> { 7 };
        QTest::newRow("half-width kana") << u"カメラ"_qs << false << QList<int> { 9 };
        QTest::newRow("full-width digit") << u"sea2"_qs << false << QList<int> { 9 };
        QTest::newRow("empty text")
            << QString() << false << QList<int> { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 };
    }
    void searchFoldsCaseAndWidthUnlessAskedNotTo()
    {
        QFETCH(QString, text);
        QFETCH(bool, exact);
        QFETCH(QList<int>, found);
        QPointer<frmJump> dialog = open();
        dialog->chkJumpOptions->setChecked(exact);
        dialog->cmbJump->setCurrentText(text);
        dialog->cmdSearch->click();
        QAbstractItemModel *results = dialog->lstJump->model();
        QList<int> positions;
        for (int row = 0; row < results->rowCount(); ++row) {
            const QModelIndex index = results->index(row, 0);
            positions.append(index.data(Qt::UserRole).toInt());
            QCOMPARE(index.data().toString(), m_show->playList.path(positions.last()));
        }
        QCOMPARE(positions, found);
        QCOMPARE(m_messages.texts(),
                 found.isEmpty() ? QStringList { u"該当するファイルは見つかりませんでした。"_qs }
                                 : QStringList {});
        QCOMPARE(dialog->cmbJump->itemText(0), text);

        // A chosen result line wins over the text.
        if (!found.isEmpty()) {
            dialog->cmbJump->setCurrentText(u"1"_qs);
            dialog->lstJump->setCurrentIndex(results->index(results->rowCount() - 1, 0));
            dialog->cmdJump->click();
            QCOMPARE(m_show->currentIndex, found.last());
        }
    }

    void theEndingPosition_data()
    {
        QTest::addColumn<QString>("lastFile");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("found, case aside") << u"holiday/sea.JPG"_qs << 7 << QString();
        QTest::newRow("none stored")
            << QString() << 5 << u"前回最後に表示したファイルの情報がありません。"_qs;
        QTest::newRow("not in the list")
            << u"/gone.jpg"_qs << 5 << u"前回最後に表示したファイルが見つかりません。"_qs;
    }
    void theEndingPosition()
    {
        QFETCH(QString, lastFile);
        QFETCH(int, target);
        QFETCH(QString, message);
        if (!lastFile.isEmpty())
            m_store->SaveSetting(Section::Jump, Jump::LastFile,
                                 lastFile.startsWith(u'/') ? lastFile : m_box.path(lastFile));
        QPointer<frmJump> dialog = open();
        dialog->cmdEndingPosition->click();
        QCOMPARE(m_show->currentIndex, target);
        QCOMPARE(m_messages.texts(), message.isEmpty() ? QStringList {} : QStringList { message });
        QCOMPARE(dialog && dialog->isVisible(), !message.isEmpty());
    }

    void opensOnlyOverAVisibleViewerAndOnlyOnce()
    {
        QPointer<frmJump> first = open();
        QVERIFY(first);
        QCOMPARE(open(), first);
        QCOMPARE(first->parentWidget(), m_viewer.get());
        QCOMPARE(first->windowTitle(), u"ｼﾞｬﾝﾌﾟ先の指定"_qs);
        first->close();
        m_viewer->hide();
        QVERIFY(!open());
    }
};

QTEST_MAIN(TestPageJump)
#include "tst_frmjump.moc"
