#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "controller/pages/OptionPages.h"
#include "controller/window/frmOptions.h"
#include "core/AppContext.h"
#include "core/QtTranslations.h"
#include "core/SettingKeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class TestOptionPages : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<AppContext> m_ctx;
    std::unique_ptr<frmOptions> m_window;
    RecordingMessageService *m_messages = nullptr;
    RecordingFileDialogService *m_fileDialogs = nullptr;
    OptionPages *m_pages = nullptr;

    // What the viewer and player hooks were asked to do.
    QStringList m_calls;
    QList<QColor> m_colors;

    Options &options() { return m_ctx->options; }
    template<typename W = QWidget> W *control(const char *name)
    {
        auto *w = qobject_cast<W *>(m_pages->control(QString::fromLatin1(name)));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    void showPage(int index)
    {
        m_window->optionTabs()->setCurrentIndex(index);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void retype(QLineEdit *field, const QString &text)
    {
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

    // Moves the focus on as a Tab key would, then lets the leave check run.
    void leave(QWidget *to)
    {
        to->setFocus(Qt::TabFocusReason);
        // The check is queued behind the focus change.
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        auto messages = std::make_unique<RecordingMessageService>();
        m_messages = messages.get();
        auto fileDialogs = std::make_unique<RecordingFileDialogService>();
        m_fileDialogs = fileDialogs.get();
        m_ctx = std::make_unique<AppContext>(m_dir.path(), std::move(messages),
                                             std::move(fileDialogs));
        m_window = std::make_unique<frmOptions>(*m_ctx);
        m_pages = m_window->findChild<OptionPages *>();
        QVERIFY(m_pages);
        m_calls.clear();
        m_colors.clear();

        OptionPageHooks &h = m_pages->hooks();
        h.showViewerTitleBar = [this](bool on) {
            m_calls << u"title %1"_qs.arg(on);
        };
        h.showViewerStatusBar = [this](bool on) {
            m_calls << u"status %1"_qs.arg(on);
        };
        h.setViewerBackColor = [this](const QColor &c) {
            m_colors << c;
        };
        h.viewerFrame = [] {
            return QRect(120, 45, 640, 480);
        };
        h.mediaPlayerOptions = [this] {
            m_calls << u"mp options"_qs;
        };
        h.mediaPlayerAbout = [this] {
            m_calls << u"mp about"_qs;
        };
        h.realPlayerOptions = [this] {
            m_calls << u"real options"_qs;
        };
        h.realPlayerAbout = [this] {
            m_calls << u"real about"_qs;
        };
        h.testPlayMusic = [this](const QString &s) {
            m_calls << u"play "_qs + s;
        };
    }

    void cleanup()
    {
        m_window.reset();
        m_ctx.reset();
    }

    void everyOptionOfThesePagesHasItsControl()
    {
        for (const OptionInfo &s : Options::table()) {
            if (s.id == Opt::chkUseSusiePlugin) // on the plug-in page
                continue;
            QWidget *w = m_pages->control(s.name);
            QVERIFY2(w, qPrintable(s.name));
            QCOMPARE(w->objectName(), s.name);
        }
        // Fixed lists of the combo boxes match the model's item counts.
        QCOMPARE(control<QComboBox>("cmbFixFormLocation")->count(), 5);
        QCOMPARE(control<QComboBox>("cmbFunction")->itemText(9), u"機能9"_qs);
        QCOMPARE(control<QComboBox>("cmbFunction_Operate")->itemText(4), u"実行"_qs);
    }

    void everyOptionHasPopUpHelp()
    {
        QStringList missing;
        for (const OptionInfo &s : Options::table()) {
            auto *w = m_window->findChild<QWidget *>(s.name);
            if (w && w->whatsThis().isEmpty())
                missing << s.name;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u' ')));
    }

    void editsAndModelChangesMeetInTheMiddle()
    {
        control<QCheckBox>("chkLoop")->click();
        QCOMPARE(options().check(Opt::chkLoop), 1);
        options().setCheck(Opt::chkNotConfirmSaveShiori, 1);
        control<QRadioButton>("optNotSave")->click();
        QVERIFY(options().option(Opt::optNotSave));
        QVERIFY(!options().option(Opt::optOverWrite));
        control<QComboBox>("cmbFixFormLocation")->setCurrentIndex(4);
        QCOMPARE(options().comboIndex(Opt::cmbFixFormLocation), 4);

        options().setText(Opt::txtMinutes, u"2.5"_qs);
        QCOMPARE(control<QLineEdit>("txtMinutes")->text(), u"2.5"_qs);
        options().setOption(Opt::optOverWrite, true);
        QVERIFY(control<QRadioButton>("optOverWrite")->isChecked());
        QVERIFY(!control<QRadioButton>("optNotSave")->isChecked());
        options().setCheck(Opt::chkMp_PlayAll, 0);
        QVERIFY(!control<QCheckBox>("chkMp_PlayAll")->isChecked());
        options().setComboIndex(Opt::cmbFunction_Operate, 2);
        QCOMPARE(control<QComboBox>("cmbFunction_Operate")->currentIndex(), 2);
    }

    void profileLoadShowsValuesAndAppliesTheRules()
    {
        using namespace SettingKeys;
        SettingsStore &store = m_ctx->store;
        const QString section = optionsSection(u"B"_qs);
        store.SaveSetting(section, u"optNoSort"_qs, u"False"_qs);
        store.SaveSetting(section, u"optSortRandom"_qs, u"True"_qs);
        store.SaveSetting(section, u"chkFixForm"_qs, u"1"_qs);
        store.SaveSetting(section, u"txtFixX"_qs, u"25"_qs);
        store.SaveSetting(section, u"cmbFixFormLocation"_qs, u"3"_qs);
        store.SaveSetting(section, u"chkShowStatusbar"_qs, u"0"_qs);
        store.SaveSetting(section, u"txtBackColor"_qs, u"102030"_qs);
        QVERIFY(m_ctx->profiles.transferOptions(true, u"B"_qs));

        QVERIFY(control<QRadioButton>("optSortRandom")->isChecked());
        QVERIFY(!control<QRadioButton>("optNoSort")->isChecked());
        QVERIFY(control<QCheckBox>("chkSortRandom")->isEnabled());
        QVERIFY(!control<QCheckBox>("chkSortDescending")->isEnabled());
        QVERIFY(control<QLineEdit>("txtFixX")->isEnabled());
        QCOMPARE(control<QLineEdit>("txtFixX")->text(), u"25"_qs);
        QVERIFY(control<QPushButton>("cmdGetResentLocation")->isEnabled());
        QCOMPARE(control<QComboBox>("cmbFixFormLocation")->currentIndex(), 3);
        QVERIFY(!control<QLineEdit>("txtMaxWidth")->isEnabled());
        QCOMPARE(m_colors, QList<QColor> { QColor(0x10, 0x20, 0x30) });
        // The status bar switch as it changed, then both bars once the profile is in.
        QCOMPARE(m_calls, (QStringList { u"status 0"_qs, u"title 1"_qs, u"status 0"_qs }));
    }

    void orderButtonsSwitchTheirRefinements()
    {
        auto *descending = control<QCheckBox>("chkSortDescending");
        auto *depth = control<QCheckBox>("chkSortFolderDepth");
        auto *random = control<QCheckBox>("chkSortRandom");
        control<QRadioButton>("optSortByFileName")->click();
        QVERIFY(descending->isEnabled() && depth->isEnabled() && !random->isEnabled());
        control<QRadioButton>("optSortRandom")->click();
        QVERIFY(!descending->isEnabled() && !depth->isEnabled() && random->isEnabled());
        control<QRadioButton>("optNoSort")->click();
        QVERIFY(!descending->isEnabled() && !depth->isEnabled() && !random->isEnabled());
        QVERIFY(options().option(Opt::optNoSort));

        control<QCheckBox>("chkMaxWidth")->click();
        QVERIFY(control("txtMaxWidth")->isEnabled() && control("cmdMaxWidth")->isEnabled());
        QVERIFY(!control("txtMaxHeight")->isEnabled());
    }

    void keysOutsideAFieldsSetAreSwallowed()
    {
        showPage(3);
        options().setCheck(Opt::chkFixForm, 1);
        options().setCheck(Opt::chkMaxWidth, 1);
        auto *x = control<QLineEdit>("txtFixX");
        retype(x, u"-1.5a"_qs);
        QCOMPARE(x->text(), u"-15"_qs);
        auto *y = control<QLineEdit>("txtFixY");
        retype(y, u"12.5"_qs);
        QCOMPARE(y->text(), u"12.5"_qs);
        auto *w = control<QLineEdit>("txtMaxWidth");
        retype(w, u"3-2.0"_qs);
        QCOMPARE(w->text(), u"320"_qs);
        QTest::keyClick(w, Qt::Key_Backspace);
        QCOMPARE(w->text(), u"32"_qs);
        QCOMPARE(options().text(Opt::txtMaxWidth), u"32"_qs);
        auto *zoom = control<QLineEdit>("txtZoomImage");
        retype(zoom, u"x.-"_qs);
        QCOMPARE(zoom->text(), u"x.-"_qs);
    }

    void anInvalidNumberCannotBeLeft()
    {
        showPage(3);
        auto *zoom = control<QLineEdit>("txtZoomImage");
        auto *check = control<QCheckBox>("chkZoomImage");
        retype(zoom, u"0"_qs);
        leave(check);
        QCOMPARE(m_messages->messages.size(), 1);
        QCOMPARE(m_messages->messages[0].text,
                 u"画像倍率の指定が正しくありません。\r\n0～10000の整数で指定して下さい。"_qs);
        QCOMPARE(m_messages->messages[0].icon, MsgIcon::Error);
        QCOMPARE(m_messages->messages[0].caption, u"Lunetta"_qs);
        QCOMPARE(QApplication::focusWidget(), zoom);
        QCOMPARE(zoom->text(), u"0"_qs);

        for (const QString &valid : { u"0.5"_qs, u"10000"_qs }) {
            retype(zoom, valid);
            leave(check);
            QCOMPARE(QApplication::focusWidget(), check);
        }
        QCOMPARE(m_messages->messages.size(), 1);

        // Turning to another page is leaving too: the field's page comes back.
        showPage(1);
        auto *minutes = control<QLineEdit>("txtMinutes");
        retype(minutes, u"-1"_qs);
        m_window->optionTabs()->setCurrentIndex(4);
        QTRY_VERIFY(m_messages->lastText().startsWith(u"更新間隔"_qs));
        QCOMPARE(
            m_messages->lastText(),
            u"更新間隔の指定が正しくありません。\r\n0 以上の単精度浮動小数点数で指定して下さい。"_qs);
        QCOMPARE(m_window->optionTabs()->currentIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), minutes);
        retype(minutes, u"0"_qs);
        leave(control("chkLoop"));
        QCOMPARE(m_messages->messages.size(), 2);
    }

    void aBadMovieSpeedIsReportedButLetGo()
    {
        showPage(6);
        auto *speed = control<QLineEdit>("txtMp_FastForward");
        auto *next = control<QLineEdit>("txtMp_FastReverse");
        retype(speed, u"abc"_qs);
        leave(next);
        QCOMPARE(
            m_messages->texts(),
            QStringList {
                u"早送りの早さの指定が正しくありません。\r\n倍精度浮動小数点数で指定して下さい。"_qs });
        QCOMPARE(QApplication::focusWidget(), next);
    }

    void typedColourRecoloursTheViewer()
    {
        showPage(2);
        auto *field = control<QLineEdit>("txtBackColor");
        retype(field, u"00ff00"_qs);
        QCOMPARE(m_colors, QList<QColor> { QColor(0, 255, 0) });
        QCOMPARE(control<QLabel>("lblBackColor")->palette().color(QPalette::Window),
                 QColor(0, 255, 0));
        retype(field, u"0ff00"_qs);
        QCOMPARE(m_colors.size(), 1);
        QCOMPARE(control<QLabel>("lblBackColor")->palette().color(QPalette::Window),
                 QColor(0, 255, 0));
    }

    void colourDialogStartsAtTheCurrentColour()
    {
        QList<QColor> starts;
        std::optional<QColor> answer = QColor(86, 52, 18);
        m_pages->dialogs().chooseColor = [&](QWidget *, const QColor &initial) {
            starts << initial;
            return answer;
        };
        options().setText(Opt::txtBackColor, u"0000ff"_qs);
        control<QPushButton>("cmdBackColor")->click();
        QCOMPARE(starts.last(), QColor(0, 0, 255));
        QCOMPARE(options().text(Opt::txtBackColor), u"563412"_qs);
        QCOMPARE(control<QLineEdit>("txtBackColor")->text(), u"563412"_qs);
        QCOMPARE(m_colors.last(), QColor(86, 52, 18));

        answer.reset();
        options().setText(Opt::txtBackColor, u"nope"_qs);
        control<QPushButton>("cmdBackColor")->click();
        QVERIFY(!starts.last().isValid());
        QCOMPARE(options().text(Opt::txtBackColor), u"nope"_qs);
    }

    void viewerSwitchesReachTheViewer()
    {
        control<QCheckBox>("chkShowTitlebar")->click();
        control<QCheckBox>("chkShowStatusbar")->click();
        QCOMPARE(m_calls, (QStringList { u"title 0"_qs, u"status 0"_qs }));

        // A refused topmost change sets the option back without a second attempt.
        int attempts = 0;
        m_pages->hooks().applyViewerTopmost = [&] {
            ++attempts;
            options().setCheck(Opt::chkAlwaysOnTop, 0);
        };
        control<QCheckBox>("chkAlwaysOnTop")->click();
        QCOMPARE(attempts, 1);
        QVERIFY(!control<QCheckBox>("chkAlwaysOnTop")->isChecked());
    }

    void viewerGeometryFillsTheFields()
    {
        options().setCheck(Opt::chkFixForm, 1);
        options().setCheck(Opt::chkMaxWidth, 1);
        options().setCheck(Opt::chkMaxHeight, 1);
        control<QPushButton>("cmdGetResentLocation")->click();
        control<QPushButton>("cmdMaxWidth")->click();
        control<QPushButton>("cmdMaxHeight")->click();
        QCOMPARE(options().text(Opt::txtFixX), u"120"_qs);
        QCOMPARE(options().text(Opt::txtFixY), u"45"_qs);
        QCOMPARE(options().text(Opt::txtMaxWidth), u"640"_qs);
        QCOMPARE(control<QLineEdit>("txtMaxHeight")->text(), u"480"_qs);
    }

    void musicSourceControls()
    {
        m_fileDialogs->answer({ u"/music/set one/a.mp3"_qs });
        control<QPushButton>("cmdBGM")->click();
        QCOMPARE(options().text(Opt::txtBGM), u"/music/set one/a.mp3"_qs);
        control<QPushButton>("cmdBGM")->click(); // cancelled
        QStringList folders;
        for (const FileDialogRequest &r : std::as_const(m_fileDialogs->requests)) {
            QCOMPARE(r.kind, FileDialogKind::OpenFile);
            folders << r.caption + u'|' + r.folder;
        }
        QCOMPARE(
            folders,
            (QStringList { u"音楽ファイルを開く|"_qs, u"音楽ファイルを開く|/music/set one/"_qs }));
        QCOMPARE(
            m_ctx->store.GetSetting(SettingKeys::Section::InitDir, SettingKeys::InitDir::BGM_Open),
            u"/music/set one/"_qs);
        QCOMPARE(options().text(Opt::txtBGM), u"/music/set one/a.mp3"_qs);

        control<QPushButton>("cmdTestPlay")->click();
        control<QPushButton>("cmdBGM_PlayCD")->click();
        QCOMPARE(control<QLineEdit>("txtBGM")->text(), u"CDAUDIO:"_qs);

        // Dropped files: the first one is taken.
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(u"/tmp/x.m3u"_qs), QUrl::fromLocalFile(u"/tmp/y"_qs) });
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(control("txtBGM"), &enter);
        QVERIFY(enter.isAccepted());
        QApplication::sendEvent(control("txtBGM"), &drop);
        QCOMPARE(options().text(Opt::txtBGM), u"/tmp/x.m3u"_qs);

        for (const char *b :
             { "cmdMp_Option", "cmdMp_Version", "cmdMp_RealOption", "cmdMp_RealVersion" })
            control<QPushButton>(b)->click();
        QCOMPARE(m_calls,
                 (QStringList { u"play /music/set one/a.mp3"_qs, u"mp options"_qs, u"mp about"_qs,
                                u"real options"_qs, u"real about"_qs }));
    }

    void accessKeysReachTheirControls()
    {
        showPage(1);
        QTest::keyClick(m_window.get(), Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(options().option(Opt::optSortRandom)); // buttons click with a short delay
        // A frame's key moves into its first control.
        QTest::keyClick(m_window.get(), Qt::Key_T, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), control("txtMinutes"));
        showPage(4);
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), control("txtBGM_StartingEntry"));
    }

    // The dialogs Qt draws itself speak Japanese like the rest of the program.
    void qtDialogsAreInJapanese()
    {
        QVERIFY(QtTranslations::install(*qApp));
        auto texts = [](QWidget &w) {
            QStringList all { w.windowTitle() };
            for (QLabel *l : w.findChildren<QLabel *>())
                all << l->text();
            for (QAbstractButton *b : w.findChildren<QAbstractButton *>())
                all << b->text();
            return all;
        };
        const QStringList english { u"Select Color"_qs, u"&Basic colors"_qs, u"&Custom colors"_qs,
                                    u"Look in:"_qs,     u"File &name:"_qs,   u"Files of type:"_qs,
                                    u"Cancel"_qs,       u"&Yes"_qs,          u"&No"_qs,
                                    u"&Save"_qs,        u"&Open"_qs };
        QColorDialog colours;
        colours.setOption(QColorDialog::DontUseNativeDialog);
        QFileDialog files(nullptr, QString(), QDir::tempPath());
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setAcceptMode(QFileDialog::AcceptSave);
        QMessageBox box(QMessageBox::Question, u"Lunetta"_qs, u"?"_qs,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        for (QWidget *w : std::initializer_list<QWidget *> { &colours, &files, &box }) {
            const QStringList shown = texts(*w);
            for (const QString &e : english)
                QVERIFY2(
                    !shown.contains(e),
                    qPrintable(QString::fromLatin1(w->metaObject()->className()) + u": "_qs + e));
        }
        QVERIFY(texts(colours).join(u' ').contains(
            QRegularExpression(u"[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"_qs)));
    }
};

QTEST_MAIN(TestOptionPages)
#include "tst_optionpages.moc"
