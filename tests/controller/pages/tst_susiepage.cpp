#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"

#include "controller/pages/SusiePage.h"
#include "core/AppContext.h"
#include "core/SettingKeys.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/cSusie.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString plugin(const char *name)
{
    return QStringLiteral(TEST_SPI_DIR "/") + QString::fromLatin1(name) + u".spi"_qs;
}

} // namespace

class TestSusiePage : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppContext> m_ctx;
    RecordingMessageService *m_messages = nullptr;
    RecordingFileDialogService *m_dialogs = nullptr;
    std::unique_ptr<cSusie> m_susie;
    std::unique_ptr<SusiePage> m_page;

    QStringList listed() const
    {
        QStringList items;
        for (int i = 0; i < m_page->lstSusie->count(); ++i)
            items << m_page->lstSusie->item(i)->text();
        return items;
    }
    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (int i = 0; i < m_page->lstSusie->count(); ++i) {
            if (m_page->lstSusie->item(i)->isSelected())
                rows << i;
        }
        return rows;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        auto messages = std::make_unique<RecordingMessageService>();
        m_messages = messages.get();
        auto dialogs = std::make_unique<RecordingFileDialogService>();
        m_dialogs = dialogs.get();
        m_ctx
            = std::make_unique<AppContext>(m_dir->path(), std::move(messages), std::move(dialogs));
        m_ctx->store.SaveSetting(u"Susie"_qs, u"Path"_qs, QStringLiteral(TEST_SPI_DIR));
        m_susie = std::make_unique<cSusie>(m_ctx->options, nullptr, *m_messages, m_ctx->store);
        m_page = std::make_unique<SusiePage>(*m_ctx);
        m_page->setBridge(m_susie.get());
    }

    void cleanup()
    {
        m_page.reset();
        m_susie.reset();
        m_ctx.reset();
    }

    void onlyNewInputPluginsAreAdded()
    {
        QVERIFY(m_page->addSusiePlugin(plugin("red")));
        QVERIFY(!m_page->addSusiePlugin(plugin("red").toUpper()));
        QVERIFY(!m_page->addSusiePlugin(plugin("archive"))); // "00AM"
        QVERIFY(!m_page->addSusiePlugin(plugin("incomplete"))); // does not load
        QCOMPARE(m_ctx->options.susiePlugins(), QStringList { plugin("red") });
        QCOMPARE(listed(), QStringList { plugin("red") });
        QVERIFY(m_messages->messages.isEmpty());

        // The check box is the option.
        m_page->chkUseSusiePlugin->click();
        QCOMPARE(m_ctx->options.check(Opt::chkUseSusiePlugin), 1);
    }

    void addButtonOpensTheDialogAndRemembersItsFolder()
    {
        m_dialogs->answer({ plugin("blue"), plugin("archive"), plugin("red") });
        m_page->cmdSusie[0]->click();
        QCOMPARE(m_dialogs->requests.size(), 1);
        const FileDialogRequest asked = m_dialogs->requests[0];
        QCOMPARE(asked.kind, FileDialogKind::OpenFiles);
        QCOMPARE(asked.caption, u"Susie Pluginを開く"_qs);
        QCOMPARE(asked.folder, QStringLiteral(TEST_SPI_DIR)); // the plug-in folder at first
        QVERIFY(asked.nameFilters.value(0).startsWith(u"Susie Plugin Files(*.spi;*.sph)"_qs));
        QVERIFY(asked.hideFilterDetails);
        QCOMPARE(listed(), (QStringList { plugin("blue"), plugin("red") }));
        const QString remembered = m_ctx->store.GetSetting(SettingKeys::Section::InitDir,
                                                           SettingKeys::InitDir::Susie_Open);
        QCOMPARE(remembered, QStringLiteral(TEST_SPI_DIR "/"));

        m_page->cmdSusie[0]->click(); // cancelled
        QCOMPARE(m_dialogs->folders().value(1), remembered);
        QCOMPARE(listed().size(), 2);
    }

    void removeUpAndDownMoveTheSelection_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QList<int>>("select");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QList<int>>("selectedAfter");
        QTest::newRow("up") << 2 << QList<int> { 1, 2 } << u"bcad"_qs << QList<int> { 0, 1 };
        QTest::newRow("up, block at the top stays")
            << 2 << QList<int> { 0, 1, 3 } << u"abdc"_qs << QList<int> { 0, 1, 2 };
        QTest::newRow("down") << 3 << QList<int> { 0, 2 } << u"badc"_qs << QList<int> { 1, 3 };
        QTest::newRow("down, last stays")
            << 3 << QList<int> { 3 } << u"abcd"_qs << QList<int> { 3 };
        QTest::newRow("remove") << 1 << QList<int> { 1, 3 } << u"ac"_qs << QList<int> {};
        QTest::newRow("nothing selected") << 2 << QList<int> {} << u"abcd"_qs << QList<int> {};
    }

    void removeUpAndDownMoveTheSelection()
    {
        QFETCH(int, button);
        QFETCH(QList<int>, select);
        QFETCH(QString, order);
        QFETCH(QList<int>, selectedAfter);
        m_ctx->options.setSusiePlugins(
            { u"/p/a.spi"_qs, u"/p/b.spi"_qs, u"/p/c.spi"_qs, u"/p/d.spi"_qs });
        QCOMPARE(listed().size(), 4);
        for (int row : select)
            m_page->lstSusie->item(row)->setSelected(true);
        m_page->cmdSusie[button]->click();
        QString letters;
        for (const QString &p : m_ctx->options.susiePlugins())
            letters += p.at(3);
        QCOMPARE(letters, order);
        QCOMPARE(listed(), m_ctx->options.susiePlugins());
        QCOMPARE(selectedRows(), selectedAfter);
    }

    void settingsAboutAndAutomaticSearch()
    {
        m_page->cmdSusie[6]->click(); // the folder holds red, blue and the "00AM" archive
        QCOMPARE(listed(), (QStringList { plugin("blue"), plugin("red") }));
        m_page->cmdSusie[6]->click();
        QCOMPARE(listed().size(), 2);

        m_page->lstSusie->setCurrentRow(0); // blue has no settings dialog
        m_page->cmdSusie[4]->click();
        QCOMPARE(m_messages->texts(), QStringList { u"設定はないようです。"_qs });
        m_page->lstSusie->setCurrentRow(1);
        m_page->cmdSusie[4]->click();
        QCOMPARE(m_messages->messages.size(), 1);

        m_page->cmdSusie[5]->click();
        QCOMPARE(m_messages->messages.size(), 2);
        QCOMPARE(m_messages->messages[1].caption, u"Susie Plugin情報"_qs);
        QCOMPARE(m_messages->messages[1].text, u"Test plug-in red"_qs);
    }

    // A Windows plug-in whose host does not answer its settings dialog in time is ended; the
    // page says nothing more after the bridge's message.
    void aSettingsDialogThatDoesNotAnswerIsToldOnce()
    {
        QByteArray pe(0x100, '\0');
        pe.replace(0, 2, "MZ");
        pe[0x3C] = char(0x80);
        pe.replace(0x80, 6, QByteArray("PE\0\0\x4C\x01", 6));
        QFile file(m_dir->filePath(u"stalls.spi"_qs));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(pe) == pe.size());
        file.close();
        // Greets, then reads the call and never answers.
        m_susie->library().setHostCommand([](int, const QString &) {
            return QStringList { u"/bin/sh"_qs, u"-c"_qs,
                                 u"printf '\\035\\0\\0\\0LSH1\\0\\0\\0\\0\\001\\0\\0\\0"
                                 u"\\002\\0\\0\\0\\004\\0\\0\\00000IN\\001\\0\\0\\0x'; "
                                 u"sleep 30"_qs };
        });
        WindowsPluginHost::Limits limits;
        limits.dialogMs = 300;
        m_susie->library().setHostLimits(limits);
        m_ctx->options.setSusiePlugins({ file.fileName() });
        m_page->lstSusie->setCurrentRow(0);
        m_page->cmdSusie[4]->click();
        QCOMPARE(m_messages->texts(), QStringList { cSusie::noAnswerMessage(file.fileName()) });
    }

    void listFollowsTheProfileAndScrollsSideways()
    {
        m_ctx->options.setSusiePlugins({ u"/p/x.spi"_qs });
        QVERIFY(m_ctx->profiles.transferOptions(false, u"旅行"_qs));
        m_ctx->options.setSusiePlugins({});
        QVERIFY(listed().isEmpty());
        QVERIFY(m_ctx->profiles.transferOptions(true, u"旅行"_qs));
        QCOMPARE(listed(), QStringList { u"/p/x.spi"_qs });

        m_page->resize(400, 300);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        QScrollBar *bar = m_page->lstSusie->horizontalScrollBar();
        QVERIFY(bar->maximum() + m_page->lstSusie->viewport()->width() >= 700);
    }
};

QTEST_MAIN(TestSusiePage)
#include "tst_susiepage.moc"
