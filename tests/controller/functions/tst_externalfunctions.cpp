#include "RecordingFileDialogService.h"
#include "RecordingFileOwner.h"
#include "Sandbox.h"

#include "controller/functions/ExternalFunctions.h"
#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"

#include <QDir>
#include <QTest>

using namespace SettingKeys;

class TestExternalFunctions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<Options> m_options;
    std::unique_ptr<RecordingFileOwner> m_owner;
    std::unique_ptr<RecordingFileDialogService> m_dialogs;
    std::unique_ptr<ExternalFunctions> m_functions;

    QString storedValue(int number) const
    {
        return m_store->GetSetting(Section::Function, QString::number(number), u"<none>"_qs);
    }
    // "$KEEP" stands for the sandbox's destination folder.
    QString expand(QString text) const
    {
        return text.replace(u"$KEEP"_qs, m_box->path(u"keep"_qs));
    }

private slots:
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        m_store = std::make_unique<SettingsStore>(m_box->path(u"config"_qs));
        m_options = std::make_unique<Options>();
        m_owner = std::make_unique<RecordingFileOwner>();
        m_dialogs = std::make_unique<RecordingFileDialogService>();
        m_functions = std::make_unique<ExternalFunctions>(*m_options, *m_store, m_owner->recorder,
                                                          *m_owner, *m_dialogs, nullptr);
        m_box->folder(u"keep"_qs);
        qputenv("HOME", QFile::encodeName(m_box->folder(u"home"_qs)));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_box->folder(u"home/data"_qs)));
    }
    void cleanup()
    {
        qunsetenv("HOME");
        qunsetenv("XDG_DATA_HOME");
    }

    // Saving from the page, showing it again and running it through a hot key.
    void aSavedFunctionShowsAsSavedAndRuns_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("effect");
        QTest::newRow("copy") << 1 << u"$KEEP"_qs << u"CP|$KEEP"_qs << u"copied"_qs;
        QTest::newRow("move") << 2 << u"$KEEP/"_qs << u"MV|$KEEP/"_qs << u"moved"_qs;
        QTest::newRow("delete, no path") << 3 << u""_qs << u"RM|"_qs << u"trashed"_qs;
        QTest::newRow("delete keeps what was typed") << 3 << u"x"_qs << u"RM|x"_qs << u"trashed"_qs;
        QTest::newRow("none removes the key") << 0 << u"$KEEP"_qs << u"<none>"_qs << u"none"_qs;
        QTest::newRow("copy without a path") << 1 << u""_qs << u"ST|/old"_qs << u"none"_qs;
        QTest::newRow("start without a path") << 4 << u""_qs << u"ST|/old"_qs << u"none"_qs;
    }
    void aSavedFunctionShowsAsSavedAndRuns()
    {
        QFETCH(int, operation);
        QFETCH(QString, path);
        QFETCH(QString, effect);
        QFETCH(QString, stored);
        stored = expand(stored);
        // An earlier value that a refused save must leave alone, and "none" must remove.
        m_store->SaveSetting(Section::Function, u"7"_qs, u"ST|/old"_qs);
        m_functions->initFunctionPage();
        m_options->setComboIndex(Opt::cmbFunction, 7);
        m_functions->showFunction();
        QCOMPARE(m_options->comboIndex(Opt::cmbFunction_Operate), 4);
        QCOMPARE(m_options->text(Opt::txtFunction_Path), u"/old"_qs);

        m_options->setComboIndex(Opt::cmbFunction_Operate, operation);
        m_options->setText(Opt::txtFunction_Path, expand(path));
        m_functions->cmdFunction_Save_Click();
        QCOMPARE(storedValue(7), stored);
        const bool refused = stored == u"ST|/old"_qs;
        if (refused) {
            QCOMPARE(m_owner->recorder.lastText(), u"パスを指定してください。"_qs);
            QCOMPARE(m_owner->recorder.messages.last().icon, MsgIcon::Error);
        } else {
            QCOMPARE(m_owner->recorder.messages.size(), 0);
        }

        // Another function and back: the page shows what was stored.
        m_options->setComboIndex(Opt::cmbFunction, 0);
        m_functions->showFunction();
        QCOMPARE(m_options->comboIndex(Opt::cmbFunction_Operate), 0);
        QCOMPARE(m_options->text(Opt::txtFunction_Path), QString());
        m_options->setComboIndex(Opt::cmbFunction, 7);
        m_functions->showFunction();
        QCOMPARE(m_options->comboIndex(Opt::cmbFunction_Operate), refused ? 4 : operation);
        QCOMPARE(m_options->text(Opt::txtFunction_Path),
                 stored == u"<none>"_qs ? QString() : stored.mid(3));

        const QString file = m_box->file(u"pics/a.jpg"_qs, "A");
        m_owner->recorder.answers.enqueue(MsgResult::Ok); // the delete's question
        if (!refused)
            m_functions->runFunction(7, file);
        const QString kept = m_box->path(u"keep/a.jpg"_qs);
        const QString trashed = m_box->path(u"home/data/Trash/files/a.jpg"_qs);
        QCOMPARE(QFile::exists(file), effect == u"copied"_qs || effect == u"none"_qs);
        QCOMPARE(QFile::exists(kept), effect == u"copied"_qs || effect == u"moved"_qs);
        QCOMPARE(QFile::exists(trashed), effect == u"trashed"_qs);
        // The delete asked first; nothing else asks or fails.
        QCOMPARE(m_owner->recorder.messages.size(), (effect == u"trashed"_qs) + int(refused));
    }

    // Values written by hand: the run reads the code in any letter case, the page does not.
    void aStoredValueRunsByItsCodeInAnyCase_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("copied");
        QTest::newRow("lower-case copy") << u"cp|$KEEP/"_qs << 0 << true;
        QTest::newRow("mixed-case copy") << u"Cp|$KEEP"_qs << 0 << true;
        QTest::newRow("unknown code") << u"XX|$KEEP"_qs << 0 << false;
        QTest::newRow("copy without a path") << u"CP|"_qs << 1 << false;
        QTest::newRow("code only") << u"CP"_qs << 1 << false;
    }
    void aStoredValueRunsByItsCodeInAnyCase()
    {
        QFETCH(QString, value);
        m_store->SaveSetting(Section::Function, u"3"_qs, expand(value));
        m_options->setComboIndex(Opt::cmbFunction, 3);
        m_functions->showFunction();
        QTEST(m_options->comboIndex(Opt::cmbFunction_Operate), "shown");
        QCOMPARE(m_options->text(Opt::txtFunction_Path), expand(value).mid(3));
        const QString file = m_box->file(u"pics/a.jpg"_qs, "A");
        m_functions->runFunction(3, file);
        QTEST(QFile::exists(m_box->path(u"keep/a.jpg"_qs)), "copied");
        QVERIFY(QFile::exists(file));
        QCOMPARE(m_owner->recorder.messages.size(), 0);
        // An unset function and no file do nothing.
        m_functions->runFunction(4, file);
        m_functions->runFunction(3, QString());
        QVERIFY(QFile::exists(file));
    }

    // A program is started with the file as its one argument, both passed as they are.
    void aProgramReceivesTheFileIntact()
    {
        const QString program = m_box->file(
            u"my tools/record, it.sh"_qs,
            "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$(dirname \"$0\")/got.part\"\n"
            "mv \"$(dirname \"$0\")/got.part\" \"$(dirname \"$0\")/got.txt\"\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString file = m_box->file(u"pics/a \"b\", c; $HOME 'd'.jpg"_qs);
        m_store->SaveSetting(Section::Function, u"9"_qs, u"st|"_qs + program);
        m_functions->runFunction(9, file);
        const QString got = m_box->path(u"my tools/got.txt"_qs);
        QTRY_VERIFY(QFile::exists(got));
        QCOMPARE(QString::fromUtf8(readFile(got)), u"1|"_qs + file);
        // A program that cannot start is passed over without a word.
        m_store->SaveSetting(Section::Function, u"9"_qs, u"ST|"_qs + m_box->path(u"none"_qs));
        m_functions->runFunction(9, file);
        QCOMPARE(m_owner->recorder.messages.size(), 0);
    }

    // "..." opens a file dialog for a program and a folder dialog otherwise, both starting in
    // the folder the last choice was made in; a program typed with its full path is proposed
    // in its own folder.
    void thePathChooserRemembersItsFolder_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("program") << 4 << u"/old/x"_qs << u"/opt/bin/view"_qs
                                 << u"ファイルを選択 /old x"_qs << u"/opt/bin/view"_qs
                                 << u"/opt/bin/"_qs;
        QTest::newRow("program, relative name")
            << 4 << u"x"_qs << u"/opt/bin/view"_qs << u"ファイルを選択 /last/ x"_qs
            << u"/opt/bin/view"_qs << u"/opt/bin/"_qs;
        QTest::newRow("folder") << 2 << u"/old/x"_qs << u"/media/keep"_qs
                                << u"フォルダを選択 /last/ "_qs << u"/media/keep/"_qs
                                << u"/media/keep/"_qs;
        QTest::newRow("program, cancelled")
            << 4 << u"/old/x"_qs << u"<cancel>"_qs << u"ファイルを選択 /old x"_qs << u"/old/x"_qs
            << u"/last/"_qs;
        QTest::newRow("folder, cancelled")
            << 0 << u"/old/x"_qs << u"<cancel>"_qs << u"フォルダを選択 /last/ "_qs << u"/old/x"_qs
            << u"/last/"_qs;
    }
    void thePathChooserRemembersItsFolder()
    {
        QFETCH(int, operation);
        QFETCH(QString, current);
        QFETCH(QString, answer);
        m_store->SaveSetting(Section::InitDir, InitDir::Function_Open, u"/last/"_qs);
        m_options->setComboIndex(Opt::cmbFunction_Operate, operation);
        m_options->setText(Opt::txtFunction_Path, current);
        if (answer != u"<cancel>"_qs)
            m_dialogs->answer({ answer });
        m_functions->cmdFunction_Path_Click();
        QCOMPARE(m_dialogs->requests.size(), 1);
        const FileDialogRequest &asked = m_dialogs->requests[0];
        QCOMPARE(asked.kind, operation == 4 ? FileDialogKind::OpenFile : FileDialogKind::Folder);
        QTEST(asked.caption + u' ' + asked.folder + u' ' + asked.selectedFile, "call");
        QTEST(m_options->text(Opt::txtFunction_Path), "path");
        QTEST(m_store->GetSetting(Section::InitDir, InitDir::Function_Open), "folder");
    }
};

QTEST_GUILESS_MAIN(TestExternalFunctions)

#include "tst_externalfunctions.moc"
